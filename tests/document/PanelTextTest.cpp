#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KVTPanelText.h"
#include "KVTTreeNodes.h"

namespace {

// The converted value of a text that must convert.
int32_t Converted(const char* pText)
{
    int32_t nValue = 12345;
    EXPECT_TRUE(ParsePanelInteger(pText, nValue)) << pText;
    return nValue;
}

bool Converts(const char* pText)
{
    int32_t nValue = 0;
    return ParsePanelInteger(pText, nValue);
}

std::string Unique(const char* pLabel, const std::vector<std::string_view>& siblings)
{
    return MakeUniqueFieldId(pLabel, siblings).CStr();
}

} // namespace

TEST(PanelInteger, DecimalAndEveryHexPrefix)
{
    EXPECT_EQ(Converted("42"), 42);
    EXPECT_EQ(Converted("0x2a"), 42);
    EXPECT_EQ(Converted("0X2A"), 42);
    EXPECT_EQ(Converted("$2A"), 42);
    EXPECT_EQ(Converted("x2a"), 42);
    EXPECT_EQ(Converted("X2a"), 42);
    EXPECT_EQ(Converted("   +42"), 42);
    EXPECT_EQ(Converted("-42"), -42);
    EXPECT_EQ(Converted("0"), 0);
    EXPECT_EQ(Converted("007"), 7);
    EXPECT_EQ(Converted("  $0000000000ff"), 255);
}

TEST(PanelInteger, RangeEdges)
{
    EXPECT_EQ(Converted("2147483647"), 2147483647);
    EXPECT_EQ(Converted("-2147483648"), INT32_MIN);
    EXPECT_FALSE(Converts("2147483648"));
    EXPECT_FALSE(Converts("-2147483649"));
    EXPECT_FALSE(Converts("99999999999999999999999999999"));
    // Hexadecimal takes any 32-bit pattern, not more.
    EXPECT_EQ(Converted("0xffffffff"), -1);
    EXPECT_EQ(Converted("$80000000"), INT32_MIN);
    EXPECT_FALSE(Converts("0x100000000"));
    EXPECT_FALSE(Converts("$FFFFFFFFF"));
}

TEST(PanelInteger, AnythingElseFailsAndKeepsTheValue)
{
    for (const char* pText : {"4x2", "42 ", "",     "   ", "+",    "-",     "$",    "0x",  "x",   "0x 1",
                              "$-5", "-$5", "-0x5", "1.5", "\t42", "42abc", "0x2g", "++1", "1e3", "0b1"}) {
        int32_t nValue = 77;
        EXPECT_FALSE(ParsePanelInteger(pText, nValue)) << '"' << pText << '"';
        EXPECT_EQ(nValue, 77) << pText;
    }
    EXPECT_EQ(PanelIntegerOrDefault("4x2", 9), 9);
    EXPECT_EQ(PanelIntegerOrDefault("0x10", 9), 16);
    // A text that is not zero-terminated is read only as far as its length.
    const std::string sText = "123456";
    EXPECT_EQ(PanelIntegerOrDefault(std::string_view(sText).substr(0, 3), 0), 123);
}

TEST(FieldIdCheck, LengthAndSiblingsIgnoringCase)
{
    const std::vector<std::string_view> siblings = {"Alpha", "beta", "Last"};
    EXPECT_TRUE(IsValidFieldIdText("Gamma", "Old", siblings));
    EXPECT_TRUE(IsValidFieldIdText("ABCDEFGHIJKLMNOP", "Old", siblings));
    EXPECT_FALSE(IsValidFieldIdText("ABCDEFGHIJKLMNOPQ", "Old", siblings));
    EXPECT_FALSE(IsValidFieldIdText("ALPHA", "Old", siblings));
    EXPECT_FALSE(IsValidFieldIdText("Beta", "Old", siblings));
    // The last sibling counts like every other.
    EXPECT_FALSE(IsValidFieldIdText("last", "Old", siblings));
    // Letters only differ in case for ASCII; other bytes must match exactly.
    EXPECT_TRUE(IsValidFieldIdText("Alph\xC1", "Old", {"Alph\xE1"}));
    // An empty label and the node's own label are always fine.
    EXPECT_TRUE(IsValidFieldIdText("", "Old", {"", ""}));
    EXPECT_TRUE(IsValidFieldIdText("Old", "Old", {"OLD"}));
    EXPECT_FALSE(IsValidFieldIdText("old", "Old", {"OLD"}));
    // The own label does not excuse a text that is too long.
    EXPECT_FALSE(IsValidFieldIdText("ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNOPQ", {}));
    // The root has no siblings.
    EXPECT_TRUE(IsValidFieldIdText("Anything", "", {}));
}

TEST(UniqueFieldId, CountersAfterTakenLabels)
{
    EXPECT_EQ(Unique("Free", {"Other"}), "Free");
    EXPECT_EQ(Unique("L", {"L"}), "L000");
    EXPECT_EQ(Unique("L", {"L", "L000"}), "L001");
    // A sibling in other case counts as taken, in either direction.
    EXPECT_EQ(Unique("L", {"L", "l000"}), "L001");
    EXPECT_EQ(Unique("abc", {"ABC", "Abc000", "x"}), "abc001");
    // A list element has no label; pasted among unlabelled elements it gets one.
    EXPECT_EQ(Unique("", {"", ""}), "000");
    EXPECT_EQ(Unique("", {}), "");
}

TEST(UniqueFieldId, LongLabelsAreCutToSixteen)
{
    EXPECT_EQ(Unique("ABCDEFGHIJKLMNOP", {"ABCDEFGHIJKLMNOP"}), "ABCDEFGHIJKLM000");
    EXPECT_EQ(Unique("ABCDEFGHIJKLMN", {"ABCDEFGHIJKLMN", "abcdefghijklm000"}), "ABCDEFGHIJKLM001");
    EXPECT_EQ(Unique("ABCDEFGHIJKLM", {"ABCDEFGHIJKLM"}), "ABCDEFGHIJKLM000");
}

TEST(UniqueFieldId, CounterGrowsPastThreeDigits)
{
    // 1,000 copies of L already present: the counter needs four digits, and
    // the base is then cut to twelve characters.
    std::vector<std::string> owned = {"L"};
    for (int i = 0; i < 1000; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "L%03d", i);
        owned.emplace_back(text);
    }
    std::vector<std::string_view> siblings(owned.begin(), owned.end());
    EXPECT_EQ(Unique("L", siblings), "L1000");

    std::vector<std::string> longOwned = {"ABCDEFGHIJKLMNOP"};
    for (int i = 0; i < 1000; ++i) {
        char text[20];
        std::snprintf(text, sizeof text, "ABCDEFGHIJKLM%03d", i);
        longOwned.emplace_back(text);
    }
    std::vector<std::string_view> longSiblings(longOwned.begin(), longOwned.end());
    const std::string sResult = Unique("ABCDEFGHIJKLMNOP", longSiblings);
    EXPECT_EQ(sResult, "ABCDEFGHIJKL1000");
    EXPECT_EQ(sResult.size(), 16u);
}

TEST(UniqueFieldId, ManySiblingsStayFast)
{
    // One pass over a million siblings, however many counters are taken.
    std::vector<std::string> owned;
    owned.reserve(1000001);
    owned.emplace_back("F");
    for (int i = 0; i < 1000000; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "F%03d", i);
        owned.emplace_back(text);
    }
    std::vector<std::string_view> siblings(owned.begin(), owned.end());
    EXPECT_EQ(Unique("F", siblings), "F1000000");
}

TEST(PanelTypeNames, EveryCodeHasItsName)
{
    const char* const names[] = {"BYTE",          "CHAR",   "WORD",           "SHORT",  "DWORD",  "INT",
                                 "DWORD64",       "INT64",  "FLOAT",          "DOUBLE", "STRING", "CResRef",
                                 "COroLocString", "BINARY", "<User Defined>", "<LIST>"};
    for (int32_t nType = 0; nType <= 15; ++nType)
        EXPECT_STREQ(TypeCodeToName(nType), names[nType]) << nType;
    EXPECT_STREQ(TypeCodeToName(-1), "<TOP LEVEL STRUCT>");
    EXPECT_STREQ(TypeCodeToName(16), "<User Defined>");
    EXPECT_STREQ(TypeCodeToName(-2), "<User Defined>");
    EXPECT_STREQ(TypeCodeToName(INT32_MIN), "<User Defined>");
}

TEST(PanelTypeBox, EightLowerCaseHexDigits)
{
    EXPECT_EQ(FormatTypeBoxText(0xFFFFFFFFu), "0xffffffff");
    EXPECT_EQ(FormatTypeBoxText(15), "0x0000000f");
    EXPECT_EQ(FormatTypeBoxText(42), "0x0000002a");
}

TEST(ValueAsHex, DecimalPrefixInSixtyFourBits)
{
    std::string sHex = "unchanged";
    EXPECT_TRUE(FormatValueAsHex("-1", sHex));
    EXPECT_EQ(sHex, "0xffffffffffffffff");
    EXPECT_TRUE(FormatValueAsHex("255", sHex));
    EXPECT_EQ(sHex, "0xff");
    EXPECT_TRUE(FormatValueAsHex("  \t+16 and more", sHex));
    EXPECT_EQ(sHex, "0x10");
    EXPECT_TRUE(FormatValueAsHex("0", sHex));
    EXPECT_EQ(sHex, "0x0");
    EXPECT_TRUE(FormatValueAsHex("-9223372036854775808", sHex));
    EXPECT_EQ(sHex, "0x8000000000000000");
    // An unsigned 64-bit value above the signed range keeps its own bits.
    EXPECT_TRUE(FormatValueAsHex("18446744073709551615", sHex));
    EXPECT_EQ(sHex, "0xffffffffffffffff");
    // "%Ld" reads decimal only: 0x12 is the number 0.
    EXPECT_TRUE(FormatValueAsHex("0x12", sHex));
    EXPECT_EQ(sHex, "0x0");

    sHex = "unchanged";
    for (const char* pText : {"", "abc", "-", "+x", " ", "1.5e3x"}) {
        const bool bRead = FormatValueAsHex(pText, sHex);
        EXPECT_EQ(bRead, std::string(pText) == "1.5e3x") << pText;
    }
    EXPECT_EQ(sHex, "0x1");
}

TEST(AddNodeTable, SeventeenEntriesInMenuOrder)
{
    const int32_t expected[] = {ftBYTE,   ftCHAR,   ftWORD,   ftSHORT,  ftDWORD,     ftINT, ftDWORD64, ftINT64, ftFLOAT,
                                ftDOUBLE, ftSTRING, ftRESREF, ftBINARY, ftLOCSTRING, -1,    ftSTRUCT,  ftLIST};
    ASSERT_EQ(kAddNodeEntryCount, 17);
    for (int32_t i = 0; i < kAddNodeEntryCount; ++i)
        EXPECT_EQ(AddNodeEntryType(i), expected[i]) << i;
    EXPECT_EQ(AddNodeEntryType(-1), -1);
    EXPECT_EQ(AddNodeEntryType(17), -1);
    // Every entry but the separator makes a node whose type is the entry's.
    for (int32_t i = 0; i < kAddNodeEntryCount; ++i) {
        if (AddNodeEntryType(i) < 0)
            continue;
        std::unique_ptr<CKvtNodeBase> pNode(CreateKvtNode(static_cast<TKvtFieldType>(AddNodeEntryType(i))));
        ASSERT_TRUE(pNode) << i;
        EXPECT_EQ(pNode->GetType(), AddNodeEntryType(i));
    }
}

TEST(AddNodeTable, EnablingByWhatWasRightClicked)
{
    // A struct or the root: all 16 entries; a list: struct and list only;
    // a leaf or empty space: none. The separator is never switched.
    for (int32_t i = 0; i < kAddNodeEntryCount; ++i) {
        const bool bSeparator = i == 14;
        const bool bContainerEntry = i == 15 || i == 16;
        EXPECT_EQ(IsAddNodeEntryEnabled(i, true, true), !bSeparator) << i;
        EXPECT_EQ(IsAddNodeEntryEnabled(i, true, false), bContainerEntry) << i;
        EXPECT_FALSE(IsAddNodeEntryEnabled(i, false, false)) << i;
    }
    EXPECT_FALSE(IsAddNodeEntryEnabled(17, true, true));
    EXPECT_FALSE(IsAddNodeEntryEnabled(-1, true, true));
}
