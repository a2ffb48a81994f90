// The writer's byte layout: exact files, inline encodings, field arrays,
// label sharing and the growth of tables and areas.

#include <cstring>

#include "ResmanFixture.h"

namespace {

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t n : words)
        AppendWord(bytes, n);
    return bytes;
}

std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> bytes;
    for (const auto& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

std::vector<uint8_t> Text(const std::string& sText)
{
    return std::vector<uint8_t>(sText.begin(), sText.end());
}

std::vector<uint8_t> Label16(const std::string& sLabel)
{
    std::vector<uint8_t> bytes(16, 0);
    std::memcpy(bytes.data(), sLabel.data(), sLabel.size());
    return bytes;
}

// Offset of a field's value in the field data block of a saved file.
size_t FieldDataStart(const std::vector<uint8_t>& file)
{
    return HeaderWord(file, hwFieldDataOffset);
}

} // namespace

using WriterLayout = ResmanTest;

TEST_F(WriterLayout, EmptyTopLevelStructIsThe68ByteFile)
{
    CResKVT res;
    CKvtStructHandle top{99};
    ASSERT_TRUE(res.CreateNew(&top, "ABCD"));
    EXPECT_EQ(top.nStructIndex, 0u);
    const std::vector<uint8_t> expected = Concat(
        {Text("ABCDV3.2"), Words({56, 1, 68, 0, 68, 0, 68, 0, 68, 0, 68, 0}), Words({0xFFFFFFFF, 0xFFFFFFFF, 0})});
    ASSERT_EQ(expected.size(), 68u);
    EXPECT_EQ(SaveBytes(res), expected);
    EXPECT_EQ(m_recorder.Count(), 0u);
}

TEST_F(WriterLayout, ByteAndStringFileIs137BytesExactly)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "ABC "));
    ASSERT_TRUE(res.WriteBYTE(&top, 5, "A"));
    ASSERT_TRUE(res.WriteSTRING(&top, "x", "Name"));
    const std::vector<uint8_t> expected = Concat(
        {Text("ABC V3.2"), Words({56, 1, 68, 2, 92, 2, 124, 5, 129, 8, 137, 0}), Words({0xFFFFFFFF, 0, 2}),
         Words({0, 0, 5}), Words({10, 1, 0}), Label16("A"), Label16("Name"), Words({1}), Text("x"), Words({0, 1})});
    ASSERT_EQ(expected.size(), 137u);
    EXPECT_EQ(SaveBytes(res), expected);
}

TEST_F(WriterLayout, SavingTwiceGivesTheSameFile)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "ABC "));
    ASSERT_TRUE(res.WriteBYTE(&top, 5, "A"));
    const std::vector<uint8_t> first = SaveBytes(res, "one.kvt");
    EXPECT_EQ(SaveBytes(res, "two.kvt"), first);
}

TEST_F(WriterLayout, CreateNewRefusesShortTypesNullHandlesAndFullObjects)
{
    CResKVT res;
    CKvtStructHandle top{7};
    EXPECT_FALSE(res.CreateNew(&top, "ABC"));
    EXPECT_EQ(top.nStructIndex, 7u);
    EXPECT_EQ(res.GetHeader(), nullptr);
    EXPECT_FALSE(res.CreateNew(nullptr, "ABCD"));
    EXPECT_EQ(res.GetHeader(), nullptr);

    // Only the first four characters count; the version is always V3.2.
    ASSERT_TRUE(res.CreateNew(&top, "WXYZ-long"));
    COroString sType, sVersion;
    res.GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "WXYZ");
    EXPECT_STREQ(sVersion.CStr(), "V3.2");
    // A second CreateNew on an object that holds data is refused and changes nothing.
    EXPECT_FALSE(res.CreateNew(&top, "QQQQ"));
    EXPECT_EQ(res.GetStructCount(), 1u);
    res.GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "WXYZ");
}

TEST_F(WriterLayout, FirstFieldIsStoredDirectlyAndSecondMakesAnArray)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.WriteINT(&top, 1, "one"));
    std::vector<uint8_t> file = SaveBytes(res, "one.kvt");
    EXPECT_EQ(ReadWord(file, 56 + 4), 0u); // the field index itself
    EXPECT_EQ(ReadWord(file, 56 + 8), 1u);
    EXPECT_EQ(HeaderWord(file, hwFieldIndicesSize), 0u);

    ASSERT_TRUE(res.WriteINT(&top, 2, "two"));
    file = SaveBytes(res, "two.kvt");
    EXPECT_EQ(HeaderWord(file, hwFieldIndicesSize), 8u);
    EXPECT_EQ(ReadWord(file, 56 + 4), 0u); // offset of the array
    const size_t nArray = HeaderWord(file, hwFieldIndicesOffset);
    EXPECT_EQ(ReadWord(file, nArray), 0u);
    EXPECT_EQ(ReadWord(file, nArray + 4), 1u);
}

TEST_F(WriterLayout, InlineValuesAreExtendedToThirtyTwoBits)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.WriteCHAR(&top, -1, "c"));
    ASSERT_TRUE(res.WriteBYTE(&top, 255, "b"));
    ASSERT_TRUE(res.WriteSHORT(&top, -2, "s"));
    ASSERT_TRUE(res.WriteWORD(&top, 0xFFFF, "w"));
    ASSERT_TRUE(res.WriteFLOAT(&top, 1.5f, "f"));
    const std::vector<uint8_t> file = SaveBytes(res);
    const size_t nFields = HeaderWord(file, hwFieldOffset);
    EXPECT_EQ(ReadWord(file, nFields + 0 * 12 + 8), 0xFFFFFFFFu);
    EXPECT_EQ(ReadWord(file, nFields + 1 * 12 + 8), 0x000000FFu);
    EXPECT_EQ(ReadWord(file, nFields + 2 * 12 + 8), 0xFFFFFFFEu);
    EXPECT_EQ(ReadWord(file, nFields + 3 * 12 + 8), 0x0000FFFFu);
    EXPECT_EQ(ReadWord(file, nFields + 4 * 12 + 8), 0x3FC00000u);
    EXPECT_EQ(ReadWord(file, nFields + 0 * 12), 1u); // type codes
    EXPECT_EQ(ReadWord(file, nFields + 4 * 12), 8u);
}

TEST_F(WriterLayout, ResRefIsStoredLowerCasedWithItsLength)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    // Built from characters as they stand, so the capitals reach the writer.
    ASSERT_TRUE(res.WriteRESREF(&top, CResRef("Abc_Z9", 6), "r"));
    ASSERT_TRUE(res.WriteRESREF(&top, CResRef("ABCDEFGHIJKLMNOP", 16), "full"));
    const std::vector<uint8_t> file = SaveBytes(res);
    const size_t nData = FieldDataStart(file);
    EXPECT_EQ(HeaderWord(file, hwFieldDataSize), 7u + 17u);
    EXPECT_EQ(file[nData], 6);
    EXPECT_EQ(std::string(file.begin() + nData + 1, file.begin() + nData + 7), "abc_z9");
    EXPECT_EQ(file[nData + 7], 16);
    EXPECT_EQ(std::string(file.begin() + nData + 8, file.begin() + nData + 24), "abcdefghijklmnop");
}

TEST_F(WriterLayout, EmptyStringAndEmptyLocStringSizes)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.WriteSTRING(&top, COroString(), "s"));
    COroLocString empty;
    empty.StrRef = 77;
    ASSERT_TRUE(res.WriteLOCSTRING(&top, empty, "l"));
    const std::vector<uint8_t> file = SaveBytes(res);
    const size_t nData = FieldDataStart(file);
    ASSERT_EQ(HeaderWord(file, hwFieldDataSize), 4u + 12u);
    EXPECT_EQ(ReadWord(file, nData), 0u);
    EXPECT_EQ(ReadWord(file, nData + 4), 8u);  // T
    EXPECT_EQ(ReadWord(file, nData + 8), 77u); // StrRef
    EXPECT_EQ(ReadWord(file, nData + 12), 0u); // substring count
}

TEST_F(WriterLayout, LocStringSubstringsCarryLanguageAndGender)
{
    CResKVT res;
    CKvtStructHandle top;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    COroLocString value;
    value.StrRef = 5;
    value.AddString(3, "ab", 1);
    value.AddString(0, "z", 1); // language 0 has no gender: id 0
    ASSERT_TRUE(res.WriteLOCSTRING(&top, value, "l"));
    const std::vector<uint8_t> file = SaveBytes(res);
    const size_t n = FieldDataStart(file);
    const std::vector<uint8_t> expected =
        Concat({Words({8 + 10 + 9, 5, 2}), Words({7, 2}), Text("ab"), Words({0, 1}), Text("z")});
    ASSERT_EQ(HeaderWord(file, hwFieldDataSize), expected.size());
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + n, file.begin() + n + expected.size()), expected);
}

TEST_F(WriterLayout, LabelsAreSharedAndCutToSixteenCharacters)
{
    CResKVT res;
    CKvtStructHandle top, inner;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    ASSERT_TRUE(res.WriteINT(&top, 1, "Same"));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(res.AddStructField(&inner, &top, "Inner", static_cast<uint32_t>(i)));
        ASSERT_TRUE(res.WriteINT(&inner, i, "Same"));
    }
    ASSERT_TRUE(res.WriteINT(&top, 2, "Seventeen_chars_x"));
    ASSERT_TRUE(res.WriteINT(&top, 3, "Seventeen_chars_y")); // the same first 16
    const std::vector<uint8_t> file = SaveBytes(res);
    ASSERT_EQ(HeaderWord(file, hwLabelCount), 3u);
    const size_t nLabels = HeaderWord(file, hwLabelOffset);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + nLabels + 32, file.begin() + nLabels + 48), Text("Seventeen_chars_"));
}

TEST_F(WriterLayout, TablesStartAtTheirInitialCapacitiesAndGrowByDoublingSteps)
{
    CResKVT res;
    CKvtStructHandle top, inner;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    EXPECT_EQ(res.GetStructCapacity(), 110u);
    EXPECT_EQ(res.GetFieldCapacity(), 646u);
    EXPECT_EQ(res.GetLabelCapacity(), 98u);
    EXPECT_EQ(res.GetFieldDataCapacity(), 1836u);
    EXPECT_EQ(res.GetFieldIndicesCapacity(), 4052u);
    EXPECT_EQ(res.GetListIndicesCapacity(), 4052u);

    for (uint32_t i = 1; i < 110; ++i)
        ASSERT_TRUE(res.AddStructField(&inner, &top, "s", i));
    EXPECT_EQ(res.GetStructCount(), 110u);
    EXPECT_EQ(res.GetStructCapacity(), 110u);
    ASSERT_TRUE(res.AddStructField(&inner, &top, "s", 110));
    EXPECT_EQ(res.GetStructCapacity(), 220u); // 110 used + step 110
    for (uint32_t i = 111; i < 221; ++i)
        ASSERT_TRUE(res.AddStructField(&inner, &top, "s", i));
    EXPECT_EQ(res.GetStructCapacity(), 440u); // 220 used + doubled step 220

    // A byte area grows when the new end reaches its capacity.
    std::vector<uint8_t> blob(1832, 0x5A);
    ASSERT_TRUE(res.WriteBINARY(&top, blob.data(), static_cast<uint32_t>(blob.size()), "b"));
    EXPECT_EQ(res.GetFieldDataCapacity(), 1836u + 1836u);
    ASSERT_TRUE(res.WriteBINARY(&top, blob.data(), 3672 - 1836 - 4, "c"));
    EXPECT_EQ(res.GetFieldDataCapacity(), 3672u + 3672u);
}

TEST_F(WriterLayout, BuildingOneStructAtATimeAbandonsNothing)
{
    CResKVT res;
    CKvtStructHandle top, inner;
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(res.WriteINT(&top, i, "f"));
    ASSERT_TRUE(res.AddStructField(&inner, &top, "last", 1));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(res.WriteINT(&inner, i, "g"));
    EXPECT_EQ(res.GetFieldIndicesAbandoned(), 0u);
    EXPECT_EQ(res.GetHeader()->fieldIndicesSize, 4u * 51 + 4u * 50);
}

TEST_F(WriterLayout, WritersRefuseNullArgumentsAndUnknownStructs)
{
    CResKVT res;
    CKvtStructHandle top{0}, out{0};
    CKvtListHandle list{};
    EXPECT_FALSE(res.WriteINT(&top, 1, "early")); // nothing created yet
    ASSERT_TRUE(res.CreateNew(&top, "TEST"));
    CKvtStructHandle missing{5};
    EXPECT_FALSE(res.WriteINT(nullptr, 1, "a"));
    EXPECT_FALSE(res.WriteINT(&top, 1, nullptr));
    EXPECT_FALSE(res.WriteINT(&missing, 1, "a"));
    EXPECT_FALSE(res.WriteBINARY(&top, nullptr, 3, "a"));
    EXPECT_FALSE(res.AddStructField(nullptr, &top, "a", 1));
    EXPECT_FALSE(res.AddStructField(&out, &missing, "a", 1));
    EXPECT_FALSE(res.AddList(nullptr, &top, "a"));
    EXPECT_FALSE(res.AddList(&list, &top, nullptr));
    EXPECT_FALSE(res.AddListElement(&out, nullptr, 1));
    EXPECT_EQ(res.GetHeader()->fieldCount, 0u);
    EXPECT_EQ(res.GetStructCount(), 1u);
    // An empty binary value has no bytes to point at.
    EXPECT_TRUE(res.WriteBINARY(&top, nullptr, 0, "empty"));
}
