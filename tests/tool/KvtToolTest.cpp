// Runs the built kvttool as a user would and checks its output and exit codes.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "KvtImageBuilder.h"
#include "reskvt.h"
#include "TempDir.h"

namespace {

struct ToolResult {
    int nExit;
    std::string sOut;
    std::string sErr;
};

std::string Quote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolResult RunTool(const std::string& sArguments)
{
    const char* pBuild = std::getenv("KVT_BUILD_DIR");
    const std::string sTool = std::string(pBuild ? pBuild : ".") + "/kvttool";
    CTempDir dir;
    const std::string sOutFile = dir.File("out");
    const std::string sErrFile = dir.File("err");
    const std::string sCommand = Quote(sTool) + " " + sArguments + " >" + Quote(sOutFile) + " 2>" + Quote(sErrFile);
    const int nStatus = std::system(sCommand.c_str());
    return ToolResult{WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1, ReadFileText(sOutFile), ReadFileText(sErrFile)};
}

size_t CountOccurrences(const std::string& sText, const std::string& sWhat)
{
    size_t n = 0;
    for (size_t nAt = sText.find(sWhat); nAt != std::string::npos; nAt = sText.find(sWhat, nAt + 1))
        ++n;
    return n;
}

// A small document with a list, made by hand with the sections out of order.
std::vector<uint8_t> HandMadeDocument()
{
    CKvtImageBuilder image("ABCD");
    const uint32_t nFlag = image.AddLabel("Flag");
    const uint32_t nItems = image.AddLabel("Items");
    image.AddLabel("Flag");  // a repeated label entry
    const uint32_t nName = image.AddLabel("Name");
    image.AddStruct(0xFFFFFFFFu, image.AddFieldIndices({0, 1}), 2);
    image.AddStruct(9, 2, 1);
    image.AddField(KVT_LIST, nItems, image.AddListIndices({1, 1}));
    image.AddField(KVT_BYTE, nFlag, 1);
    image.AddField(KVT_STRING, nName, image.AddFieldData(CKvtImageBuilder::StringValue("Widget")));
    using S = CKvtImageBuilder;
    return image.Build({S::FieldData, S::Labels, S::ListIndices, S::Structs, S::FieldIndices, S::Fields});
}

const char kExpectedDump[] = "-1               [TopLevelStruct] = Type:ABCD Ver:V3.2\r\n"
                             "\tFlag             [BYTE]       = 1\r\n"
                             "\tItems            [List]       = ...\r\n"
                             "\t\t0                [User-defined Struct: 9] = ...\r\n"
                             "\t\t\tName             [COroString] = Widget\r\n";

} // namespace

TEST(KvtTool, DumpWritesTheExportText)
{
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    ASSERT_TRUE(WriteFileBytes(sFile, HandMadeDocument()));
    const ToolResult result = RunTool("dump " + Quote(sFile));
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sOut, kExpectedDump);
    EXPECT_EQ(result.sErr, "");
}

TEST(KvtTool, ResaveWritesAFileThatDumpsTheSame)
{
    CTempDir dir;
    const std::string sIn = dir.File("in.kvt");
    const std::string sOut = dir.File("out.kvt");
    const std::string sAgain = dir.File("again.kvt");
    ASSERT_TRUE(WriteFileBytes(sIn, HandMadeDocument()));
    EXPECT_EQ(RunTool("resave " + Quote(sIn) + " " + Quote(sOut)).nExit, 0);
    EXPECT_EQ(RunTool("dump " + Quote(sOut)).sOut, kExpectedDump);
    // The saved form is a fixed point.
    EXPECT_EQ(RunTool("resave " + Quote(sOut) + " " + Quote(sAgain)).nExit, 0);
    EXPECT_EQ(ReadFileBytes(sOut), ReadFileBytes(sAgain));
}

TEST(KvtTool, OpenFailuresPrintTheEditorsMessages)
{
    CTempDir dir;
    const std::string sMissing = dir.File("missing.kvt");
    ToolResult result = RunTool("dump " + Quote(sMissing));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.sErr, "Could not find file '" + sMissing + "'.\n");
    EXPECT_EQ(result.sOut, "");

    const std::string sBad = dir.File("bad.kvt");
    WriteFileText(sBad, "ABCDV3.3 rest of file");
    result = RunTool("check " + Quote(sBad));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.sErr, "Could not open file. The header is invalid.\n");

    // Passes the header check but is shorter than a KVT header.
    const std::string sShort = dir.File("short.kvt");
    WriteFileText(sShort, "ABCDV3.2");
    result = RunTool("dump " + Quote(sShort));
    EXPECT_EQ(result.nExit, 2);
    EXPECT_EQ(result.sOut, "");
    EXPECT_NE(result.sErr.find("Error opening file.  \n\nIs The selected file a KVT file?"), std::string::npos);
    const std::string sOut = dir.File("never.kvt");
    EXPECT_EQ(RunTool("resave " + Quote(sShort) + " " + Quote(sOut)).nExit, 2);
    EXPECT_FALSE(FileExists(sOut));

    // A named pipe is refused at once, as a folder is, instead of waiting
    // for a writer that never comes.
    const std::string sPipe = dir.File("pipe.kvt");
    ASSERT_EQ(mkfifo(sPipe.c_str(), 0600), 0);
    for (const char* pCommand : {"check ", "dump "}) {
        result = RunTool(pCommand + Quote(sPipe));
        EXPECT_EQ(result.nExit, 2) << pCommand;
        EXPECT_EQ(result.sErr, "Could not open file. The header is invalid.\n") << pCommand;
    }
}

TEST(KvtTool, CheckReportsWarnings)
{
    CTempDir dir;
    const std::string sGood = dir.File("good.kvt");
    ASSERT_TRUE(WriteFileBytes(sGood, HandMadeDocument()));
    ToolResult result = RunTool("check " + Quote(sGood));
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sErr, "");

    CKvtImageBuilder image;
    image.AddField(KVT_STRING, image.AddLabel("bad"), image.AddFieldData(CKvtImageBuilder::Word(99)));
    image.AddStruct(0xFFFFFFFFu, 0, 1);
    const std::string sDamaged = dir.File("damaged.kvt");
    ASSERT_TRUE(WriteFileBytes(sDamaged, image.Build()));
    result = RunTool("check " + Quote(sDamaged));
    EXPECT_EQ(result.nExit, 1);
    EXPECT_NE(result.sErr.find("Oro Warning: A warning has occured:"), std::string::npos);
    EXPECT_NE(result.sErr.find("File: KVTTreeNodes"), std::string::npos);
    // The count closes the report; --quiet keeps only the count.
    const size_t nBoxes = CountOccurrences(result.sErr, "Oro Warning: ");
    const std::string sCount = std::to_string(nBoxes) + " warnings\n";
    ASSERT_GE(result.sErr.size(), sCount.size());
    EXPECT_EQ(result.sErr.substr(result.sErr.size() - sCount.size()), sCount);
    const ToolResult quiet = RunTool("check --quiet " + Quote(sDamaged));
    EXPECT_EQ(quiet.nExit, 1);
    EXPECT_EQ(quiet.sErr, sCount);
    EXPECT_EQ(RunTool("check --quiet " + Quote(sGood)).sErr, "");
    // A struct field naming a struct the file does not hold was shown
    // silently as an empty struct: now it warns, and check says so.
    CKvtImageBuilder missing;
    missing.AddField(KVT_STRUCT, missing.AddLabel("gone"), 42);
    missing.AddStruct(0xFFFFFFFFu, 0, 1);
    const std::string sMissing = dir.File("missing.kvt");
    ASSERT_TRUE(WriteFileBytes(sMissing, missing.Build()));
    EXPECT_EQ(RunTool("check " + Quote(sMissing)).nExit, 1);
    // dump still shows what could be read.
    result = RunTool("dump " + Quote(sDamaged));
    EXPECT_EQ(result.nExit, 0);
    EXPECT_NE(result.sOut.find("bad              [COroString] = \r\n"), std::string::npos);
}

TEST(KvtTool, SaveFailureExitsWithThree)
{
    CTempDir dir;
    const std::string sIn = dir.File("in.kvt");
    ASSERT_TRUE(WriteFileBytes(sIn, HandMadeDocument()));
    const std::string sOut = dir.File("no/such/folder/out.kvt");
    const ToolResult result = RunTool("resave " + Quote(sIn) + " " + Quote(sOut));
    EXPECT_EQ(result.nExit, 3);
    EXPECT_EQ(result.sErr, "Could not save file\n  '" + sOut +
                               "'.\nIt may be in use by another application, or it may be read-only.\n");
}

TEST(KvtTool, UsageAndHelp)
{
    ToolResult result = RunTool("--help");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_NE(result.sOut.find("Usage: kvttool"), std::string::npos);
    for (const char* pArguments : {"", "dump", "frobnicate x", "resave onlyone", "dump a b"}) {
        result = RunTool(pArguments);
        EXPECT_EQ(result.nExit, 2) << pArguments;
        EXPECT_NE(result.sErr.find("Usage: kvttool"), std::string::npos) << pArguments;
    }
    result = RunTool("--version");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sOut, std::string("KVT Editor v") + KVT_PROJECT_VERSION + "\n");
}

TEST(KvtTool, PathsListEveryNodeInExportOrderAndGetFindsThem)
{
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    ASSERT_TRUE(WriteFileBytes(sFile, HandMadeDocument()));
    const ToolResult paths = RunTool("paths " + Quote(sFile));
    EXPECT_EQ(paths.nExit, 0);
    EXPECT_EQ(paths.sOut, "/\n/Flag\n/Items\n/Items[0]\n/Items[0]/Name\n");

    ToolResult result = RunTool("get " + Quote(sFile) + " /Items[0]/Name");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sOut, "Name             [COroString] = Widget\n");
    EXPECT_EQ(RunTool("get " + Quote(sFile) + " /").sOut, "-1               [TopLevelStruct] = Type:ABCD Ver:V3.2\n");

    for (const char* pMissing : {"/Items[1]", "/Name", "Items", "/Flag{1}"}) {
        result = RunTool("get " + Quote(sFile) + " " + Quote(pMissing));
        EXPECT_EQ(result.nExit, 4) << pMissing;
        EXPECT_EQ(result.sOut, "") << pMissing;
        EXPECT_NE(result.sErr, "") << pMissing;
    }
    EXPECT_EQ(RunTool("get " + Quote(dir.File("none.kvt")) + " /").nExit, 2);
    EXPECT_EQ(RunTool("paths " + Quote(dir.File("none.kvt"))).nExit, 2);
}

TEST(KvtTool, FindPrintsPathAndLinePerHitWithItsExitCodes)
{
    CTempDir dir;
    const std::string sFile = dir.File("doc.kvt");
    ASSERT_TRUE(WriteFileBytes(sFile, HandMadeDocument()));
    ToolResult result = RunTool("find " + Quote(sFile) + " widget");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sOut, "/Items[0]/Name\tName             [COroString] = Widget\n");

    result = RunTool("find " + Quote(sFile) + " 'I[nt]' --regex --labels --types --case");
    EXPECT_EQ(result.nExit, 0);
    EXPECT_EQ(result.sOut, "/Items\tItems            [List]       = ...\n");

    EXPECT_EQ(RunTool("find " + Quote(sFile) + " widget --case").nExit, 1);
    EXPECT_EQ(RunTool("find " + Quote(sFile) + " Widg --word").nExit, 1);
    EXPECT_EQ(RunTool("find " + Quote(sFile) + " Widget --labels").sOut, "");
    result = RunTool("find " + Quote(sFile) + " 'a(' --regex");
    EXPECT_EQ(result.nExit, 2);
    EXPECT_NE(result.sErr, "");
    EXPECT_EQ(RunTool("find " + Quote(sFile) + " x --bogus").nExit, 2);
    EXPECT_EQ(RunTool("find " + Quote(dir.File("none.kvt")) + " x").nExit, 2);
}
