// Reading private-profile files: name matching, trimming, quotes, comments,
// buffer limits, integers and file names with backslashes.

#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "profile.h"

namespace {

std::string Get(const char* pSection, const char* pKey, const std::string& sFile, uint32_t nSize = 256,
                const char* pDefault = "<default>")
{
    char buffer[512];
    const uint32_t nCopied = ProfileGetString(pSection, pKey, pDefault, buffer, nSize, sFile.c_str());
    EXPECT_EQ(nCopied, std::string(buffer).size());
    return buffer;
}

class ProfileReadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sFile = m_dir.File("settings.ini");
        ASSERT_TRUE(WriteFileText(m_sFile, "Orphan=before any section\n"
                                           "[Main]\n"
                                           "  Height  =  480  \n"
                                           "\tTabbed\t=\tvalue with  inner  blanks\t\n"
                                           "Quoted=\"  kept blanks  \"\n"
                                           "Single='x'\n"
                                           "Mismatched=\"abc'\n"
                                           "Lonely=\"\n"
                                           ";Commented=1\n"
                                           "  ; Indented=2\n"
                                           "NoEquals\n"
                                           "Empty=\n"
                                           "Dup=first\n"
                                           "Dup=second\n"
                                           "[ Recent Files ]\n"
                                           "Path=C:\\data\\\n"
                                           "High=caf\xE9\n"
                                           "[main]\n"
                                           "Height=999\n"
                                           "Later=only in the second Main\n"));
    }
    CTempDir m_dir;
    std::string m_sFile;
};

TEST_F(ProfileReadTest, NamesMatchWithoutRegardToCaseAndBlanksAreTrimmed)
{
    EXPECT_EQ(Get("Main", "Height", m_sFile), "480");
    EXPECT_EQ(Get("MAIN", "height", m_sFile), "480");
    EXPECT_EQ(Get("main", "TABBED", m_sFile), "value with  inner  blanks");
    EXPECT_EQ(Get("recent files", "PATH", m_sFile), "C:\\data\\");
    EXPECT_EQ(Get("  Main ", " Height ", m_sFile), "480");
}

TEST_F(ProfileReadTest, MatchingQuotesAreRemovedOthersKept)
{
    EXPECT_EQ(Get("Main", "Quoted", m_sFile), "  kept blanks  ");
    EXPECT_EQ(Get("Main", "Single", m_sFile), "x");
    EXPECT_EQ(Get("Main", "Mismatched", m_sFile), "\"abc'");
    EXPECT_EQ(Get("Main", "Lonely", m_sFile), "\"");
}

TEST_F(ProfileReadTest, CommentsOrphansAndLinesWithoutEqualsAreNotKeys)
{
    EXPECT_EQ(Get("Main", "Commented", m_sFile), "<default>");
    EXPECT_EQ(Get("Main", ";Commented", m_sFile), "<default>");
    EXPECT_EQ(Get("Main", "Indented", m_sFile), "<default>");
    EXPECT_EQ(Get("Main", "NoEquals", m_sFile), "<default>");
    EXPECT_EQ(Get("", "Orphan", m_sFile), "<default>");
}

TEST_F(ProfileReadTest, FirstSectionAndFirstKeyWin)
{
    EXPECT_EQ(Get("Main", "Dup", m_sFile), "first");
    EXPECT_EQ(Get("Main", "Height", m_sFile), "480");
    EXPECT_EQ(Get("Main", "Later", m_sFile), "<default>");
}

TEST_F(ProfileReadTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(Get("Main", "Absent", m_sFile), "<default>");
    EXPECT_EQ(Get("Absent", "Height", m_sFile), "<default>");
    EXPECT_EQ(Get("Main", "Height", m_dir.File("absent.ini")), "<default>");
    EXPECT_EQ(Get("Main", "Absent", m_sFile, 256, nullptr), "");
    // A folder is no settings file.
    EXPECT_EQ(Get("Main", "Height", m_dir.Path()), "<default>");

    std::string sValue = "unchanged";
    EXPECT_FALSE(ProfileFindString("Main", "Absent", sValue, m_sFile.c_str()));
    EXPECT_FALSE(ProfileFindString("Absent", "Height", sValue, m_sFile.c_str()));
    EXPECT_FALSE(ProfileFindString("Main", "Height", sValue, m_dir.File("absent.ini").c_str()));
    EXPECT_EQ(sValue, "unchanged");
    EXPECT_TRUE(ProfileFindString("Main", "Empty", sValue, m_sFile.c_str()));
    EXPECT_EQ(sValue, "");
}

TEST_F(ProfileReadTest, ReadCopiesAtMostSizeMinusOneCharacters)
{
    EXPECT_EQ(Get("Main", "Tabbed", m_sFile, 6), "value");
    EXPECT_EQ(Get("Main", "Height", m_sFile, 4), "480");
    EXPECT_EQ(Get("Main", "Height", m_sFile, 3), "48");
    EXPECT_EQ(Get("Main", "Height", m_sFile, 1), "");
    EXPECT_EQ(Get("Main", "Absent", m_sFile, 4), "<de");

    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ProfileGetString("Main", "Height", "", buffer, 0, m_sFile.c_str()), 0u);
    EXPECT_EQ(buffer[0], 'x');
}

TEST_F(ProfileReadTest, BytesAreReturnedAsStored)
{
    EXPECT_EQ(Get("Recent Files", "High", m_sFile), "caf\xE9");
}

TEST(ProfileReadLineEnds, CrLfAndLfFilesReadAlike)
{
    CTempDir dir;
    const std::string sCrLf = dir.File("crlf.ini");
    const std::string sMixed = dir.File("mixed.ini");
    ASSERT_TRUE(WriteFileText(sCrLf, "[Main]\r\nState=2\r\nWidth=800\r\n"));
    ASSERT_TRUE(WriteFileText(sMixed, "[Main]\nState=2\r\nWidth=800"));
    for (const std::string& sFile : {sCrLf, sMixed}) {
        EXPECT_EQ(Get("Main", "State", sFile), "2") << sFile;
        EXPECT_EQ(Get("Main", "Width", sFile), "800") << sFile;
    }
}

TEST(ProfileReadFileNames, BackslashSeparatesFolders)
{
    CTempDir dir;
    ASSERT_TRUE(WriteFileText(dir.File("tarnplayer.ini"), "[Profile]\nShow Data Strref=1\n"));
    CScopedWorkingDir cwd(dir.Path());
    EXPECT_EQ(Get("Profile", "Show Data Strref", ".\\tarnplayer.ini"), "1");
    EXPECT_EQ(ProfileGetInt("Profile", "Show Data Strref", 0, ".\\tarnplayer.ini"), 1);
}

TEST(ProfileGetInt, ParsesLeadingDecimalNumberOrGivesTheDefault)
{
    CTempDir dir;
    const std::string sFile = dir.File("n.ini");
    ASSERT_TRUE(WriteFileText(sFile, "[N]\n"
                                     "Plain=640\n"
                                     "Negative=-12\n"
                                     "Plus=+7\n"
                                     "Trailing=12abc\n"
                                     "Quoted=\"33\"\n"
                                     "Word=abc\n"
                                     "Empty=\n"
                                     "SignOnly=-\n"
                                     "Huge=99999999999999999999\n"
                                     "HugeNegative=-99999999999999999999\n"
                                     "Min=-2147483648\n"));
    const char* p = sFile.c_str();
    EXPECT_EQ(ProfileGetInt("N", "Plain", 5, p), 640);
    EXPECT_EQ(ProfileGetInt("N", "Negative", 5, p), -12);
    EXPECT_EQ(ProfileGetInt("N", "Plus", 5, p), 7);
    EXPECT_EQ(ProfileGetInt("N", "Trailing", 5, p), 12);
    EXPECT_EQ(ProfileGetInt("N", "Quoted", 5, p), 33);
    EXPECT_EQ(ProfileGetInt("N", "Word", 5, p), 5);
    EXPECT_EQ(ProfileGetInt("N", "Empty", 5, p), 5);
    EXPECT_EQ(ProfileGetInt("N", "SignOnly", 5, p), 5);
    EXPECT_EQ(ProfileGetInt("N", "Missing", 5, p), 5);
    EXPECT_EQ(ProfileGetInt("N", "Huge", 5, p), INT32_MAX);
    EXPECT_EQ(ProfileGetInt("N", "HugeNegative", 5, p), INT32_MIN);
    EXPECT_EQ(ProfileGetInt("N", "Min", 5, p), INT32_MIN);
}

} // namespace
