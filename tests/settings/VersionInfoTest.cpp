// Version information of program files, the application title and the
// prefix comparison.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ElfTestFile.h"
#include "TempDir.h"
#include "bcglobal.h"
#include "processenv.h"
#include "versionblockbuilder.h"

namespace {

class VersionInfoTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetOwnExecutablePathOverride(nullptr);
        g_sTitle = "";
    }
    // A program file whose version block holds the given string tables.
    std::string MakeProgram(const std::string& sName, const std::vector<VersionStringTable_st>& tables)
    {
        const VersionInfo_st info{{2, 0, 1, 5}, tables};
        ElfTestLayout_st layout;
        const std::string sPath = m_dir.File(sName);
        EXPECT_TRUE(WriteFileBytes(sPath, MakeElfFile({{".text", {0xC3}}, {".kvtversion", BuildVersionBlock(info)}},
                                                      layout)));
        return sPath;
    }
    CTempDir m_dir;
};

TEST_F(VersionInfoTest, StringsAreReadFromThe040904E4Table)
{
    const std::string sProgram =
        MakeProgram("editor", {{"040904E4", {{"FileDescription", "KVT Editor"}, {"FileVersion", "2.0.1.5"}}}});
    EXPECT_STREQ(GetVersionInfoString(sProgram.c_str(), "FileDescription").CStr(), "KVT Editor");
    EXPECT_STREQ(GetVersionInfoString(sProgram.c_str(), "FileVersion").CStr(), "2.0.1.5");
    EXPECT_STREQ(GetVersionInfoString(sProgram.c_str(), "filedescription").CStr(), "KVT Editor");
    EXPECT_STREQ(GetVersionInfoString(sProgram.c_str(), "Comments").CStr(), "");
}

TEST_F(VersionInfoTest, StringsUnderAnotherLanguageOrCodePageAreNotRead)
{
    const std::string sProgram =
        MakeProgram("other", {{"040904B0", {{"FileDescription", "KVT Editor"}, {"FileVersion", "2.0.1.5"}}}});
    for (const char* pKey : {"FileDescription", "FileVersion", "ProductName"})
        EXPECT_STREQ(GetVersionInfoString(sProgram.c_str(), pKey).CStr(), "") << pKey;
}

TEST_F(VersionInfoTest, FilesWithoutAVersionResourceGiveEmptyText)
{
    const std::string sText = m_dir.File("notes.txt");
    ASSERT_TRUE(WriteFileText(sText, "FileDescription=KVT Editor\n"));
    ElfTestLayout_st layout;
    const std::string sBare = m_dir.File("bare");
    ASSERT_TRUE(WriteFileBytes(sBare, MakeElfFile({{".text", {0xC3}}}, layout)));
    for (const std::string& sFile : {sText, sBare, m_dir.File("absent")})
        EXPECT_STREQ(GetVersionInfoString(sFile.c_str(), "FileDescription").CStr(), "") << sFile;
}

TEST_F(VersionInfoTest, TitleIsDescriptionBlankVAndVersion)
{
    EXPECT_STREQ(g_sTitle.CStr(), "");
    SetOwnExecutablePathOverride(
        MakeProgram("KVTEditor", {{"040904E4", {{"FileDescription", "KVT Editor"}, {"FileVersion", "2.0.1.5"}}}})
            .c_str());
    EXPECT_STREQ(GetAppVersionInfo("FileVersion").CStr(), "2.0.1.5");
    EXPECT_STREQ(BuildTitle().CStr(), "KVT Editor v2.0.1.5");
    EXPECT_STREQ(g_sTitle.CStr(), "KVT Editor v2.0.1.5");

    // Without a resource the title degrades to the separator alone.
    SetOwnExecutablePathOverride(m_dir.File("absent").c_str());
    EXPECT_STREQ(BuildTitle().CStr(), " v");
}

// This test program carries the block the build gives every program.
TEST_F(VersionInfoTest, OwnProgramCarriesTheBuiltVersionBlock)
{
    EXPECT_STREQ(GetAppVersionInfo("FileDescription").CStr(), "KVT Editor");
    EXPECT_STREQ(GetAppVersionInfo("FileVersion").CStr(), KVT_PROJECT_VERSION);
    EXPECT_STREQ(GetAppVersionInfo("InternalName").CStr(), "settings_tests");
    EXPECT_STREQ(BuildTitle().CStr(), "KVT Editor v" KVT_PROJECT_VERSION);
}

TEST(StrNICmpPrefix, ComparesTheFirstNCharactersWithoutRegardToCase)
{
    const char* pUser = "<User Defined>";
    const int32_t n = static_cast<int32_t>(std::string(pUser).size());
    char label[] = "<user defined> 7";
    EXPECT_EQ(StrNICmpPrefix(label, pUser, n), 0);
    EXPECT_STREQ(label, "<user defined> 7");  // left unchanged
    EXPECT_EQ(StrNICmpPrefix(pUser, "<USER DEFINED>", n), 0);
    EXPECT_LT(StrNICmpPrefix("<User Aefined>", pUser, n), 0);
    EXPECT_GT(StrNICmpPrefix("<user zefined>", pUser, n), 0);
    EXPECT_EQ(StrNICmpPrefix("abcX", "ABCY", 3), 0);
    EXPECT_EQ(StrNICmpPrefix("", "", 0), 0);
}

TEST(StrNICmpPrefix, TextShorterThanNGivesMinusOneEvenWhenEqual)
{
    EXPECT_EQ(StrNICmpPrefix("<User", "<User", 14), -1);
    EXPECT_EQ(StrNICmpPrefix("<User Defined>", "<User", 14), -1);
    EXPECT_EQ(StrNICmpPrefix("<User", "<User Defined>", 14), -1);
    // -1 also for "after": a short text is not compared at all.
    EXPECT_EQ(StrNICmpPrefix("zzz", "<User Defined>", 14), -1);
    EXPECT_EQ(StrNICmpPrefix(nullptr, "abc", 1), -1);
}

} // namespace
