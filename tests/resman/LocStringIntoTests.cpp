// Reading a localized string into a value the caller holds must give exactly
// what ReadLOCSTRING with an empty default gives, on good and damaged values,
// whatever the value held before.

#include "ResmanFixture.h"

namespace {

struct LocEntry {
    int32_t language;
    std::string text;
    int gender;
    bool operator==(const LocEntry&) const = default;
};

std::vector<LocEntry> EntriesOf(const COroLocString& value)
{
    std::vector<LocEntry> entries;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nLanguage = 0;
        uint8_t nGender = 0;
        COroString sText;
        value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
        entries.push_back(LocEntry{nLanguage, sText.CStr(), nGender});
    }
    return entries;
}

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words, const std::string& sTail = "")
{
    std::vector<uint8_t> bytes;
    for (uint32_t n : words)
        AppendWord(bytes, n);
    AppendText(bytes, sTail);
    return bytes;
}

} // namespace

using LocStringInto = ResmanTest;

TEST_F(LocStringInto, GivesWhatReadLocStringGives)
{
    const std::vector<std::pair<const char*, std::vector<uint8_t>>> values = {
        {"good", Words({8 + 8 + 2 + 8 + 3, 9, 2, 6, 2}, "hi" + std::string("\x03\0\0\0\x03\0\0\0", 8) + "abc")},
        {"empty", Words({8, 9, 0})},
        {"both genders of language 0",
         Words({8 + 9 + 9, 4, 2, 0, 1}, "a" + std::string("\x01\0\0\0\x01\0\0\0", 8) + "b")},
        {"sizeFour", Words({4, 9})},
        {"fourTooMany", Words({8 + 8 + 2 + 4, 9, 1, 6, 2}, std::string("hi\0\0\0\0", 6))},
        {"charsPastT", Words({8 + 8 + 1, 9, 1, 6, 2}, "hi")},
        {"hugeCount", Words({8, 9, 0xFFFFFFFF})},
        {"pastBlock", Words({8 + 8 + 2, 9, 1, 6, 2}, "h")},
    };
    for (const auto& [pName, bytes] : values) {
        SCOPED_TRACE(pName);
        CKvtImageBuilder image;
        image.AddLabel("l");
        image.AddLabel("n");
        const uint32_t nLoc = image.AddField(KVT_LOCSTRING, 0, 0);
        const uint32_t nInt = image.AddField(KVT_INT, 1, 5);
        image.m_Structs.push_back({0xFFFFFFFF, image.AddFieldIndices({nLoc, nInt}), 2});
        image.m_FieldData = bytes;
        auto pRes = LoadImage(image);
        ASSERT_TRUE(pRes);
        const CKvtStructHandle top{0};
        int32_t bOk = -7;
        const COroLocString expected = pRes->ReadLOCSTRING(&top, "l", &bOk, COroLocString());

        // A value that held other entries and another StrRef before.
        COroLocString value;
        value.StrRef = 77;
        value.AddString(3, "old", 1);
        EXPECT_EQ(pRes->ReadLOCSTRINGInto(&top, "l", value), bOk == 1);
        EXPECT_EQ(value.StrRef, expected.StrRef);
        EXPECT_EQ(EntriesOf(value), EntriesOf(expected));
    }
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(LocStringInto, StoredEntriesFollowTheRulesOfAddingTexts)
{
    // Ids 0 and 1 share one entry (language 0 has no gender), a text stops
    // at its first zero byte, an empty text makes no entry, and the entries
    // keep the order in which their ids first appear.
    auto entry = [](uint32_t nId, const std::string& sText) {
        std::vector<uint8_t> bytes;
        AppendWord(bytes, nId);
        AppendWord(bytes, static_cast<uint32_t>(sText.size()));
        AppendText(bytes, sText);
        return bytes;
    };
    std::vector<uint8_t> entries;
    for (const auto& bytes : {entry(7, "seven"), entry(0, "zero"), entry(1, "one"), entry(9, ""),
                              entry(4, std::string("ab\0cd", 5)), entry(7, "SEVEN"), entry(2, "two")})
        entries.insert(entries.end(), bytes.begin(), bytes.end());
    std::vector<uint8_t> value;
    AppendWord(value, static_cast<uint32_t>(8 + entries.size()));
    AppendWord(value, 1234);
    AppendWord(value, 7);
    value.insert(value.end(), entries.begin(), entries.end());

    CKvtImageBuilder image;
    image.AddLabel("l");
    image.m_Structs.push_back({0xFFFFFFFF, image.AddField(KVT_LOCSTRING, 0, 0), 1});
    image.m_FieldData = value;
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0};
    COroLocString loc;
    ASSERT_TRUE(pRes->ReadLOCSTRINGInto(&top, "l", loc));
    EXPECT_EQ(loc.StrRef, 1234);
    EXPECT_EQ(EntriesOf(loc), (std::vector<LocEntry>{{3, "SEVEN", 1}, {0, "one", 0}, {2, "ab", 0}, {1, "two", 0}}));
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(LocStringInto, AnotherTypeWarnsAsReadLocStringDoes)
{
    CKvtImageBuilder image;
    image.AddLabel("n");
    image.m_Structs.push_back({0xFFFFFFFF, image.AddField(KVT_INT, 0, 5), 1});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0};
    int32_t bOk = -7;
    pRes->ReadLOCSTRING(&top, "n", &bOk, COroLocString());
    ASSERT_EQ(m_recorder.Count(), 1u);
    COroLocString value;
    value.StrRef = 3;
    EXPECT_FALSE(pRes->ReadLOCSTRINGInto(&top, "n", value));
    EXPECT_EQ(value.StrRef, -1);
    EXPECT_EQ(value.GetStringCount(), 0);
    ASSERT_EQ(m_recorder.Count(), 2u);
    EXPECT_EQ(m_recorder.Reports()[1].module, m_recorder.Reports()[0].module);
    EXPECT_EQ(m_recorder.Reports()[1].line, m_recorder.Reports()[0].line);
    EXPECT_FALSE(pRes->ReadLOCSTRINGInto(&top, "absent", value));
    EXPECT_EQ(m_recorder.Count(), 2u); // a missing field is silent
}

TEST_F(LocStringInto, NegativeOddIdsAreWrittenBackAsTheyWereRead)
{
    // A negative odd ID W reads as language W / 2 and gender 255 and is kept
    // as W + 256 (id -3 becomes 253). Saving must write W again for those
    // still negative, so that opening and saving leaves the value alone
    // instead of moving the entry by 256 every time.
    const uint32_t kFarBelow = 0xFD0003F9u;  // -50,330,631
    const uint32_t kJustBelow = 0xFFFFFEFFu; // -257: kept as -1
    // A value of three one-letter entries with the given IDs.
    auto valueWithIds = [](std::initializer_list<uint32_t> ids) {
        std::vector<uint8_t> value = Words({8 + 9 + 9 + 9, 77, 3});
        for (uint32_t nId : ids) {
            AppendWord(value, nId);
            AppendWord(value, 1);
            AppendText(value, "x");
        }
        return value;
    };
    CKvtImageBuilder image;
    image.AddLabel("l");
    image.m_Structs.push_back({0xFFFFFFFF, image.AddField(KVT_LOCSTRING, 0, 0), 1});
    image.m_FieldData = valueWithIds({kFarBelow, 0xFFFFFFFDu, kJustBelow});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CKvtStructHandle top{0};
    COroLocString loc;
    ASSERT_TRUE(pRes->ReadLOCSTRINGInto(&top, "l", loc));
    ASSERT_EQ(loc.GetStringCount(), 3);

    auto writtenIds = [this](const COroLocString& source) {
        CResKVT res;
        CKvtStructHandle root;
        EXPECT_TRUE(res.CreateNew(&root, "TEST"));
        EXPECT_TRUE(res.WriteLOCSTRING(&root, source, "l"));
        const std::vector<uint8_t> file = SaveBytes(res);
        std::vector<uint32_t> ids;
        size_t nPos = HeaderWord(file, hwFieldDataOffset) + 12;
        for (int i = 0; i < source.GetStringCount(); ++i) {
            ids.push_back(ReadWord(file, nPos));
            nPos += 8 + ReadWord(file, nPos + 4);
        }
        return ids;
    };
    // -3 settles as 253 (language 126, gender 1); the others come back as read.
    const std::vector<uint32_t> expected{kFarBelow, 253u, kJustBelow};
    EXPECT_EQ(writtenIds(loc), expected);

    // Reading what was written gives the same entries, so every later save
    // writes the same IDs again.
    image.m_FieldData = valueWithIds({kFarBelow, 253u, kJustBelow});
    auto pAgain = LoadImage(image);
    ASSERT_TRUE(pAgain);
    COroLocString reread;
    ASSERT_TRUE(pAgain->ReadLOCSTRINGInto(&top, "l", reread));
    EXPECT_EQ(EntriesOf(reread), EntriesOf(loc));
    EXPECT_EQ(writtenIds(reread), expected);
    EXPECT_EQ(m_recorder.Count(), 0u);
}
