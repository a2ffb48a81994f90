// CResRef: the 16-byte resource name and its case rules.

#include <cstring>

#include "ResmanFixture.h"
#include "ororeport.h"
#include "ororesman.h"

namespace {

bool BytesAre(const CResRef& value, const char (&expected)[17])
{
    return std::memcmp(value.GetResRef(), expected, 16) == 0;
}

} // namespace

using ResRef = ResmanTest;

TEST_F(ResRef, DefaultIsSixteenZeros)
{
    const CResRef value;
    EXPECT_TRUE(BytesAre(value, "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"));
    EXPECT_EQ(value.GetLength(), 0u);
    EXPECT_STREQ(value.GetResRefStr().CStr(), "");
}

TEST_F(ResRef, TextIsLowerCasedAndZeroPadded)
{
    const CResRef value("Abc");
    EXPECT_TRUE(BytesAre(value, "abc\0\0\0\0\0\0\0\0\0\0\0\0\0"));
    EXPECT_EQ(value.GetLength(), 3u);
    // Only A to Z change.
    const CResRef symbols("@[Z]`\xC4");
    EXPECT_TRUE(BytesAre(symbols, "@[z]`\xC4\0\0\0\0\0\0\0\0\0\0"));
    const CResRef full("ABCDEFGHIJKLMNOP");
    EXPECT_EQ(full.GetLength(), 16u);
    EXPECT_STREQ(full.GetResRefStr().CStr(), "abcdefghijklmnop");
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ResRef, StringIsCutToSixteenWithoutComplaint)
{
    const CResRef value(COroString("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_TRUE(BytesAre(value, "abcdefghijklmnop"));
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ResRef, CharactersWithLengthAreKeptAsTheyStand)
{
    const CResRef twenty("ABCDEFGHIJKLMNOPQRST", 20);
    EXPECT_TRUE(BytesAre(twenty, "ABCDEFGHIJKLMNOP"));
    const CResRef three("XYZW", 3);
    EXPECT_TRUE(BytesAre(three, "XYZ\0\0\0\0\0\0\0\0\0\0\0\0\0"));
    const CResRef inner("AB\0CD", 5);
    EXPECT_TRUE(BytesAre(inner, "AB\0CD\0\0\0\0\0\0\0\0\0\0\0"));
    EXPECT_EQ(inner.GetLength(), 2u);
    EXPECT_STREQ(inner.GetResRefStr().CStr(), "AB");
    // The lower-cased copy also clears everything after the first zero.
    EXPECT_TRUE(BytesAre(inner.GetLowerCase(), "ab\0\0\0\0\0\0\0\0\0\0\0\0\0\0"));
    EXPECT_TRUE(BytesAre(CResRef(nullptr, 4), "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"));
}

TEST_F(ResRef, ComparesAllSixteenBytes)
{
    EXPECT_TRUE(CResRef("abc") == CResRef("ABC"));
    EXPECT_TRUE(CResRef("abc") != CResRef("ABC", 3));
    EXPECT_TRUE(CResRef("ab", 2) != CResRef("ab\0x", 4));
}

using ResRefDeathTest = ResmanTest;

TEST_F(ResRefDeathTest, TextOfMoreThanSixteenCharactersIsAFatalAssertion)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The standard-error handler shows the assertion text, then the program ends.
    EXPECT_DEATH(
        {
            SetOroReportHandler(nullptr);
            CResRef value("seventeen_chars_x");
        },
        "ororesman.*397.*seventeen_chars_x");
}
