// Files written by the writer read back through the reader: every type code,
// nested structs and lists, duplicate and long labels.

#include <cmath>
#include <cstring>
#include <limits>

#include "ResmanFixture.h"

namespace {

// One file holding a field of every type code with edge values.
void WriteEveryType(CResKVT& res)
{
    CKvtStructHandle top, inner, element;
    CKvtListHandle list;
    ASSERT_TRUE(res.CreateNew(&top, "ALL "));
    ASSERT_TRUE(res.WriteBYTE(&top, 255, "byte"));
    ASSERT_TRUE(res.WriteCHAR(&top, -128, "char"));
    ASSERT_TRUE(res.WriteWORD(&top, 65535, "word"));
    ASSERT_TRUE(res.WriteSHORT(&top, -32768, "short"));
    ASSERT_TRUE(res.WriteDWORD(&top, 0xFFFFFFFFu, "dword"));
    ASSERT_TRUE(res.WriteINT(&top, std::numeric_limits<int32_t>::min(), "int"));
    ASSERT_TRUE(res.WriteDWORD64(&top, 0xFEDCBA9876543210ull, "dword64"));
    ASSERT_TRUE(res.WriteINT64(&top, std::numeric_limits<int64_t>::min(), "int64"));
    ASSERT_TRUE(res.WriteFLOAT(&top, -1.25f, "float"));
    ASSERT_TRUE(res.WriteDOUBLE(&top, 3.141592653589793, "double"));
    ASSERT_TRUE(res.WriteSTRING(&top, "hello world", "string"));
    ASSERT_TRUE(res.WriteRESREF(&top, CResRef("sword01"), "resref"));
    COroLocString value;
    value.StrRef = 1234;
    value.AddString(0, "zero", 0);
    value.AddString(3, "three f", 1);
    value.AddString(-1, "minus", 0);
    ASSERT_TRUE(res.WriteLOCSTRING(&top, value, "locstring"));
    const uint8_t blob[5] = {0, 1, 2, 0xFE, 0xFF};
    ASSERT_TRUE(res.WriteBINARY(&top, blob, sizeof(blob), "binary"));
    ASSERT_TRUE(res.AddStructField(&inner, &top, "struct", 77));
    ASSERT_TRUE(res.WriteINT(&inner, 11, "inside"));
    ASSERT_TRUE(res.AddList(&list, &top, "list"));
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(res.AddListElement(&element, &list, 500 + i));
        ASSERT_TRUE(res.WriteDWORD(&element, i * 10, "n"));
    }
}

} // namespace

using RoundTrip = ResmanTest;

TEST_F(RoundTrip, EveryTypeCodeReadsBackAsWritten)
{
    CResKVT writer;
    WriteEveryType(writer);
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    CKvtStructHandle top;
    ASSERT_TRUE(pRes->GetTopLevelStruct(&top));
    EXPECT_EQ(pRes->GetStructID(&top), -1);
    ASSERT_EQ(pRes->GetFieldCount(&top), 16);
    COroString sType, sVersion;
    pRes->GetFileTypeAndVersion(sType, sVersion);
    EXPECT_STREQ(sType.CStr(), "ALL ");
    EXPECT_STREQ(sVersion.CStr(), "V3.2");

    const char* labels[16] = {"byte",  "char",   "word",   "short",  "dword",     "int",    "dword64", "int64",
                              "float", "double", "string", "resref", "locstring", "binary", "struct",  "list"};
    const uint32_t sizes[16] = {1, 1, 2, 2, 4, 4, 8, 8, 4, 8, 11, 7, 0, 5, 0, 0};
    for (int32_t i = 0; i < 16; ++i) {
        EXPECT_STREQ(pRes->GetFieldLabel(&top, i), labels[i]);
        EXPECT_EQ(pRes->GetFieldType(&top, nullptr, i), i);
        EXPECT_EQ(pRes->GetFieldType(&top, labels[i], 99), i); // the label wins over the index
        EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, labels[i]), i);
        EXPECT_EQ(pRes->GetFieldSize(&top, labels[i], -1), sizes[i]) << labels[i];
    }

    int32_t bOk = 0;
    EXPECT_EQ(pRes->ReadBYTE(&top, "byte", &bOk, 0), 255);
    EXPECT_EQ(bOk, 1);
    EXPECT_EQ(pRes->ReadCHAR(&top, "char", &bOk, 0), -128);
    EXPECT_EQ(pRes->ReadWORD(&top, "word", &bOk, 0), 65535);
    EXPECT_EQ(pRes->ReadSHORT(&top, "short", &bOk, 0), -32768);
    EXPECT_EQ(pRes->ReadDWORD(&top, "dword", &bOk, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pRes->ReadINT(&top, "int", &bOk, 0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(pRes->ReadDWORD64(&top, "dword64", &bOk, 0), 0xFEDCBA9876543210ull);
    EXPECT_EQ(pRes->ReadINT64(&top, "int64", &bOk, 0), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(pRes->ReadFLOAT(&top, "float", &bOk, 0.0f), -1.25f);
    EXPECT_EQ(pRes->ReadDOUBLE(&top, "double", &bOk, 0.0), 3.141592653589793);
    EXPECT_STREQ(pRes->ReadSTRING(&top, "string", &bOk, COroString()).CStr(), "hello world");
    EXPECT_EQ(bOk, 1);
    EXPECT_STREQ(pRes->ReadRESREF(&top, "resref", &bOk, CResRef()).GetResRefStr().CStr(), "sword01");

    bOk = 0;
    COroLocString loc = pRes->ReadLOCSTRING(&top, "locstring", &bOk, COroLocString());
    EXPECT_EQ(bOk, 1);
    EXPECT_EQ(loc.StrRef, 1234);
    ASSERT_EQ(loc.GetStringCount(), 3);
    COroString sText;
    int32_t nLanguage = 0;
    uint8_t nGender = 0;
    ASSERT_TRUE(loc.GetStringByIndex(1, nLanguage, sText, nGender));
    EXPECT_EQ(nLanguage, 3);
    EXPECT_EQ(nGender, 1);
    EXPECT_STREQ(sText.CStr(), "three f");
    ASSERT_TRUE(loc.GetStringByIndex(2, nLanguage, sText, nGender));
    EXPECT_EQ(nLanguage, -1);
    EXPECT_EQ(nGender, 0);
    EXPECT_STREQ(sText.CStr(), "minus");

    uint8_t buffer[8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    bOk = 0;
    EXPECT_EQ(pRes->ReadBINARY(&top, buffer, sizeof(buffer), "binary", &bOk, nullptr), buffer);
    EXPECT_EQ(bOk, 1);
    const uint8_t expected[8] = {0, 1, 2, 0xFE, 0xFF, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(buffer, expected, 8), 0);

    CKvtStructHandle inner, element;
    ASSERT_TRUE(pRes->GetStructField(&inner, &top, "struct"));
    EXPECT_EQ(pRes->GetStructID(&inner), 77);
    EXPECT_EQ(pRes->ReadINT(&inner, "inside", &bOk, 0), 11);

    CKvtListHandle list;
    ASSERT_TRUE(pRes->GetList(&list, &top, "list"));
    ASSERT_EQ(pRes->GetListCount(&list), 3);
    EXPECT_EQ(pRes->GetAddressableListCount(&list), 3);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(pRes->GetListElement(&element, &list, i));
        EXPECT_EQ(pRes->GetStructID(&element), 500 + i);
        EXPECT_EQ(pRes->ReadDWORD(&element, "n", &bOk, 99), static_cast<uint32_t>(i * 10));
    }
    EXPECT_EQ(m_recorder.Count(), 0u) << DescribeReports(m_recorder);
}

TEST_F(RoundTrip, BinaryCopiesOnlyWhatTheBufferHolds)
{
    CResKVT writer;
    WriteEveryType(writer);
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    CKvtStructHandle top{0};
    uint8_t buffer[3] = {9, 9, 9};
    int32_t bOk = 0;
    EXPECT_EQ(pRes->ReadBINARY(&top, buffer, 2, "binary", &bOk, nullptr), buffer);
    EXPECT_EQ(bOk, 1);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[2], 9);
}

TEST_F(RoundTrip, DuplicateLabelsAlwaysFindTheFirstField)
{
    CResKVT writer;
    CKvtStructHandle top;
    ASSERT_TRUE(writer.CreateNew(&top, "TEST"));
    ASSERT_TRUE(writer.WriteINT(&top, 1, "same"));
    ASSERT_TRUE(writer.WriteSTRING(&top, "second", "same"));
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    EXPECT_EQ(pRes->GetFieldCount(&top), 2);
    EXPECT_EQ(pRes->GetFieldType(&top, "same", 1), KVT_INT);
    EXPECT_EQ(pRes->GetFieldType(&top, nullptr, 1), KVT_STRING); // by index only
    EXPECT_STREQ(pRes->GetFieldLabel(&top, 1), "same");
    int32_t bOk = 0;
    EXPECT_EQ(pRes->ReadINT(&top, "same", &bOk, 0), 1);
    EXPECT_EQ(bOk, 1);
    // The second field is unreachable by label: its reader sees the INT and warns.
    EXPECT_STREQ(pRes->ReadSTRING(&top, "same", &bOk, "dflt").CStr(), "dflt");
    EXPECT_EQ(bOk, 0);
    EXPECT_EQ(ReportsFrom("reskvt", 2007), 1u);
}

TEST_F(RoundTrip, SixteenAndSeventeenCharacterLabels)
{
    CResKVT writer;
    CKvtStructHandle top;
    CKvtListHandle list;
    ASSERT_TRUE(writer.CreateNew(&top, "TEST"));
    ASSERT_TRUE(writer.WriteINT(&top, 16, "ABCDEFGHIJKLMNOP"));
    ASSERT_TRUE(writer.WriteINT(&top, 17, "abcdefghijklmnopq"));
    ASSERT_TRUE(writer.AddList(&list, &top, "0123456789ABCDEF"));
    CKvtStructHandle element;
    ASSERT_TRUE(writer.AddListElement(&element, &list, 3));
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    EXPECT_STREQ(pRes->GetFieldLabel(&top, 0), "ABCDEFGHIJKLMNOP");
    EXPECT_STREQ(pRes->GetFieldLabel(&top, 1), "abcdefghijklmnop");
    int32_t bOk = 0;
    EXPECT_EQ(pRes->ReadINT(&top, "ABCDEFGHIJKLMNOP", &bOk, 0), 16);
    // Any name with the same first 16 characters finds the field.
    EXPECT_EQ(pRes->ReadINT(&top, "abcdefghijklmnopq", &bOk, 0), 17);
    EXPECT_EQ(pRes->ReadINT(&top, "abcdefghijklmnopXYZ", &bOk, 0), 17);
    EXPECT_EQ(pRes->GetFieldIndexByLabel(&top, "abcdefghijklmno"), -1);
    // A list handle holds all 16 label bytes, without a terminator.
    CKvtListHandle loaded;
    ASSERT_TRUE(pRes->GetList(&loaded, &top, "0123456789ABCDEF"));
    EXPECT_EQ(std::memcmp(loaded.label, "0123456789ABCDEF", 16), 0);
    EXPECT_EQ(pRes->GetListCount(&loaded), 1);
}

TEST_F(RoundTrip, ResRefIsLowerCasedOnWriteButNotOnRead)
{
    CResKVT writer;
    CKvtStructHandle top;
    ASSERT_TRUE(writer.CreateNew(&top, "TEST"));
    ASSERT_TRUE(writer.WriteRESREF(&top, CResRef("MiXeD", 5), "r"));
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    int32_t bOk = 0;
    EXPECT_STREQ(pRes->ReadRESREF(&top, "r", &bOk, CResRef()).GetResRefStr().CStr(), "mixed");

    // A file that stores capitals gives them back as they stand.
    CKvtImageBuilder image;
    image.m_FieldData = {5, 'M', 'i', 'X', 'e', 'D'};
    image.AddField(KVT_RESREF, image.AddLabel("r"), 0);
    image.m_Structs.push_back({0xFFFFFFFF, 0, 1});
    auto pStored = LoadImage(image);
    ASSERT_TRUE(pStored);
    const CResRef value = pStored->ReadRESREF(&top, "r", &bOk, CResRef());
    EXPECT_EQ(bOk, 1);
    EXPECT_EQ(std::memcmp(value.GetResRef(), "MiXeD\0\0\0\0\0\0\0\0\0\0\0", 16), 0);
}

TEST_F(RoundTrip, NestedListsKeepTheirOrder)
{
    CResKVT writer;
    CKvtStructHandle top, outer, inner;
    CKvtListHandle outerList, innerList;
    ASSERT_TRUE(writer.CreateNew(&top, "TEST"));
    ASSERT_TRUE(writer.AddList(&outerList, &top, "outer"));
    for (uint32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.AddListElement(&outer, &outerList, i));
        ASSERT_TRUE(writer.AddList(&innerList, &outer, "inner"));
        for (uint32_t j = 0; j <= i; ++j)
            ASSERT_TRUE(writer.AddListElement(&inner, &innerList, 10 * i + j));
    }
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    CKvtListHandle loadedOuter, loadedInner;
    ASSERT_TRUE(pRes->GetList(&loadedOuter, &top, "outer"));
    ASSERT_EQ(pRes->GetListCount(&loadedOuter), 3);
    for (int32_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(pRes->GetListElement(&outer, &loadedOuter, i));
        ASSERT_TRUE(pRes->GetList(&loadedInner, &outer, "inner"));
        ASSERT_EQ(pRes->GetListCount(&loadedInner), i + 1);
        for (int32_t j = 0; j <= i; ++j) {
            ASSERT_TRUE(pRes->GetListElement(&inner, &loadedInner, j));
            EXPECT_EQ(pRes->GetStructID(&inner), 10 * i + j);
        }
    }
}

TEST_F(RoundTrip, LoadedFileCanBeExtendedAndSavedAgain)
{
    CResKVT writer;
    WriteEveryType(writer);
    auto pRes = SaveAndReload(writer);
    ASSERT_TRUE(pRes);
    // Loading leaves a growth step of room behind every table.
    EXPECT_EQ(pRes->GetStructCapacity(), pRes->GetStructCount() + 110u);
    EXPECT_EQ(pRes->GetFieldCapacity(), pRes->GetHeader()->fieldCount + 646u);
    CKvtStructHandle top{0}, element;
    CKvtListHandle list;
    ASSERT_TRUE(pRes->WriteSTRING(&top, "added", "extra"));
    ASSERT_TRUE(pRes->GetList(&list, &top, "list"));
    ASSERT_TRUE(pRes->AddListElement(&element, &list, 999));
    auto pAgain = SaveAndReload(*pRes);
    ASSERT_TRUE(pAgain);
    int32_t bOk = 0;
    EXPECT_STREQ(pAgain->ReadSTRING(&top, "extra", &bOk, "").CStr(), "added");
    EXPECT_EQ(pAgain->ReadBYTE(&top, "byte", &bOk, 0), 255);
    ASSERT_TRUE(pAgain->GetList(&list, &top, "list"));
    ASSERT_EQ(pAgain->GetListCount(&list), 4);
    ASSERT_TRUE(pAgain->GetListElement(&element, &list, 3));
    EXPECT_EQ(pAgain->GetStructID(&element), 999);
}
