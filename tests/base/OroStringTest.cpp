#include <gtest/gtest.h>

#include <string>

#include "orostring.h"
#include "ororeportrecorder.h"

TEST(OroString, EmptyStringsOwnNoBufferAndCompareEqual)
{
    COroString sDefault;
    COroString sFromEmpty("");
    COroString sFromNull(static_cast<const char*>(nullptr));
    EXPECT_FALSE(sDefault.HasBuffer());
    EXPECT_FALSE(sFromEmpty.HasBuffer());
    EXPECT_FALSE(sFromNull.HasBuffer());
    EXPECT_EQ(sDefault.GetLength(), 0);
    EXPECT_STREQ(sDefault.CStr(), "");
    EXPECT_STREQ(sFromEmpty.CStr(), "");
    EXPECT_TRUE(sDefault == sFromEmpty);
    EXPECT_TRUE(sDefault == "");
    EXPECT_TRUE(sDefault == static_cast<const char*>(nullptr));
    EXPECT_FALSE(sDefault == "a");
    EXPECT_TRUE(COroString("abc") == "abc");
    EXPECT_FALSE(COroString("abc") == "ABC");
}

TEST(OroString, AssignmentReusesABufferThatFitsAndReleasesOnEmpty)
{
    COroString s("0123456789");
    EXPECT_EQ(s.GetCapacity(), 11u);
    s = "abc";
    EXPECT_EQ(s.GetCapacity(), 11u);
    EXPECT_STREQ(s.CStr(), "abc");
    EXPECT_EQ(s.GetLength(), 3);
    s = "0123456789AB";
    EXPECT_EQ(s.GetCapacity(), 13u);
    s = "";
    EXPECT_FALSE(s.HasBuffer());
    EXPECT_EQ(s.GetCapacity(), 0u);

    COroString sSelf("self");
    const COroString& sRef = sSelf;
    sSelf = sRef;
    EXPECT_STREQ(sSelf.CStr(), "self");
}

TEST(OroString, CopiesNeverShareBuffers)
{
    COroString a("text");
    COroString b(a);
    EXPECT_NE(a.CStr(), b.CStr());
    b = "other";
    EXPECT_STREQ(a.CStr(), "text");
}

TEST(OroString, ConstructionFromLengthStopsAtZeroAndRejectsShortLengths)
{
    EXPECT_FALSE(COroString("abc", 0).HasBuffer());
    EXPECT_FALSE(COroString("abc", -5).HasBuffer());
    COroString s("ab", 4);
    EXPECT_EQ(s.GetLength(), 2);
    EXPECT_EQ(s.GetCapacity(), 5u);
    const char withZero[] = {'a', 0, 'b', 'c'};
    EXPECT_STREQ(COroString(withZero, 4).CStr(), "a");
    EXPECT_STREQ(COroString("abcdef", 3).CStr(), "abc");
}

TEST(OroString, IntegerConstructorPrintsDecimal)
{
    EXPECT_STREQ(COroString(int32_t{-12}).CStr(), "-12");
    EXPECT_STREQ(COroString(int32_t{0}).CStr(), "0");
    EXPECT_STREQ(COroString(int32_t{-2147483647 - 1}).CStr(), "-2147483648");
}

TEST(OroString, ConcatenationSizesExactly)
{
    COroString sEmpty;
    COroString sAbc("abc");
    EXPECT_STREQ((sEmpty + sAbc).CStr(), "abc");
    EXPECT_STREQ((sAbc + sEmpty).CStr(), "abc");
    EXPECT_FALSE((sEmpty + sEmpty).HasBuffer());
    COroString sJoined = sAbc + COroString("de");
    EXPECT_STREQ(sJoined.CStr(), "abcde");
    EXPECT_EQ(sJoined.GetCapacity(), 6u);
}

TEST(OroString, SubStringClampsToTheText)
{
    COroString s("abcdef");
    EXPECT_STREQ(s.SubString(2, -1).CStr(), "cdef");
    EXPECT_STREQ(s.SubString(4, 10).CStr(), "ef");
    EXPECT_STREQ(s.SubString(0, 3).CStr(), "abc");
    EXPECT_FALSE(s.SubString(6, 1).HasBuffer());
    EXPECT_FALSE(s.SubString(0, 0).HasBuffer());
    EXPECT_FALSE(s.SubString(-1, 2).HasBuffer());
    EXPECT_FALSE(COroString().SubString(0, 1).HasBuffer());
}

TEST(OroString, FindCountsFromTheStartOfTheWholeText)
{
    COroString s("abcdcd");
    EXPECT_EQ(s.Find("cd", 3), 4);
    EXPECT_EQ(s.Find("cd", 0), 2);
    EXPECT_EQ(s.Find("xy", 0), -1);
    EXPECT_EQ(s.Find("cd", 7), -1);
    EXPECT_EQ(s.Find("cd", -1), -1);
    EXPECT_EQ(s.Find("dcd", 0), 3);  // a match ending at the last byte
    EXPECT_EQ(s.Find(COroString(), 0), -1);
    EXPECT_EQ(COroString().Find("a", 0), -1);
    EXPECT_EQ(COroString("aab").Find("ab", 0), 1);  // resumes one byte after a failed candidate
}

TEST(OroString, IndexingOutsideTheTextYieldsZero)
{
    COroString s("xyz");
    EXPECT_EQ(s[0], 'x');
    EXPECT_EQ(s[2], 'z');
    EXPECT_EQ(s[-1], 0);
    EXPECT_EQ(s[3], 0);
    EXPECT_EQ(COroString()[0], 0);
}

TEST(OroString, FormatGrowsTheSharedScratchBufferInSteps)
{
    // Each case runs in a process of its own, and nothing before this
    // formats more than 1023 bytes: the buffer starts at its first step.
    COroString s;
    s.Format("%d-%s", 42, "x");
    EXPECT_STREQ(s.CStr(), "42-x");
    EXPECT_EQ(COroString::GetFormatScratchSize(), 1024u);

    // 3000 bytes and the terminator take two more steps of 1024, not a
    // doubling.
    const std::string sLong(3000, 'q');
    COroString sBig;
    sBig.Format("%s", sLong.c_str());
    EXPECT_EQ(sBig.GetLength(), 3000);
    EXPECT_EQ(std::string(sBig.CStr()), sLong);
    EXPECT_EQ(COroString::GetFormatScratchSize(), 3072u);

    // The scratch buffer never shrinks.
    const uint32_t nGrown = COroString::GetFormatScratchSize();
    s.Format("%s", "short");
    EXPECT_EQ(COroString::GetFormatScratchSize(), nGrown);
}

TEST(OroString, FormatOfAnEmptyResultKeepsAOneByteBuffer)
{
    COroString s;
    s.Format("%s", "");
    EXPECT_TRUE(s.HasBuffer());
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_TRUE(s == "");
    // An empty text that still has a buffer matches at the start position.
    EXPECT_EQ(COroString("abc").Find(s, 1), 1);
}

TEST(OroString, FormatWithoutAFormatGivesAnEmptyTextAndReadsNoArgument)
{
    COroString s("old");
    // Passed through a variable, as a caller's missing text would be; an
    // argument is passed so that reading it would show in the result.
    const char* pNoFormat = nullptr;
    s.Format(pNoFormat, "argument");
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_TRUE(s == "");
}

TEST(OroString, FormatErrorWarnsAndKeepsTheOldValue)
{
    COroReportRecorder recorder;
    COroString s("old");
    // A wide character that the C locale cannot convert makes the formatter fail.
    s.Format("%lc", static_cast<wint_t>(0x20AC));
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Reports()[0].module, "orostring");
    EXPECT_EQ(recorder.Reports()[0].line, 793);
    EXPECT_EQ(recorder.Reports()[0].message, "COroString::Format() Invalid format string");
    EXPECT_STREQ(s.CStr(), "old");
}
