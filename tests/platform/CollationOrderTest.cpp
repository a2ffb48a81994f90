// Sorting by collation keys must give exactly the order of CollateCompare:
// keys checked against the comparison on many random and crafted texts, and
// CollationOrder against a stable sort with the comparison.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "collation.h"

namespace {

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

std::string KeyOf(const char* pText)
{
    std::string sKey;
    AppendCollationKey(pText, sKey);
    return sKey;
}

// The comparison the keys stand for: key bytes (unsigned, a prefix first),
// then the texts' bytes.
int CompareByKeys(const std::string& a, const std::string& b)
{
    const int nKeys = Sign(KeyOf(a.c_str()).compare(KeyOf(b.c_str())));
    return nKeys != 0 ? nKeys : Sign(std::strcmp(a.c_str(), b.c_str()));
}

// Bytes that stress every rule: both cases, digits, symbols around the
// letters in byte order, the skipped hyphen, apostrophe and control bytes,
// and high bytes.
std::string RandomText(std::mt19937& random, size_t nMaxLength)
{
    static const char kBytes[] = {'a', 'A', 'b', 'B',    'z',    'Z',    '0',    '9',    ' ',    '_', '!', '-', '\'',
                                  '[', '`', '~', '\x01', '\x1F', '\x7F', '\x80', '\xE9', '\xFF', 'c', 'C', '1', '.'};
    std::uniform_int_distribution<size_t> length(0, nMaxLength);
    std::uniform_int_distribution<size_t> pick(0, sizeof kBytes - 1);
    std::string sText(length(random), ' ');
    for (char& c : sText)
        c = kBytes[pick(random)];
    return sText;
}

std::vector<uint32_t> StableOrderByComparison(const std::vector<std::string>& texts)
{
    std::vector<uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&texts](uint32_t a, uint32_t b) {
        return CollateCompare(texts[a].c_str(), texts[b].c_str()) < 0;
    });
    return order;
}

std::vector<uint32_t> OrderByKeys(const std::vector<std::string>& texts)
{
    std::vector<const char*> pointers;
    for (const std::string& sText : texts)
        pointers.push_back(sText.c_str());
    return CollationOrder(pointers);
}

} // namespace

TEST(CollationOrder, KeysAgreeWithTheComparisonOnRandomTexts)
{
    std::mt19937 random(20240601);
    for (int i = 0; i < 200000; ++i) {
        // Short texts over few bytes collide often, so every level decides.
        const std::string a = RandomText(random, i % 2 == 0 ? 4 : 12);
        std::string b = RandomText(random, i % 2 == 0 ? 4 : 12);
        if (i % 5 == 0) {
            // A near copy: one byte changed, so the texts differ late.
            b = a;
            if (!b.empty())
                b[random() % b.size()] = RandomText(random, 1).append("x")[0];
        }
        ASSERT_EQ(CompareByKeys(a, b), Sign(CollateCompare(a.c_str(), b.c_str())))
            << '"' << a << "\" vs \"" << b << '"';
    }
}

TEST(CollationOrder, KeysAgreeOnTextsThatDifferOnlyInLaterLevels)
{
    const std::vector<std::string> texts = {"coop",     "co-op",    "co'op",    "coo-p",     "c-oop", "-coop", "coop-",
                                            "co--op",   "co-'op",   "co'-op",   "Coop",      "cOop",  "COOP",  "Co-op",
                                            "co\x01op", "co\x7Fop", "coop\x1F", "c\x01o-op", "CO-OP", "co-Op"};
    for (const std::string& a : texts) {
        for (const std::string& b : texts)
            EXPECT_EQ(CompareByKeys(a, b), Sign(CollateCompare(a.c_str(), b.c_str()))) << a << " vs " << b;
    }
}

TEST(CollationOrder, EqualsAStableSortWithTheComparison)
{
    std::mt19937 random(77);
    for (int nList = 0; nList < 300; ++nList) {
        std::vector<std::string> texts;
        const size_t nCount = random() % 200;
        for (size_t i = 0; i < nCount; ++i) {
            // Repeats keep their order among themselves.
            if (!texts.empty() && random() % 4 == 0)
                texts.push_back(texts[random() % texts.size()]);
            else
                texts.push_back(RandomText(random, 6));
        }
        ASSERT_EQ(OrderByKeys(texts), StableOrderByComparison(texts)) << "list " << nList;
    }
}

TEST(CollationOrder, SortsCaptionsLikeTheTree)
{
    // Captions as the tree shows them: labels or list indices padded to 16,
    // the type padded to 12, sometimes a value.
    std::mt19937 random(5);
    std::vector<std::string> texts;
    char buffer[128];
    for (int i = 0; i < 5000; ++i) {
        const std::string sName = random() % 3 == 0 ? std::to_string(random() % 2000) : RandomText(random, 10);
        std::snprintf(buffer, sizeof buffer, "%-16s %-12s = %s", sName.c_str(), random() % 2 ? "[BYTE]" : "[List]",
                      RandomText(random, 8).c_str());
        texts.push_back(buffer);
    }
    EXPECT_EQ(OrderByKeys(texts), StableOrderByComparison(texts));
}

TEST(CollationOrder, HandlesTheDesignedExamplesEmptyAndNullTexts)
{
    const std::vector<std::string> ascending = {"",     " ",    "!",    "0",     "1",    "10",   "11",   "2",
                                                "20",   "3",    "A_B",  "aaa",   "Aaa",  "Aab",  "AB",   "co_op",
                                                "coat", "comb", "coop", "co-op", "cork", "went", "were", "we're"};
    std::vector<std::string> shuffled = ascending;
    std::mt19937 random(3);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::vector<std::string> sorted;
    for (uint32_t n : OrderByKeys(shuffled))
        sorted.push_back(shuffled[n]);
    EXPECT_EQ(sorted, ascending);

    EXPECT_EQ(CollationOrder({"b", nullptr, "", "a"}), (std::vector<uint32_t>{1, 2, 3, 0}));
    EXPECT_TRUE(CollationOrder({}).empty());
}
