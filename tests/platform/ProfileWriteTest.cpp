// Writing private-profile files: in-place replacement, appending keys and
// sections, erasing, line-ending style, refused text and failed writes that
// must leave the old file untouched.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "TempDir.h"
#include "profile.h"

namespace {

std::vector<std::string> FolderEntries(const std::string& sFolder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sFolder))
        names.push_back(entry.path().filename().string());
    return names;
}

class ProfileWriteTest : public ::testing::Test {
protected:
    std::string Write(const char* pSection, const char* pKey, const char* pValue)
    {
        EXPECT_TRUE(ProfileWriteString(pSection, pKey, pValue, m_sFile.c_str()));
        return ReadFileText(m_sFile);
    }
    CTempDir m_dir;
    std::string m_sFile = m_dir.File("settings.ini");
};

TEST_F(ProfileWriteTest, FirstWriteCreatesTheFileWithLfLines)
{
    EXPECT_EQ(Write("Main", "State", "0"), "[Main]\nState=0\n");
    EXPECT_EQ(Write("Main", "Height", "480"), "[Main]\nState=0\nHeight=480\n");
    EXPECT_EQ(Write("Recent Files", "Path", "/home/u/"), "[Main]\nState=0\nHeight=480\n[Recent Files]\nPath=/home/u/\n");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"settings.ini"});
}

TEST_F(ProfileWriteTest, ReplacesInPlaceAndKeepsEveryOtherLineByteForByte)
{
    const std::string sBefore = "; written by hand\n"
                                "[main]\n"
                                "   Width = 640   \n"
                                "\n"
                                "  ; a comment inside\n"
                                "odd line without equals\n"
                                "State=1\n"
                                "\n"
                                "[Other]\n"
                                "Width=1\n";
    ASSERT_TRUE(WriteFileText(m_sFile, sBefore));
    EXPECT_EQ(Write("MAIN", "width", "800"), "; written by hand\n"
                                             "[main]\n"
                                             "width=800\n"
                                             "\n"
                                             "  ; a comment inside\n"
                                             "odd line without equals\n"
                                             "State=1\n"
                                             "\n"
                                             "[Other]\n"
                                             "Width=1\n");
}

TEST_F(ProfileWriteTest, NewKeyGoesAfterTheLastLineOfItsSection)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=1\n\n\n[Other]\nA=1\n"));
    EXPECT_EQ(Write("Main", "Top", "5"), "[Main]\nState=1\nTop=5\n\n\n[Other]\nA=1\n");
    EXPECT_EQ(Write("Other", "B", "2"), "[Main]\nState=1\nTop=5\n\n\n[Other]\nA=1\nB=2\n");
    EXPECT_EQ(Write("Empty", "C", "3"), "[Main]\nState=1\nTop=5\n\n\n[Other]\nA=1\nB=2\n[Empty]\nC=3\n");
}

TEST_F(ProfileWriteTest, FileWithoutFinalLineEndGetsOneBeforeAddedLines)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=1"));
    EXPECT_EQ(Write("Main", "Top", "5"), "[Main]\nState=1\nTop=5\n");
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]"));
    EXPECT_EQ(Write("Main", "Top", "5"), "[Main]\nTop=5\n");
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=1"));
    EXPECT_EQ(Write("Next", "A", "1"), "[Main]\nState=1\n[Next]\nA=1\n");
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=1"));
    EXPECT_EQ(Write("Main", "State", "2"), "[Main]\nState=2");
}

TEST_F(ProfileWriteTest, AddedLinesFollowTheFilesLineEndingStyle)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\r\nState=1\r\n"));
    EXPECT_EQ(Write("Main", "Top", "5"), "[Main]\r\nState=1\r\nTop=5\r\n");
    EXPECT_EQ(Write("Main", "State", "2"), "[Main]\r\nState=2\r\nTop=5\r\n");
    EXPECT_EQ(Write("Next", "A", "1"), "[Main]\r\nState=2\r\nTop=5\r\n[Next]\r\nA=1\r\n");
    EXPECT_EQ(Write("Next", nullptr, nullptr), "[Main]\r\nState=2\r\nTop=5\r\n");
}

TEST_F(ProfileWriteTest, ErasingASectionRemovesItWithAllItsLines)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=0\n[Recent Files]\nPath=/x/\n; note\nMRU0=/x/a\n\n"
                                       "[Tail]\nA=1\n[recent files]\nMRU1=/x/b\n"));
    EXPECT_EQ(Write("Recent Files", nullptr, nullptr), "[Main]\nState=0\n[Tail]\nA=1\n");
    EXPECT_EQ(ProfileGetInt("Tail", "A", 0, m_sFile.c_str()), 1);

    // Erasing what is not there changes nothing and creates no file.
    EXPECT_EQ(Write("Recent Files", nullptr, nullptr), "[Main]\nState=0\n[Tail]\nA=1\n");
    const std::string sAbsent = m_dir.File("absent.ini");
    EXPECT_TRUE(ProfileWriteString("Main", nullptr, nullptr, sAbsent.c_str()));
    EXPECT_TRUE(ProfileWriteString("Main", "Key", nullptr, sAbsent.c_str()));
    EXPECT_FALSE(FileExists(sAbsent));
}

TEST_F(ProfileWriteTest, ErasingAKeyRemovesOnlyItsLine)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=0\nTop=1\n[Other]\nTop=2\n"));
    EXPECT_EQ(Write("main", "TOP", nullptr), "[Main]\nState=0\n[Other]\nTop=2\n");
    EXPECT_EQ(Write("Main", "Absent", nullptr), "[Main]\nState=0\n[Other]\nTop=2\n");
}

TEST_F(ProfileWriteTest, BytesAreWrittenAsGivenAndReadBack)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nOld=\xC3\xA9t\xE9\n"));
    EXPECT_EQ(Write("Main", "New", "/home/caf\xE9/f\xFF.kvt"), "[Main]\nOld=\xC3\xA9t\xE9\nNew=/home/caf\xE9/f\xFF.kvt\n");
    std::string sValue;
    ASSERT_TRUE(ProfileFindString("Main", "New", sValue, m_sFile.c_str()));
    EXPECT_EQ(sValue, "/home/caf\xE9/f\xFF.kvt");
}

TEST_F(ProfileWriteTest, TextThatWouldBreakTheLineStructureIsRefused)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=0\n"));
    const char* p = m_sFile.c_str();
    EXPECT_FALSE(ProfileWriteString("Main", "Key", "two\nlines", p));
    EXPECT_FALSE(ProfileWriteString("Main", "Key", "carriage\rreturn", p));
    EXPECT_FALSE(ProfileWriteString("Main", "a=b", "1", p));
    EXPECT_FALSE(ProfileWriteString("Main", "", "1", p));
    EXPECT_FALSE(ProfileWriteString("Main", ";Key", "1", p));
    EXPECT_FALSE(ProfileWriteString("Ma]in", "Key", "1", p));
    EXPECT_FALSE(ProfileWriteString("Ma\nin", "Key", "1", p));
    EXPECT_FALSE(ProfileWriteString(nullptr, "Key", "1", p));
    EXPECT_FALSE(ProfileWriteString("Main", "Key", "1", nullptr));
    EXPECT_FALSE(ProfileWriteString("Main", "Key", "1", ""));
    EXPECT_EQ(ReadFileText(m_sFile), "[Main]\nState=0\n");
}

TEST_F(ProfileWriteTest, BackslashInTheFileNameSeparatesFolders)
{
    CScopedWorkingDir cwd(m_dir.Path());
    EXPECT_TRUE(ProfileWriteString("Profile", "Show Data Strref", "1", ".\\tarnplayer.ini"));
    EXPECT_EQ(ReadFileText(m_dir.File("tarnplayer.ini")), "[Profile]\nShow Data Strref=1\n");
}

TEST_F(ProfileWriteTest, WriteThroughASymbolicLinkKeepsTheLink)
{
    const std::string sTarget = m_dir.File("real.ini");
    ASSERT_TRUE(WriteFileText(sTarget, "[Main]\nState=0\n"));
    ASSERT_EQ(symlink(sTarget.c_str(), m_sFile.c_str()), 0);
    EXPECT_EQ(Write("Main", "State", "2"), "[Main]\nState=2\n");
    struct stat info {};
    ASSERT_EQ(lstat(m_sFile.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadFileText(sTarget), "[Main]\nState=2\n");
}

TEST_F(ProfileWriteTest, PermissionBitsOfAnExistingFileAreKept)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Main]\nState=0\n"));
    ASSERT_EQ(chmod(m_sFile.c_str(), 0640), 0);
    Write("Main", "State", "1");
    struct stat info {};
    ASSERT_EQ(stat(m_sFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(ProfileWriteTest, WriteIntoAMissingFolderOrOntoAFolderFails)
{
    EXPECT_FALSE(ProfileWriteString("Main", "State", "0", m_dir.File("no/such/folder.ini").c_str()));
    const std::string sFolder = m_dir.File("folder.ini");
    ASSERT_TRUE(std::filesystem::create_directory(sFolder));
    EXPECT_FALSE(ProfileWriteString("Main", "State", "0", sFolder.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(sFolder));
}

// A write that fails half-way (here: the file-size limit stops the temporary
// file's write) must leave the old file exactly as it was and no stray file.
TEST_F(ProfileWriteTest, FailedWriteLeavesTheOldFileUntouched)
{
    const std::string sBefore = "[Main]\nState=0\n";
    ASSERT_TRUE(WriteFileText(m_sFile, sBefore));
    const std::string sLong(4096, 'x');

    struct rlimit oldLimit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    struct rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = 1024;
    void (*pOldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const bool bWritten = ProfileWriteString("Main", "Long", sLong.c_str(), m_sFile.c_str());
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, pOldHandler);

    EXPECT_FALSE(bWritten);
    EXPECT_EQ(ReadFileText(m_sFile), sBefore);
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"settings.ini"});
}

} // namespace
