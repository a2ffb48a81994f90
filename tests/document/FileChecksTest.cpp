#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "KVTFileChecks.h"
#include "KVTOpenDocument.h"
#include "TempDir.h"

namespace {

bool HeaderOk(const std::string& sBytes)
{
    CTempDir dir;
    const std::string sFile = dir.File("h.kvt");
    WriteFileText(sFile, sBytes);
    return CheckFileHeader(sFile.c_str());
}

} // namespace

TEST(FileChecks, HeaderAcceptsPaddedFileTypesAndOnlyV32)
{
    EXPECT_TRUE(HeaderOk("ABC V3.2"));
    EXPECT_TRUE(HeaderOk("DATAV3.2 and more"));
    EXPECT_TRUE(HeaderOk("AB  V3.2"));
    EXPECT_TRUE(HeaderOk("    V3.2"));
    EXPECT_TRUE(HeaderOk("a1b2V3.2"));
    EXPECT_FALSE(HeaderOk("ABC V3.3"));
    EXPECT_FALSE(HeaderOk("ABC v3.2"));
    EXPECT_FALSE(HeaderOk("AB-CV3.2"));
    EXPECT_FALSE(HeaderOk("A B V3.2"));
    EXPECT_FALSE(HeaderOk(std::string("AB\0\0V3.2", 8)));
    EXPECT_FALSE(HeaderOk("ABC V3."));
    EXPECT_FALSE(HeaderOk(""));
    EXPECT_FALSE(HeaderOk("\xC4" "BC V3.2"));
    EXPECT_FALSE(CheckFileHeader("/nonexistent/file.kvt"));
}

TEST(FileChecks, ReadOnlyMeansExistingButNotWritable)
{
    CTempDir dir;
    EXPECT_FALSE(IsFileReadOnly(dir.File("missing.kvt").c_str()));
    const std::string sFile = dir.File("f.kvt");
    WriteFileText(sFile, "x");
    EXPECT_FALSE(IsFileReadOnly(sFile.c_str()));
    EXPECT_TRUE(IsFileReadOnly(dir.Path().c_str()));  // a folder cannot be opened for writing
    if (geteuid() != 0) {
        chmod(sFile.c_str(), 0444);
        EXPECT_TRUE(IsFileReadOnly(sFile.c_str()));
    }
}

TEST(FileChecks, OpeningReportsEachFailureWithTheEditorsText)
{
    CTempDir dir;
    CKvtNodeTopLevelStruct* pRoot = nullptr;
    const std::string sMissing = dir.File("missing.kvt");
    EXPECT_EQ(OpenKvtDocument(sMissing.c_str(), pRoot), TKvtOpenResult::NotFound);
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_EQ(std::string(GetOpenErrorText(TKvtOpenResult::NotFound, sMissing.c_str()).CStr()),
              "Could not find file '" + sMissing + "'.");

    const std::string sBad = dir.File("bad.kvt");
    WriteFileText(sBad, "NOPEV1.0");
    EXPECT_EQ(OpenKvtDocument(sBad.c_str(), pRoot), TKvtOpenResult::BadHeader);
    EXPECT_STREQ(GetOpenErrorText(TKvtOpenResult::BadHeader, "").CStr(), "Could not open file. The header is invalid.");

    // Passes the header check, but is too short to be a KVT file.
    const std::string sShort = dir.File("short.kvt");
    WriteFileText(sShort, "TESTV3.2 short");
    EXPECT_EQ(OpenKvtDocument(sShort.c_str(), pRoot), TKvtOpenResult::LoadFailed);
    EXPECT_EQ(pRoot, nullptr);
    EXPECT_STREQ(GetOpenErrorText(TKvtOpenResult::LoadFailed, "").CStr(),
                 "Error opening file.  \n\nIs The selected file a KVT file?");
    EXPECT_STREQ(GetSaveErrorText("/x/y.kvt").CStr(),
                 "Could not save file\n  '/x/y.kvt'.\nIt may be in use by another application, or it may be read-only.");
}
