// Starting outside programs and waiting for them; the program's own path and
// the home folder, with their test overrides.

#include <gtest/gtest.h>

#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "processenv.h"
#include "processstart.h"

namespace {

// A script that records its arguments one per line, after a pause long
// enough that a caller not waiting for it would miss the record.
std::string WriteRecorder(const CTempDir& dir, int nExitCode)
{
    const std::string sScript = dir.File("recorder.sh");
    const std::string sText = "#!/bin/sh\nsleep 0.3\nprintf '%s\\n' \"$#\" \"$0\" \"$1\" > '" + dir.File("args.txt") +
                              "'\nexit " + std::to_string(nExitCode) + "\n";
    EXPECT_TRUE(WriteFileText(sScript, sText));
    EXPECT_EQ(chmod(sScript.c_str(), 0755), 0);
    return sScript;
}

TEST(StartProcessAndWait, PassesProgramPathAndOneArgumentAndWaits)
{
    CTempDir dir;
    const std::string sScript = WriteRecorder(dir, 3);
    int nStatus = -1;
    ASSERT_TRUE(StartProcessAndWait(sScript.c_str(), "/data/my file; 'quoted'.kvt", &nStatus));
    EXPECT_EQ(ReadFileText(dir.File("args.txt")), "1\n" + sScript + "\n/data/my file; 'quoted'.kvt\n");
    ASSERT_TRUE(WIFEXITED(nStatus));
    EXPECT_EQ(WEXITSTATUS(nStatus), 3);
}

TEST(StartProcessAndWait, MissingArgumentIsPassedAsEmptyText)
{
    CTempDir dir;
    const std::string sScript = WriteRecorder(dir, 0);
    ASSERT_TRUE(StartProcessAndWait(sScript.c_str(), nullptr));
    EXPECT_EQ(ReadFileText(dir.File("args.txt")), "1\n" + sScript + "\n\n");
}

TEST(StartProcessAndWait, ProgramThatCannotStartGivesFalse)
{
    CTempDir dir;
    const std::string sPlain = dir.File("plain.txt");
    ASSERT_TRUE(WriteFileText(sPlain, "#!/bin/sh\nexit 0\n"));  // not executable
    const std::string sNoInterpreter = dir.File("nointerpreter.sh");
    ASSERT_TRUE(WriteFileText(sNoInterpreter, "#!/no/such/shell\n"));
    ASSERT_EQ(chmod(sNoInterpreter.c_str(), 0755), 0);

    EXPECT_FALSE(StartProcessAndWait(dir.File("absent").c_str(), "x"));
    EXPECT_FALSE(StartProcessAndWait(sPlain.c_str(), "x"));
    EXPECT_FALSE(StartProcessAndWait(sNoInterpreter.c_str(), "x"));
    EXPECT_FALSE(StartProcessAndWait(dir.Path().c_str(), "x"));
    EXPECT_FALSE(StartProcessAndWait("", "x"));
    EXPECT_FALSE(StartProcessAndWait(nullptr, "x"));
    // No child is left behind to be reaped.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(OwnExecutablePath, IsTheRunningProgramUnlessOverridden)
{
    const std::string sReal = OwnExecutablePath();
    EXPECT_EQ(sReal.substr(sReal.rfind('/') + 1), "platform_tests");
    struct stat ownInfo {}, selfInfo {};
    ASSERT_EQ(stat(sReal.c_str(), &ownInfo), 0);
    ASSERT_EQ(stat("/proc/self/exe", &selfInfo), 0);
    EXPECT_EQ(ownInfo.st_ino, selfInfo.st_ino);

    SetOwnExecutablePathOverride("/opt/kvt/KVTEditor.exe");
    EXPECT_EQ(OwnExecutablePath(), "/opt/kvt/KVTEditor.exe");
    SetOwnExecutablePathOverride(nullptr);
    EXPECT_EQ(OwnExecutablePath(), sReal);
}

TEST(UserHomeFolder, ComesFromHomeElseFromThePasswordEntry)
{
    {
        CScopedEnv home("HOME", "/home/tester/");
        EXPECT_EQ(UserHomeFolder(), "/home/tester");
    }
    {
        CScopedEnv home("HOME", "/");
        EXPECT_EQ(UserHomeFolder(), "");
    }
    const struct passwd* pEntry = getpwuid(getuid());
    ASSERT_NE(pEntry, nullptr);
    std::string sExpected = pEntry->pw_dir;
    while (!sExpected.empty() && sExpected.back() == '/')
        sExpected.pop_back();
    for (const char* pValue : {static_cast<const char*>(nullptr), ""}) {
        CScopedEnv home("HOME", pValue);
        EXPECT_EQ(UserHomeFolder(), sExpected);
    }
}

} // namespace
