// The typed readers and field queries on hand-made damaged files: every
// offset, length and index is checked against its block or table.

#include <cstring>
#include <functional>

#include "ResmanFixture.h"

namespace {

// An image whose top-level struct holds the given fields (type, label, data),
// each with a label of its own unless the label is already there.
CKvtImageBuilder TopWithFields(const std::vector<std::tuple<uint32_t, std::string, uint32_t>>& fields)
{
    CKvtImageBuilder image;
    std::vector<uint32_t> indices;
    for (const auto& [nType, sLabel, nData] : fields) {
        uint32_t nLabel = static_cast<uint32_t>(image.m_Labels.size());
        for (uint32_t i = 0; i < image.m_Labels.size(); ++i)
            if (image.m_Labels[i] == sLabel)
                nLabel = i;
        if (nLabel == image.m_Labels.size())
            image.AddLabel(sLabel);
        indices.push_back(image.AddField(nType, nLabel, nData));
    }
    if (indices.size() == 1)
        image.m_Structs.push_back({0xFFFFFFFF, indices[0], 1});
    else
        image.m_Structs.push_back({0xFFFFFFFF, indices.empty() ? 0xFFFFFFFF : image.AddFieldIndices(indices),
                                 static_cast<uint32_t>(indices.size())});
    return image;
}

std::vector<uint8_t> Le32(uint32_t nValue)
{
    std::vector<uint8_t> bytes;
    AppendWord(bytes, nValue);
    return bytes;
}

void Append(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

} // namespace

class ReaderBounds : public ResmanTest {
protected:
    CKvtStructHandle m_top{0};
    int32_t m_bOk = -7;
};

TEST_F(ReaderBounds, EightByteValuesMustLieInsideTheFieldData)
{
    CKvtImageBuilder image = TopWithFields({{KVT_DWORD64, "fits", 4},
                                    {KVT_INT64, "short", 5},
                                    {KVT_DOUBLE, "atEnd", 12},
                                    {KVT_DWORD64, "far", 0xFFFFFFFF}});
    image.m_FieldData.assign(12, 0);
    image.m_FieldData[4] = 0x11;
    image.m_FieldData[11] = 0x88;
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    EXPECT_EQ(pRes->ReadDWORD64(&m_top, "fits", &m_bOk, 7), 0x8800000000000011ull);
    EXPECT_EQ(m_bOk, 1);
    EXPECT_EQ(pRes->ReadINT64(&m_top, "short", &m_bOk, -5), -5);
    EXPECT_EQ(m_bOk, 0);
    m_bOk = -7;
    EXPECT_EQ(pRes->ReadDOUBLE(&m_top, "atEnd", &m_bOk, 2.5), 2.5);
    EXPECT_EQ(m_bOk, 0);
    m_bOk = -7;
    EXPECT_EQ(pRes->ReadDWORD64(&m_top, "far", &m_bOk, 3), 3u);
    EXPECT_EQ(m_bOk, 0);
    // The size query gives the type's size without looking at the data.
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "short", -1), 8u);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ReaderBounds, StringLengthMustFitTheBlock)
{
    CKvtImageBuilder image = TopWithFields({{KVT_STRING, "ok", 0},
                                    {KVT_STRING, "zero", 7},
                                    {KVT_STRING, "long", 18},
                                    {KVT_STRING, "huge", 26},
                                    {KVT_STRING, "tail", 30}});
    Append(image.m_FieldData, Le32(3)); // 0: "abc"
    AppendText(image.m_FieldData, "abc");
    Append(image.m_FieldData, Le32(7)); // 7: "ab\0cdef" cut at the zero
    image.m_FieldData.insert(image.m_FieldData.end(), {'a', 'b', 0, 'c', 'd', 'e', 'f'});
    Append(image.m_FieldData, Le32(12));                              // 18: runs 1 byte past the end (18 + 4 + 12 = 34)
    AppendText(image.m_FieldData, "1234");                            // 22
    Append(image.m_FieldData, Le32(0xFFFFFFFF));                      // 26: length + 4 wraps in 32 bits
    image.m_FieldData.insert(image.m_FieldData.end(), {'x', 'y', 'z'}); // 30: only 3 bytes left
    ASSERT_EQ(image.m_FieldData.size(), 33u);
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    EXPECT_STREQ(pRes->ReadSTRING(&m_top, "ok", &m_bOk, "d").CStr(), "abc");
    EXPECT_EQ(m_bOk, 1);
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "ok", -1), 3u);
    EXPECT_STREQ(pRes->ReadSTRING(&m_top, "zero", &m_bOk, "d").CStr(), "ab");
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "zero", -1), 7u); // the stored length
    for (const char* pLabel : {"long", "huge", "tail"}) {
        m_bOk = -7;
        EXPECT_STREQ(pRes->ReadSTRING(&m_top, pLabel, &m_bOk, "d").CStr(), "d") << pLabel;
        EXPECT_EQ(m_bOk, 0) << pLabel;
        EXPECT_EQ(pRes->GetFieldSize(&m_top, pLabel, -1), 0u) << pLabel;
    }
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ReaderBounds, ResRefLengthMustFitAndAtMostSixteenAreKept)
{
    CKvtImageBuilder image = TopWithFields({{KVT_RESREF, "long", 0}, {KVT_RESREF, "past", 21}});
    image.m_FieldData.push_back(20);
    AppendText(image.m_FieldData, "ABCDEFGHIJKLMNOPQRST");
    image.m_FieldData.push_back(5); // 21: five characters announced, two present
    AppendText(image.m_FieldData, "xy");
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const CResRef value = pRes->ReadRESREF(&m_top, "long", &m_bOk, CResRef());
    EXPECT_EQ(m_bOk, 1);
    EXPECT_EQ(std::memcmp(value.GetResRef(), "ABCDEFGHIJKLMNOP", 16), 0);
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "long", -1), 20u);
    const CResRef fallback("dflt");
    EXPECT_TRUE(pRes->ReadRESREF(&m_top, "past", &m_bOk, fallback) == fallback);
    EXPECT_EQ(m_bOk, 0);
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "past", -1), 0u);
}

TEST_F(ReaderBounds, BinaryLengthMustFitAndNothingIsSizedFromABadLength)
{
    CKvtImageBuilder image = TopWithFields({{KVT_BINARY, "empty", 0},
                                    {KVT_BINARY, "claims4GiB", 4},
                                    {KVT_BINARY, "short", 8},
                                    {KVT_BINARY, "noRoom", 14}});
    Append(image.m_FieldData, Le32(0));
    Append(image.m_FieldData, Le32(0xFFFFFFFC));
    Append(image.m_FieldData, Le32(6)); // 8: six bytes announced, five present
    image.m_FieldData.insert(image.m_FieldData.end(), {1, 2});
    image.m_FieldData.insert(image.m_FieldData.end(), {0, 0, 0}); // 14: only 3 bytes for a length
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    uint8_t buffer[4] = {};
    uint8_t fallback = 0;
    // An empty value reads with or without a buffer.
    EXPECT_EQ(pRes->ReadBINARY(&m_top, buffer, 0, "empty", &m_bOk, &fallback), buffer);
    EXPECT_EQ(m_bOk, 1);
    m_bOk = -7;
    EXPECT_EQ(pRes->ReadBINARY(&m_top, nullptr, 0, "empty", &m_bOk, &fallback), nullptr);
    EXPECT_EQ(m_bOk, 1);
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "empty", -1), 0u);
    for (const char* pLabel : {"claims4GiB", "short", "noRoom"}) {
        EXPECT_EQ(pRes->GetFieldSize(&m_top, pLabel, -1), 0u) << pLabel;
        m_bOk = -7;
        EXPECT_EQ(pRes->ReadBINARY(&m_top, buffer, sizeof(buffer), pLabel, &m_bOk, &fallback), &fallback);
        EXPECT_EQ(m_bOk, 0);
    }
    // A real buffer is needed for anything but a read of size 0.
    EXPECT_EQ(pRes->ReadBINARY(&m_top, nullptr, 4, "empty", &m_bOk, &fallback), &fallback);
    EXPECT_EQ(m_bOk, 0);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ReaderBounds, LocStringMustFillItsDeclaredSizeExactly)
{
    // Each case is one LOCSTRING value built from words and text.
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool ok;
    };
    auto value = [](std::initializer_list<uint32_t> words, const std::string& sTail = "") {
        std::vector<uint8_t> bytes;
        for (uint32_t n : words)
            AppendWord(bytes, n);
        AppendText(bytes, sTail);
        return bytes;
    };
    std::vector<Case> cases = {
        {"good", value({8 + 8 + 2, 9, 1, 6, 2}, "hi"), true},
        {"empty", value({8, 9, 0}), true},
        {"sizeFour", value({4, 9}), false}, // below 8: no room for StrRef and count
        {"sizeZero", value({0}), false},
        {"fourTooMany", value({8 + 8 + 2 + 4, 9, 1, 6, 2}, std::string("hi\0\0\0\0", 6)), false},
        {"headerPastT", value({8 + 4, 9, 1, 6, 0}), false},          // 8-byte header, 4 bytes left
        {"charsPastT", value({8 + 8 + 1, 9, 1, 6, 2}, "hi"), false}, // 2 characters, 1 byte left
        {"hugeCount", value({8, 9, 0xFFFFFFFF}), false},
        {"pastBlock", value({8 + 8 + 2, 9, 1, 6, 2}, "h"), false}, // T + 4 beyond the block
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CKvtImageBuilder image = TopWithFields({{KVT_LOCSTRING, "l", 0}});
        image.m_FieldData = c.bytes;
        auto pRes = LoadImage(image);
        ASSERT_TRUE(pRes);
        COroLocString fallback;
        fallback.StrRef = -55;
        m_bOk = -7;
        const COroLocString result = pRes->ReadLOCSTRING(&m_top, "l", &m_bOk, fallback);
        EXPECT_EQ(m_bOk, c.ok ? 1 : 0);
        EXPECT_EQ(result.StrRef, c.ok ? 9 : -55);
        EXPECT_EQ(pRes->GetFieldSize(&m_top, "l", -1), 0u);
    }
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ReaderBounds, LocStringEntriesFollowAddString)
{
    std::vector<uint8_t> bytes;
    for (uint32_t n : {8u + 9 + 9 + 8, 1u, 3u, 0xFFFFFFFFu, 1u})
        AppendWord(bytes, n);
    AppendText(bytes, "a");
    for (uint32_t n : {1u, 1u})
        AppendWord(bytes, n); // language 0, gender 1: same entry as id -1
    AppendText(bytes, "b");
    for (uint32_t n : {5u, 0u})
        AppendWord(bytes, n); // an empty text creates no entry
    CKvtImageBuilder image = TopWithFields({{KVT_LOCSTRING, "l", 0}});
    image.m_FieldData = bytes;
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    const COroLocString result = pRes->ReadLOCSTRING(&m_top, "l", &m_bOk, COroLocString());
    EXPECT_EQ(m_bOk, 1);
    ASSERT_EQ(result.GetStringCount(), 1);
    COroString sText;
    EXPECT_EQ(result.GetString(0, sText, 0), 1);
    EXPECT_STREQ(sText.CStr(), "b");
}

TEST_F(ReaderBounds, FieldsThatDoNotResolveAreAbsent)
{
    CKvtImageBuilder image;
    const uint32_t nLabel = image.AddLabel("x");
    image.AddLabel("y");
    image.AddField(KVT_INT, nLabel, 1);          // 0
    image.AddField(KVT_INT, 1, 2);               // 1
    image.AddField(KVT_INT, 9, 3);               // 2: label index out of range
    image.m_Structs.push_back({0xFFFFFFFF, 0, 1}); // 0: field 0
    image.m_Structs.push_back({1, 3, 1});          // 1: field index 3 does not exist
    image.m_Structs.push_back({2, 0xFFFFFFFF, 2}); // 2: array offset wraps
    const uint32_t nArray = image.AddFieldIndices({0, 7, 1});
    image.m_Structs.push_back({3, nArray, 3});                      // 3: field 1 names field 7
    image.m_Structs.push_back({4, nArray + 4, 0xFFFFFFFF});         // 4: huge count
    image.m_Structs.push_back({5, image.AddFieldIndices({2, 1}), 2}); // 5: bad label first
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtStructHandle h[6] = {{0}, {1}, {2}, {3}, {4}, {5}};

    EXPECT_EQ(pRes->GetFieldType(&h[1], nullptr, 0), -1);
    EXPECT_EQ(pRes->GetFieldLabel(&h[1], 0), nullptr);
    EXPECT_EQ(pRes->GetFieldSize(&h[1], nullptr, 0), 0u);
    EXPECT_EQ(pRes->GetAddressableFieldCount(&h[1]), 1);

    EXPECT_EQ(pRes->GetFieldType(&h[2], nullptr, 0), -1);
    EXPECT_EQ(pRes->GetAddressableFieldCount(&h[2]), 0);

    EXPECT_EQ(pRes->GetFieldType(&h[3], nullptr, 0), KVT_INT);
    EXPECT_EQ(pRes->GetFieldType(&h[3], nullptr, 1), -1);
    EXPECT_EQ(pRes->GetFieldType(&h[3], nullptr, 2), KVT_INT);
    EXPECT_EQ(pRes->GetFieldType(&h[3], nullptr, 3), -1);
    // The lookup by label stops at the first field that does not resolve.
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&h[3], "y"), -1);
    EXPECT_EQ(pRes->ReadINT(&h[3], "y", &m_bOk, -1), -1);
    EXPECT_EQ(m_bOk, 0);

    // Four indices fit in the block from offset 4: 7, 1, 2, 1.
    EXPECT_EQ(pRes->GetFieldCount(&h[4]), -1); // 0xFFFFFFFF as a signed count
    EXPECT_EQ(pRes->GetAddressableFieldCount(&h[4]), 4);
    EXPECT_EQ(pRes->GetFieldType(&h[4], nullptr, 0), -1);
    EXPECT_EQ(pRes->GetFieldType(&h[4], nullptr, 1), KVT_INT);
    EXPECT_EQ(pRes->GetFieldType(&h[4], nullptr, 3), KVT_INT);
    EXPECT_EQ(pRes->GetFieldType(&h[4], nullptr, 4), -1);

    EXPECT_EQ(pRes->GetFieldLabel(&h[5], 0), nullptr);
    EXPECT_STREQ(pRes->GetFieldLabel(&h[5], 1), "y");
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&h[5], "y"), -1); // stopped at field 0's bad label
    EXPECT_EQ(pRes->GetFieldLabel(&h[5], -1), nullptr);
    EXPECT_EQ(pRes->GetFieldLabel(&h[5], 2), nullptr);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(ReaderBounds, StructHandlesAreCheckedWhereverTheyAreUsed)
{
    CKvtImageBuilder image = TopWithFields({{KVT_STRUCT, "bad", 5}, {KVT_STRUCT, "good", 1}});
    image.m_Structs.push_back({123, 0xFFFFFFFF, 0});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    CKvtStructHandle held{77};
    // The held index is handed out unchecked; the next use checks it.
    ASSERT_TRUE(pRes->GetStructField(&held, &m_top, "bad"));
    EXPECT_EQ(held.nStructIndex, 5u);
    EXPECT_EQ(pRes->GetStructID(&held), -1);
    EXPECT_EQ(pRes->GetFieldCount(&held), -1);
    EXPECT_EQ(pRes->GetAddressableFieldCount(&held), -1);
    EXPECT_EQ(pRes->GetFieldLabel(&held, 0), nullptr);
    EXPECT_EQ(pRes->ReadINT(&held, "x", &m_bOk, 4), 4);
    EXPECT_EQ(m_bOk, 0);
    ASSERT_TRUE(pRes->GetStructField(&held, &m_top, "good"));
    EXPECT_EQ(pRes->GetStructID(&held), 123);
    EXPECT_EQ(pRes->GetFieldCount(&held), 0);
    // Only a STRUCT field gives a struct.
    CKvtStructHandle untouched{42};
    EXPECT_FALSE(pRes->GetStructField(&untouched, &m_top, "missing"));
    EXPECT_FALSE(pRes->GetStructField(nullptr, &m_top, "good"));
    EXPECT_FALSE(pRes->GetStructField(&untouched, &m_top, nullptr));
    EXPECT_EQ(untouched.nStructIndex, 42u);
}

TEST_F(ReaderBounds, UnknownTypeCodesAreReportedBySizeQuery)
{
    CKvtImageBuilder image = TopWithFields({{16, "sixteen", 0}, {0xFFFFFFFF, "minus", 0}});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    EXPECT_EQ(pRes->GetFieldType(&m_top, "sixteen", -1), 16);
    EXPECT_EQ(pRes->GetFieldType(&m_top, "minus", -1), -1);
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "sixteen", -1), 0u);
    ASSERT_EQ(m_recorder.Count(), 1u);
    EXPECT_EQ(m_recorder.Reports()[0].module, "reskvt");
    EXPECT_EQ(m_recorder.Reports()[0].line, 1425);
    EXPECT_EQ(m_recorder.Reports()[0].message, "Unknown KVT field type");
    EXPECT_EQ(pRes->GetFieldSize(&m_top, "minus", -1), 0u);
    EXPECT_EQ(m_recorder.CountFrom("reskvt", 1425), 2u);
}

TEST_F(ReaderBounds, WrongReaderWarnsWithItsLineAndMissingLabelIsSilent)
{
    // One field of every readable type, labelled by its code.
    CKvtImageBuilder image;
    std::vector<uint32_t> indices;
    for (uint32_t nType = 0; nType <= 13; ++nType)
        indices.push_back(image.AddField(nType, image.AddLabel("t" + std::to_string(nType)), 0));
    image.m_Structs.push_back({0xFFFFFFFF, image.AddFieldIndices(indices), 14});
    image.m_FieldData.assign(64, 0);
    image.m_FieldData[0] = 8; // a LOCSTRING of T = 8 reads; others see zeros
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);

    struct Reader {
        int32_t line;
        std::function<void(CResKVT&, const char*, int32_t*)> read;
    };
    CKvtStructHandle& top = m_top;
    uint8_t buffer[4];
    const std::vector<Reader> readers = {
        {1620, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadBYTE(&top, l, p, 7), 7); }},
        {1651, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadCHAR(&top, l, p, 7), 7); }},
        {1682, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadWORD(&top, l, p, 7), 7); }},
        {1713, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadSHORT(&top, l, p, 7), 7); }},
        {1744, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadDWORD(&top, l, p, 7), 7u); }},
        {1775, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadINT(&top, l, p, 7), 7); }},
        {1841, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadDWORD64(&top, l, p, 7), 7u); }},
        {1880, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadINT64(&top, l, p, 7), 7); }},
        {1807, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadFLOAT(&top, l, p, 7.0f), 7.0f); }},
        {1920, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_EQ(r.ReadDOUBLE(&top, l, p, 7.0), 7.0); }},
        {2007, [&](CResKVT& r, const char* l, int32_t* p) { EXPECT_STREQ(r.ReadSTRING(&top, l, p, "7").CStr(), "7"); }},
        {1961, [&](CResKVT& r, const char* l,
                   int32_t* p) { EXPECT_TRUE(r.ReadRESREF(&top, l, p, CResRef("seven")) == CResRef("seven")); }},
        {2055,
         [&](CResKVT& r, const char* l, int32_t* p) {
             COroLocString fallback;
             fallback.StrRef = 7;
             EXPECT_EQ(r.ReadLOCSTRING(&top, l, p, fallback).StrRef, 7);
         }},
        {2136,
         [&](CResKVT& r, const char* l, int32_t* p) {
             uint8_t fallback = 0;
             EXPECT_EQ(r.ReadBINARY(&top, buffer, sizeof(buffer), l, p, &fallback), &fallback);
         }},
    };
    for (uint32_t nCode = 0; nCode < readers.size(); ++nCode) {
        SCOPED_TRACE("reader for code " + std::to_string(nCode));
        const std::string sOwn = "t" + std::to_string(nCode);
        const std::string sOther = "t" + std::to_string((nCode + 1) % 14);
        int32_t bOk = -7;
        m_recorder.Clear();
        readers[nCode].read(*pRes, sOther.c_str(), &bOk);
        EXPECT_EQ(bOk, 0);
        ASSERT_EQ(m_recorder.Count(), 1u);
        EXPECT_EQ(m_recorder.Reports()[0].module, "reskvt");
        EXPECT_EQ(m_recorder.Reports()[0].line, readers[nCode].line);
        EXPECT_FALSE(m_recorder.Reports()[0].hasMessage);

        m_recorder.Clear();
        bOk = -7;
        readers[nCode].read(*pRes, "nothing", &bOk);
        EXPECT_EQ(bOk, 0);
        EXPECT_EQ(m_recorder.Count(), 0u);

        // The reader's own field reads without any report.
        bOk = -7;
        int32_t bOwn = 0;
        switch (nCode) {
        case 13: pRes->ReadBINARY(&top, buffer, sizeof(buffer), sOwn.c_str(), &bOwn, nullptr); break;
        default:
            if (nCode == 10)
                pRes->ReadSTRING(&top, sOwn.c_str(), &bOwn, "");
            else if (nCode == 11)
                pRes->ReadRESREF(&top, sOwn.c_str(), &bOwn, CResRef());
            else if (nCode == 12)
                pRes->ReadLOCSTRING(&top, sOwn.c_str(), &bOwn, COroLocString());
            else
                bOwn = 1;
        }
        EXPECT_EQ(bOwn, 1);
        EXPECT_EQ(m_recorder.Count(), 0u);
    }
}

TEST_F(ReaderBounds, NullArgumentsAndAnEmptyObjectGiveTheResultsForNone)
{
    CResKVT empty;
    CKvtStructHandle h{0};
    CKvtListHandle list{0, {'l'}};
    int32_t bOk = -7;
    EXPECT_TRUE(empty.GetTopLevelStruct(&h));
    EXPECT_FALSE(empty.GetTopLevelStruct(nullptr));
    EXPECT_EQ(empty.GetStructCount(), 0u);
    EXPECT_EQ(empty.GetStructID(&h), -1);
    EXPECT_EQ(empty.GetFieldCount(&h), -1);
    EXPECT_EQ(empty.GetAddressableFieldCount(&h), -1);
    EXPECT_EQ(empty.GetFieldIndexByLabel(&h, "a"), -1);
    EXPECT_EQ(empty.GetFieldType(&h, nullptr, 0), -1);
    EXPECT_EQ(empty.GetFieldLabel(&h, 0), nullptr);
    EXPECT_EQ(empty.GetFieldSize(&h, "a", 0), 0u);
    EXPECT_FALSE(empty.GetStructField(&h, &h, "a"));
    EXPECT_FALSE(empty.GetList(&list, &h, "a"));
    EXPECT_EQ(empty.GetListCount(&list), 0);
    EXPECT_EQ(empty.GetAddressableListCount(&list), 0);
    EXPECT_FALSE(empty.GetListElement(&h, &list, 0));
    EXPECT_EQ(empty.ReadINT(&h, "a", &bOk, 3), 3);
    EXPECT_EQ(bOk, 0);
    COroString sType("keep"), sVersion("keep");
    empty.GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "keep");
    EXPECT_STREQ(sVersion.CStr(), "keep");

    CKvtImageBuilder image = TopWithFields({{KVT_INT, "a", 5}});
    auto pRes = LoadImage(image);
    ASSERT_TRUE(pRes);
    bOk = -7;
    EXPECT_EQ(pRes->ReadINT(nullptr, "a", &bOk, 3), 3);
    EXPECT_EQ(bOk, 0);
    bOk = -7;
    EXPECT_EQ(pRes->ReadINT(&h, nullptr, &bOk, 3), 3);
    EXPECT_EQ(bOk, 0);
    EXPECT_EQ(pRes->ReadINT(&h, "a", nullptr, 3), 5); // the flag is optional
    EXPECT_EQ(pRes->GetFieldIndexByLabel(nullptr, "a"), -1);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&h, nullptr), -1);
    EXPECT_EQ(pRes->GetFieldType(&h, nullptr, -1), -1);
    EXPECT_EQ(m_recorder.Count(), 0u);
}
