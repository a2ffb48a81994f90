// The caption collation: each list below must come out of a sort in exactly
// the order given, and the comparison must be a strict total order.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "collation.h"

namespace {

using TList = std::vector<std::string>;

void ExpectAscending(const TList& list)
{
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(CollateCompare(list[i].c_str(), list[i].c_str()), 0) << list[i];
        for (size_t j = i + 1; j < list.size(); ++j) {
            EXPECT_LT(CollateCompare(list[i].c_str(), list[j].c_str()), 0) << list[i] << " < " << list[j];
            EXPECT_GT(CollateCompare(list[j].c_str(), list[i].c_str()), 0) << list[j] << " > " << list[i];
        }
    }
    TList shuffled = list;
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::sort(shuffled.begin(), shuffled.end(),
              [](const std::string& a, const std::string& b) { return CollateCompare(a.c_str(), b.c_str()) < 0; });
    EXPECT_EQ(shuffled, list);
}

TEST(Collation, HyphenAndApostropheAreIgnoredFirstAndBreakTiesLast)
{
    ExpectAscending({"co_op", "coat", "comb", "coop", "co-op", "cork"});
    ExpectAscending({"went", "were", "we're"});
}

TEST(Collation, LettersIgnoreCaseFirstThenLowerCaseWins)
{
    ExpectAscending({"aaa", "Aaa", "Aab"});
    ExpectAscending({"ab", "AB", "abc"});
    ExpectAscending({"aB", "Ab", "AB"});
}

TEST(Collation, NumbersSortAsTextAndSpaceWeighsLessThanADigit)
{
    ExpectAscending({"0", "1", "10", "11", "2", "20", "3"});
    ExpectAscending({"1 [Struct]", "10 [Struct]", "2 [Struct]"});
}

TEST(Collation, ClassesOrderSymbolsThenHighBytesThenDigitsThenLetters)
{
    ExpectAscending({"A_B", "AB"});
    ExpectAscending({" ", "!", "/", ":", "@", "[", "_", "`", "{", "~", "\x80", "\xE9", "\xFF", "0", "9", "a", "Z"});
}

TEST(Collation, SkippedCharactersCompareByPositionThenByte)
{
    ExpectAscending({"ab", "a'b", "a-b", "ab-"});
    ExpectAscending({"a-b-c", "a-bc-"});
}

TEST(Collation, ControlBytesAreSkippedButOnlyIdenticalTextsAreEqual)
{
    EXPECT_GT(CollateCompare("a\x01z", "ab"), 0);  // the control byte is not a weight
    EXPECT_LT(CollateCompare("a\x01" "b", "ab"), 0);  // equal up to the byte level
    EXPECT_GT(CollateCompare("ab\x7F", "ab"), 0);
    EXPECT_NE(CollateCompare("a\x02" "b", "a\x01" "b"), 0);
    EXPECT_EQ(CollateCompare("same", "same"), 0);
}

TEST(Collation, EmptyAndNullTextsSortFirst)
{
    EXPECT_EQ(CollateCompare(nullptr, ""), 0);
    EXPECT_LT(CollateCompare("", " "), 0);
    EXPECT_LT(CollateCompare(nullptr, "a"), 0);
    EXPECT_GT(CollateCompare("-", ""), 0);
}

} // namespace
