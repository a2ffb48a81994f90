// COptions: the settings file beside the program, its defaults, the recent
// files list it restores and saves, and failed writes.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "Kvtoptions.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "processenv.h"

namespace {

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetOwnExecutablePathOverride(m_dir.File("KVTEditor.exe").c_str());
        m_sIni = m_dir.File("KVTEditor.ini");
    }
    void TearDown() override { SetOwnExecutablePathOverride(nullptr); }

    // Creates a file in the test folder and returns its full name.
    std::string MakeFile(const std::string& sName)
    {
        const std::string sPath = m_dir.File(sName);
        EXPECT_TRUE(WriteFileText(sPath, "KVT V3.2"));
        return sPath;
    }
    static std::vector<std::string> Entries(const COptions& options)
    {
        std::vector<std::string> names;
        for (int32_t i = 0; i < options.RecentFiles.Count(); ++i)
            names.push_back(options.RecentFiles[i].CStr());
        return names;
    }

    CTempDir m_dir;
    CScopedEnv m_home{"HOME", (m_dir.Path() + "/home").c_str()};
    std::string m_sIni;
};

TEST_F(OptionsTest, SettingsFileIsTheProgramPathWithItsLastFourCharactersReplaced)
{
    EXPECT_STREQ(COptions().IniFileName.CStr(), m_sIni.c_str());
    SetOwnExecutablePathOverride(m_dir.File("abcdefgh").c_str());
    EXPECT_STREQ(COptions().IniFileName.CStr(), m_dir.File("abcd.ini").c_str());
    SetOwnExecutablePathOverride("abc");
    EXPECT_STREQ(COptions().IniFileName.CStr(), ".ini");
}

TEST_F(OptionsTest, FirstRunUsesDefaultsAndSaveWritesExactlyTheListedKeys)
{
    COptions options;
    options.Load();
    EXPECT_EQ(options.Height, 480);
    EXPECT_EQ(options.Left, 0);
    EXPECT_EQ(options.State, 0);
    EXPECT_EQ(options.Top, 0);
    EXPECT_EQ(options.Width, 640);
    EXPECT_EQ(options.RecentFiles.Count(), 0);
    // The designed start folder "C:\" stands for the user's home folder.
    const std::string sHome = m_dir.Path() + "/home/";
    EXPECT_STREQ(options.Path.CStr(), sHome.c_str());
    EXPECT_FALSE(FileExists(m_sIni));

    ASSERT_TRUE(options.Save());
    EXPECT_EQ(ReadFileText(m_sIni), "[Main]\nState=0\nHeight=480\nLeft=0\nTop=0\nWidth=640\n"
                                    "[Recent Files]\nPath=" + sHome + "\n");
}

TEST_F(OptionsTest, StoredValuesAreLoadedAndBadNumbersFallBackToDefaults)
{
    ASSERT_TRUE(WriteFileText(m_sIni, "[Main]\nHeight=600\nLeft=-20\nState=1\nTop=x\nWidth=\n"
                                      "[Recent Files]\nPath=/srv/data/\n"));
    COptions options;
    options.Load();
    EXPECT_EQ(options.Height, 600);
    EXPECT_EQ(options.Left, -20);
    EXPECT_EQ(options.State, 1);
    EXPECT_EQ(options.Top, 0);
    EXPECT_EQ(options.Width, 640);
    EXPECT_STREQ(options.Path.CStr(), "/srv/data/");

    ASSERT_TRUE(WriteFileText(m_sIni, "[Recent Files]\nPath=C:\\\n"));
    options.Load();
    EXPECT_EQ(std::string(options.Path.CStr()), m_dir.Path() + "/home/");
}

TEST_F(OptionsTest, LoadRestoresTheStoredOrderAndTheNewestFolder)
{
    const std::string sA = MakeFile("a.kvt"), sB = MakeFile("b.kvt"), sC = MakeFile("c.kvt");
    ASSERT_TRUE(WriteFileText(m_sIni, "[Recent Files]\nPath=/elsewhere/\nMRU0=" + sC + "\nMRU1=" + sA + "\nMRU2=" + sB +
                                          "\n"));
    COptions options;
    int nNotifications = 0;
    options.RecentFiles.SetOnChange([&] { ++nNotifications; });
    options.Load();
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sC, sA, sB}));
    EXPECT_EQ(nNotifications, 3);
    EXPECT_EQ(std::string(options.Path.CStr()), m_dir.Path() + "/");
}

TEST_F(OptionsTest, DeletedFileInSlotZeroIsDroppedAndItsSlotRewritten)
{
    const std::string sKept = MakeFile("kept.kvt");
    ASSERT_TRUE(WriteFileText(m_sIni, "[Main]\nState=0\n[Recent Files]\nPath=/x/\nMRU0=" + m_dir.File("deleted.kvt") +
                                          "\nMRU1=" + sKept + "\n"));
    COptions options;
    options.Load();
    EXPECT_EQ(Entries(options), std::vector<std::string>{sKept});

    ASSERT_TRUE(options.Save());
    EXPECT_EQ(ReadFileText(m_sIni), "[Main]\nState=0\nHeight=480\nLeft=0\nTop=0\nWidth=640\n"
                                    "[Recent Files]\nPath=" + m_dir.Path() + "/\nMRU0=" + sKept + "\n");
}

TEST_F(OptionsTest, AddingMovesAnEntryToTheFrontAndSetsPath)
{
    const std::string sFirst = MakeFile("first.kvt"), sSecond = MakeFile("second.kvt");
    COptions options;
    options.Load();
    std::vector<int32_t> counts;
    options.RecentFiles.SetOnChange([&] { counts.push_back(options.RecentFiles.Count()); });

    options.AddRecentFile(sFirst.c_str());
    options.AddRecentFile(sSecond.c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sSecond, sFirst}));
    options.AddRecentFile(sFirst.c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sFirst, sSecond}));
    // One notification per insertion and per deletion.
    EXPECT_EQ(counts, (std::vector<int32_t>{1, 2, 1, 2}));
    EXPECT_EQ(std::string(options.Path.CStr()), m_dir.Path() + "/");

    // A file that does not exist changes nothing.
    options.Path = "/unchanged/";
    options.AddRecentFile(m_dir.File("absent.kvt").c_str());
    options.AddRecentFile(m_dir.Path().c_str());  // a folder is not a file
    options.AddRecentFile("");
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sFirst, sSecond}));
    EXPECT_EQ(counts.size(), 4u);
    EXPECT_STREQ(options.Path.CStr(), "/unchanged/");
}

TEST_F(OptionsTest, NamesInOtherCaseAreOtherFilesAndOnlyTheSameNameMoves)
{
    const std::string sLower = MakeFile("data.kvt"), sOther = MakeFile("other.kvt"), sUpper = MakeFile("DATA.KVT");
    COptions options;
    options.AddRecentFile(sLower.c_str());
    options.AddRecentFile(sOther.c_str());
    options.AddRecentFile(sUpper.c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sUpper, sOther, sLower}));
    options.AddRecentFile(sLower.c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sLower, sUpper, sOther}));
}

TEST_F(OptionsTest, PathIsTheFolderPartUpToTheLastSeparator)
{
    EXPECT_STREQ(FolderOfFileName("/home/u/docs/a.kvt").CStr(), "/home/u/docs/");
    EXPECT_STREQ(FolderOfFileName("C:\\Games\\save.kvt").CStr(), "C:\\Games\\");
    EXPECT_STREQ(FolderOfFileName("C:save.kvt").CStr(), "C:");
    EXPECT_STREQ(FolderOfFileName("/mixed\\dir/x").CStr(), "/mixed\\dir/");
    EXPECT_STREQ(FolderOfFileName("plain.kvt").CStr(), "");

    ASSERT_TRUE(std::filesystem::create_directory(m_dir.File("sub")));
    const std::string sFile = MakeFile("sub/x.kvt");
    COptions options;
    options.AddRecentFile(sFile.c_str());
    EXPECT_EQ(std::string(options.Path.CStr()), m_dir.File("sub/"));
}

TEST_F(OptionsTest, MaximizedStateLeavesThePlacementKeysUntouched)
{
    const std::string sBefore = "[Main]\nHeight = 0x10 \nLeft=7\nState=2\nTop=9\nWidth=1234\n";
    ASSERT_TRUE(WriteFileText(m_sIni, sBefore));
    COptions options;
    options.Load();
    EXPECT_EQ(options.State, 2);
    options.Height = 1;
    options.Left = 2;
    options.Top = 3;
    options.Width = 4;
    ASSERT_TRUE(options.Save());
    const std::string sText = ReadFileText(m_sIni);
    EXPECT_EQ(sText.substr(0, sBefore.size()), sBefore);

    options.State = 0;
    ASSERT_TRUE(options.Save());
    const std::string sAfter = "[Main]\nHeight=1\nLeft=2\nState=0\nTop=3\nWidth=4\n";
    EXPECT_EQ(ReadFileText(m_sIni).substr(0, sAfter.size()), sAfter);
}

TEST_F(OptionsTest, TrimmingKeepsTheFiveNewestEntries)
{
    std::vector<std::string> files;
    for (int i = 0; i < 7; ++i)
        files.push_back(MakeFile(std::to_string(i).append(".kvt")));
    COptions options;
    int nNotifications = 0;
    options.RecentFiles.SetOnChange([&] {
        ++nNotifications;
        TrimRecentFiles(options);
    });
    for (const std::string& sFile : files)
        options.AddRecentFile(sFile.c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{files[6], files[5], files[4], files[3], files[2]}));
    EXPECT_EQ(nNotifications, 9);  // seven insertions, two trimming deletions

    // Re-adding an entry never trims.
    options.AddRecentFile(files[2].c_str());
    EXPECT_EQ(Entries(options), (std::vector<std::string>{files[2], files[6], files[5], files[4], files[3]}));

    // Without a connected handler, one call removes the one entry too many.
    COptions unconnected;
    for (int i = 0; i < 6; ++i)
        unconnected.AddRecentFile(files[static_cast<size_t>(i)].c_str());
    ASSERT_EQ(unconnected.RecentFiles.Count(), 6);
    TrimRecentFiles(unconnected);
    EXPECT_EQ(Entries(unconnected), (std::vector<std::string>{files[5], files[4], files[3], files[2], files[1]}));
    TrimRecentFiles(unconnected);
    EXPECT_EQ(unconnected.RecentFiles.Count(), 5);
}

TEST_F(OptionsTest, SavedListRoundTripsThroughTheFile)
{
    const std::string sA = MakeFile("a b.kvt"), sB = MakeFile("b.kvt");
    {
        COptions options;
        options.Load();
        options.AddRecentFile(sA.c_str());
        options.AddRecentFile(sB.c_str());
        ASSERT_TRUE(options.Save());
    }
    COptions options;
    options.Load();
    EXPECT_EQ(Entries(options), (std::vector<std::string>{sB, sA}));
}

// The file-size limit lets the "State" write through and stops the next one:
// later keys must not be written and the recent files must not be erased.
TEST_F(OptionsTest, WriteThatFailsMidwayStopsAtThatValue)
{
    const std::string sBefore = "[Recent Files]\nPath=/old/\n[Main]\n";
    ASSERT_TRUE(WriteFileText(m_sIni, sBefore));
    COptions options;
    options.Load();
    std::vector<std::string> reports;
    options.SetErrorReport([&](const COroString& sText) { reports.push_back(sText.CStr()); });

    struct rlimit oldLimit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    struct rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = sBefore.size() + std::string("State=0\n").size();
    void (*pOldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const bool bSaved = options.Save();
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, pOldHandler);

    EXPECT_FALSE(bSaved);
    EXPECT_EQ(reports, std::vector<std::string>{"Unable to write to " + m_sIni});
    EXPECT_EQ(ReadFileText(m_sIni), sBefore + "State=0\n");
}

} // namespace
