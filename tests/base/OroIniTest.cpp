#include <gtest/gtest.h>

#include <string>

#include "TempDir.h"
#include "oroini.h"

TEST(OroIni, ReadsAValueAndReportsMissingOrEmptyOnesAsAbsent)
{
    CTempDir dir;
    const std::string sFile = dir.File("test.ini");
    ASSERT_TRUE(WriteFileText(sFile, "[Profile]\nName = value \nEmpty=\n"));
    COroIni ini;
    COroString sValue("untouched");
    EXPECT_EQ(ini.ReadIniEntry(sValue, sFile.c_str(), "Profile", "Name"), 1);
    EXPECT_STREQ(sValue.CStr(), "value");
    sValue = "untouched";
    EXPECT_EQ(ini.ReadIniEntry(sValue, sFile.c_str(), "Profile", "Empty"), 0);
    EXPECT_EQ(ini.ReadIniEntry(sValue, sFile.c_str(), "Profile", "Missing"), 0);
    EXPECT_EQ(ini.ReadIniEntry(sValue, sFile.c_str(), "Other", "Name"), 0);
    EXPECT_EQ(ini.ReadIniEntry(sValue, dir.File("absent.ini").c_str(), "Profile", "Name"), 0);
    EXPECT_STREQ(sValue.CStr(), "untouched");
}

TEST(OroIni, LongValuesArriveCutTo255Characters)
{
    CTempDir dir;
    const std::string sFile = dir.File("long.ini");
    const std::string sLong(300, 'x');
    ASSERT_TRUE(WriteFileText(sFile, "[S]\nK=" + sLong + "\n"));
    COroIni ini;
    COroString sValue;
    EXPECT_EQ(ini.ReadIniEntry(sValue, sFile.c_str(), "S", "K"), 1);
    EXPECT_EQ(sValue.GetLength(), 255);
}

TEST(OroIni, BackslashRelativeNamesResolveAgainstTheWorkingDirectory)
{
    CTempDir dir;
    CScopedWorkingDir cwd(dir.Path());
    ASSERT_TRUE(WriteFileText("option.ini", "[Profile]\nKey=1\n"));
    COroIni ini;
    COroString sValue;
    EXPECT_EQ(ini.ReadIniEntry(sValue, ".\\option.ini", "profile", "KEY"), 1);
    EXPECT_STREQ(sValue.CStr(), "1");
}
