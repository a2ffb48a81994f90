// kvttool to-json, from-json and diff as a user runs them, and git showing
// KVT files as their JSON form through the textconv the README gives.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "TempDir.h"

namespace {

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Tool()
{
    const char* pBuild = std::getenv("KVT_BUILD_DIR");
    return std::string(pBuild ? pBuild : ".") + "/kvttool";
}

std::string Sample()
{
    const char* pSource = std::getenv("KVT_TEST_SOURCE_DIR");
    return std::string(pSource ? pSource : ".") + "/samples/sample.kvt";
}

struct Run_st {
    int nExit;
    std::string sOut;
    std::string sErr;
};

Run_st Shell(const CTempDir& dir, const std::string& sCommand)
{
    const std::string sLine =
        "cd " + Quote(dir.Path()) + " && (" + sCommand + ") >" + Quote(dir.File("out")) + " 2>" + Quote(dir.File("err"));
    const int nStatus = std::system(sLine.c_str());
    return Run_st{WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadFileText(dir.File("out")),
                  ReadFileText(dir.File("err"))};
}

} // namespace

TEST(KvtToolJson, FromJsonOfToJsonIsTheResavedFile)
{
    CTempDir dir;
    const std::string t = Quote(Tool());
    const Run_st toJson = Shell(dir, t + " to-json " + Quote(Sample()) + " a.json");
    ASSERT_EQ(toJson.nExit, 0) << toJson.sErr;
    EXPECT_EQ(Shell(dir, t + " to-json " + Quote(Sample())).sOut, ReadFileText(dir.File("a.json")));
    ASSERT_EQ(Shell(dir, t + " from-json a.json b.kvt").nExit, 0);
    ASSERT_EQ(Shell(dir, t + " resave " + Quote(Sample()) + " c.kvt").nExit, 0);
    EXPECT_EQ(ReadFileText(dir.File("b.kvt")), ReadFileText(dir.File("c.kvt")));
    EXPECT_EQ(Shell(dir, t + " diff " + Quote(Sample()) + " a.json").nExit, 0);
}

TEST(KvtToolJson, RefusedJsonWritesNothingAndExitsTwo)
{
    CTempDir dir;
    const std::string t = Quote(Tool());
    ASSERT_EQ(Shell(dir, t + " to-json " + Quote(Sample()) + " a.json").nExit, 0);
    ASSERT_EQ(Shell(dir, "sed 's/\"Charges\",\"type\":\"BYTE\",\"value\":3/\"Charges\",\"type\":\"BYTE\",\"value\":300/' "
                         "a.json > bad.json").nExit,
              0);
    const Run_st run = Shell(dir, t + " from-json bad.json out.kvt");
    EXPECT_EQ(run.nExit, 2);
    EXPECT_EQ(run.sErr, "bad.json: line 5, column 43, JSON Pointer \"/root/fields/3/value\": BYTE 300 does not fit "
                        "(0 to 255)\n");
    EXPECT_EQ(Shell(dir, "test -e out.kvt").nExit, 1);
    EXPECT_EQ(Shell(dir, t + " from-json missing.json out.kvt").nExit, 2);
    EXPECT_EQ(Shell(dir, t + " from-json a.json no/such/folder/out.kvt").nExit, 3);

    const Run_st diff = Shell(dir, "sed 's/\"value\":3}/\"value\":4}/' a.json > b.json && " + t + " diff a.json b.json");
    EXPECT_EQ(diff.nExit, 1);
    EXPECT_EQ(diff.sOut, "~ /Charges: 3 -> 4\n");
    EXPECT_EQ(Shell(dir, t + " diff a.json missing.kvt").nExit, 2);
}

TEST(KvtToolJson, GitDiffShowsKvtFilesAsJson)
{
    CTempDir dir;
    const std::string t = Quote(Tool());
    const std::string sGit = "git -c user.name=t -c user.email=t@example.invalid -c init.defaultBranch=main ";
    const Run_st setup = Shell(dir, sGit + "init -q . && echo '*.kvt diff=kvt' > .gitattributes && " + sGit +
                                        "config diff.kvt.textconv " + Quote(Tool() + " to-json") + " && cp " +
                                        Quote(Sample()) + " item.kvt && " + sGit + "add . && " + sGit +
                                        "commit -qm base");
    ASSERT_EQ(setup.nExit, 0) << setup.sErr;
    // Change one value through the JSON form.
    ASSERT_EQ(Shell(dir, t + " to-json item.kvt | sed 's/\"value\":3}/\"value\":9}/' > edit.json && " + t +
                             " from-json edit.json item.kvt")
                  .nExit,
              0);
    const Run_st diff = Shell(dir, sGit + "diff --no-color -U0 item.kvt");
    ASSERT_EQ(diff.nExit, 0) << diff.sErr;
    EXPECT_NE(diff.sOut.find("\n- {\"label\":\"Charges\",\"type\":\"BYTE\",\"value\":3},\n"
                             "+ {\"label\":\"Charges\",\"type\":\"BYTE\",\"value\":9},\n"),
              std::string::npos)
        << diff.sOut;
    EXPECT_EQ(diff.sOut.find("Binary files"), std::string::npos);
}
