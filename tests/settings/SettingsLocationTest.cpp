// Where COptions keeps its file: beside the program for a portable copy,
// in the user's configuration folder for an installed one, made on the
// first save without a report about the program's folder.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Kvtoptions.h"
#include "ScopedEnv.h"
#include "SettingsLocation.h"
#include "TempDir.h"
#include "processenv.h"

namespace {

// The unprivileged account: root writes into read-only folders, so as root
// the checks run in a child process that has given up its rights.
constexpr uid_t kNobody = 65534;

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The folders must be reachable by the unprivileged child.
        chmod(m_dir.Path().c_str(), 0755);
        MakeUserFolder(m_sHome);
        MakeUserFolder(m_sProgramFolder);
        SetOwnExecutablePathOverride(m_sProgram.c_str());
    }
    void TearDown() override { SetOwnExecutablePathOverride(nullptr); }

    void MakeUserFolder(const std::string& sPath)
    {
        ASSERT_EQ(mkdir(sPath.c_str(), 0755), 0);
        if (geteuid() == 0)
            ASSERT_EQ(chown(sPath.c_str(), kNobody, kNobody), 0);
    }

    // Runs the checks as an ordinary user; a failed check fails the test.
    static void RunUnprivileged(const std::function<void()>& checks)
    {
        if (geteuid() != 0) {
            checks();
            return;
        }
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(2);
            checks();
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int nStatus = 0;
        ASSERT_EQ(waitpid(child, &nStatus, 0), child);
        EXPECT_TRUE(WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0) << "status " << nStatus;
    }

    // Saves one recent file through a fresh COptions and checks that it
    // reported nothing and that a second one loads it back.
    static void SaveAndReload(const std::string& sExpectedIni, const std::string& sRecent)
    {
        std::vector<std::string> reports;
        {
            COptions options;
            EXPECT_STREQ(options.IniFileName.CStr(), sExpectedIni.c_str());
            options.SetErrorReport([&](const COroString& sText) { reports.push_back(sText.CStr()); });
            options.Load();
            options.AddRecentFile(sRecent.c_str());
            EXPECT_TRUE(options.Save());
        }
        EXPECT_TRUE(reports.empty()) << reports.front();
        COptions reloaded;
        reloaded.Load();
        ASSERT_EQ(reloaded.RecentFiles.Count(), 1);
        EXPECT_STREQ(reloaded.RecentFiles[0].CStr(), sRecent.c_str());
    }

    CTempDir m_dir;
    const std::string m_sHome = m_dir.File("home");
    const std::string m_sProgramFolder = m_dir.File("bin");
    const std::string m_sProgram = m_sProgramFolder + "/kvteditor";
    const std::string m_sBeside = m_sProgramFolder + "/kvted.ini";
    CScopedEnv m_homeEnv{"HOME", m_sHome.c_str()};
    CScopedEnv m_configEnv{"XDG_CONFIG_HOME", nullptr};
};

TEST_F(SettingsLocationTest, ReadOnlyProgramFolderUsesTheUserConfigFolderMadeOnFirstSave)
{
    ASSERT_EQ(chmod(m_sProgramFolder.c_str(), 0555), 0);
    RunUnprivileged([&] {
        const std::string sRecent = m_sHome + "/doc.kvt";
        ASSERT_TRUE(WriteFileText(sRecent, "KVT V3.2"));
        const std::string sIni = m_sHome + "/.config/kvteditor/kvted.ini";
        {
            COptions options;
            options.Load();
            // Loading alone makes nothing.
            EXPECT_FALSE(FileExists(m_sHome + "/.config"));
        }
        SaveAndReload(sIni, sRecent);
        EXPECT_FALSE(FileExists(m_sBeside));

        // XDG_CONFIG_HOME wins when absolute and is ignored when relative.
        const std::string sConfig = m_sHome + "/cfg";
        CScopedEnv config("XDG_CONFIG_HOME", sConfig.c_str());
        SaveAndReload(sConfig + "/kvteditor/kvted.ini", sRecent);
        CScopedEnv relative("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(SettingsFileInUserConfig(), sIni);
    });
}

TEST_F(SettingsLocationTest, ExistingFileBesideTheProgramIsKeptOnlyWhileItCanBeWritten)
{
    ASSERT_TRUE(WriteFileText(m_sBeside, "[Recent Files]\nPath=/srv/\n"));
    ASSERT_EQ(chmod(m_sBeside.c_str(), 0666), 0);
    ASSERT_EQ(chmod(m_sProgramFolder.c_str(), 0555), 0);
    RunUnprivileged([&] {
        // A portable copy whose file exists keeps it even in a read-only folder.
        EXPECT_EQ(ChooseSettingsFile(m_sProgram), m_sBeside);
    });
    ASSERT_EQ(chmod(m_sBeside.c_str(), 0444), 0);
    RunUnprivileged([&] { EXPECT_EQ(ChooseSettingsFile(m_sProgram), m_sHome + "/.config/kvteditor/kvted.ini"); });
}

// Root can write /usr/bin: an installed copy must still not leave a file
// there that would outlive its package.
TEST_F(SettingsLocationTest, InstalledCopyWritesNothingBesideItselfEvenWhereItCould)
{
    ASSERT_EQ(mkdir(m_dir.File("share").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(m_dir.File("share/applications").c_str(), 0755), 0);
    ASSERT_TRUE(WriteFileText(m_dir.File("share/applications/kvteditor.desktop"), "[Desktop Entry]\n"));
    const std::string sRecent = m_sHome + "/doc.kvt";
    ASSERT_TRUE(WriteFileText(sRecent, "KVT V3.2"));
    SaveAndReload(m_sHome + "/.config/kvteditor/kvted.ini", sRecent);
    EXPECT_FALSE(FileExists(m_sBeside));
    // A file the user put there on purpose is still used.
    ASSERT_TRUE(WriteFileText(m_sBeside, ""));
    EXPECT_EQ(ChooseSettingsFile(m_sProgram), m_sBeside);
}

TEST_F(SettingsLocationTest, UnmakeableConfigFolderIsReportedOnceWithTheFileItWasFor)
{
    SetOwnExecutablePathOverride(m_dir.File("missing/kvteditor").c_str());
    // A plain file where the configuration folder should be.
    const std::string sBlocker = m_dir.File("blocker");
    ASSERT_TRUE(WriteFileText(sBlocker, ""));
    CScopedEnv config("XDG_CONFIG_HOME", sBlocker.c_str());
    COptions options;
    std::vector<std::string> reports;
    options.SetErrorReport([&](const COroString& sText) { reports.push_back(sText.CStr()); });
    EXPECT_FALSE(options.Save());
    EXPECT_EQ(reports, std::vector<std::string>{"Unable to write to " + sBlocker + "/kvteditor/kvted.ini"});
}

} // namespace
