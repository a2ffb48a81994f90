// The JSON form: lossless round trips of every type's edge values, the
// refusals with their positions, and the schema in docs/.

#include <gtest/gtest.h>

#include <rapidjson/document.h>
#include <rapidjson/schema.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "DocumentTestSupport.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

// Nodes get their position as index, as a load gives them.
template <typename TNode, typename T> void AddValue(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, T value)
{
    static_cast<TNode*>(AddNode(pParent, nType, pLabel, pParent->GetChildCount()))->m_Value = value;
}

template <typename T, typename Bits> T FromBits(Bits bits)
{
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Every type with the values at its edges.
std::unique_ptr<CKvtNodeTopLevelStruct> EdgeDocument()
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    pRoot->m_sFileType = "EDGE";
    pRoot->m_sVersion = "V3.2";
    CKvtNodeStruct* p = pRoot.get();
    AddValue<CKvtNodeBYTE>(p, ftBYTE, "b0", uint8_t(0));
    AddValue<CKvtNodeBYTE>(p, ftBYTE, "b255", uint8_t(255));
    AddValue<CKvtNodeCHAR>(p, ftCHAR, "cmin", int8_t(-128));
    AddValue<CKvtNodeCHAR>(p, ftCHAR, "cmax", int8_t(127));
    AddValue<CKvtNodeWORD>(p, ftWORD, "w", uint16_t(65535));
    AddValue<CKvtNodeSHORT>(p, ftSHORT, "s", int16_t(-32768));
    AddValue<CKvtNodeDWORD>(p, ftDWORD, "dw", uint32_t(4294967295u));
    AddValue<CKvtNodeINT>(p, ftINT, "i", int32_t(INT32_MIN));
    AddValue<CKvtNodeDWORD64>(p, ftDWORD64, "dw64", uint64_t(UINT64_MAX));
    AddValue<CKvtNodeINT64>(p, ftINT64, "i64", int64_t(INT64_MIN));
    const uint32_t floatBits[] = {0x80000000u, 0x7fc00001u, 0xffa00000u, 0x7f800000u, 0x00000001u, 0x7f7fffffu,
                                  0x3dcccccdu};
    for (uint32_t bits : floatBits)
        AddValue<CKvtNodeFLOAT>(p, ftFLOAT, "f", FromBits<float>(bits));
    const uint64_t doubleBits[] = {0x8000000000000000ull, 0x7ff0000000000001ull, 0xfff0000000000000ull,
                                   0x0000000000000001ull, 0x000fffffffffffffull, 0x3fb999999999999aull};
    for (uint64_t bits : doubleBits)
        AddValue<CKvtNodeDOUBLE>(p, ftDOUBLE, "d", FromBits<double>(bits));
    AddValue<CKvtNodeSTRING>(p, ftSTRING, "", COroString("\x01\x1f\x7f\x80\xff\"\\/ end"));
    AddValue<CKvtNodeSTRING>(p, ftSTRING, "\xe9\x01\xff label of 16!", COroString(""));
    AddValue<CKvtNodeSTRING>(p, ftSTRING, "esc", COroString("\b\f\n\r\t\x1e"));
    AddValue<CKvtNodeRESREF>(p, ftRESREF, "r", CResRef("Mixed_Case\xC0", 11));
    AddValue<CKvtNodeRESREF>(p, ftRESREF, "r16", CResRef("abcdefghijklmnop", 16));
    auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(AddNode(p, ftLOCSTRING, "loc"));
    pLoc->m_Value.StrRef = INT32_MIN;
    pLoc->m_Value.AddString(2, COroString("gender one"), 1);    // id 5
    pLoc->m_Value.AddString(-128, COroString("id -1"), 255);    // id -256 + 255, split as (0, 255)
    pLoc->m_Value.AddString(-127, COroString("id 1"), 255);     // id 1
    pLoc->m_Value.AddString(-200, COroString("id -145"), 255);  // id -400 + 255
    pLoc->m_Value.AddString(0, COroString("\xff"), 0);          // id 0
    pLoc->m_Value.AddString(7, COroString("emptied"), 0);
    pLoc->m_Value.AddString(7, COroString(""), 0);              // kept with an empty text
    AddNode(p, ftLOCSTRING, "loc0");
    AddNode(p, ftBINARY, "bin0");
    for (uint32_t n = 1; n <= 4; ++n) {
        auto* pBinary = static_cast<CKvtNodeBINARY*>(AddNode(p, ftBINARY, "bin"));
        pBinary->m_pData = new uint8_t[n];
        for (uint32_t k = 0; k < n; ++k)
            pBinary->m_pData[k] = static_cast<uint8_t>(0xFB + k);
        pBinary->m_nDataSize = n;
    }
    CKvtNodeBase* pStruct = AddNode(p, ftSTRUCT, "st");
    pStruct->m_nStructID = 0xFFFFFFFFu;
    AddValue<CKvtNodeBYTE>(pStruct->GetStructNode(), ftBYTE, "inner", uint8_t(1));
    CKvtNodeStruct* pList = AddNode(p, ftLIST, "list")->GetStructNode();
    for (int32_t i = 0; i < 3; ++i) {
        CKvtNodeBase* pElement = AddNode(pList, ftSTRUCT, "", i);
        pElement->m_nStructID = static_cast<uint32_t>(i * 7);
        if (i == 1)
            AddNode(pElement->GetStructNode(), ftLIST, "nested");
    }
    AddNode(p, ftLIST, "empty");
    return pRoot;
}

std::unique_ptr<CKvtNodeTopLevelStruct> Read(const std::string& sJson, std::string& sError)
{
    return CKvtJsonReader::FromText(sJson.c_str(), sJson.size(), sError);
}

} // namespace

TEST(JsonForm, EdgeValuesRoundTripToTheSameTextAndTheSameFile)
{
    COroReportRecorder recorder;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = EdgeDocument();
    const std::string sJson = CKvtJsonWriter::ToString(pRoot.get());

    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pBack = Read(sJson, sError);
    ASSERT_TRUE(pBack) << sError;
    EXPECT_EQ(CKvtJsonWriter::ToString(pBack.get()), sJson);
    EXPECT_EQ(Outline(pBack.get()), Outline(pRoot.get()));
    bool bSavedA = false;
    bool bSavedB = false;
    const std::vector<uint8_t> original = SaveToBytes(pRoot.get(), &bSavedA);
    EXPECT_TRUE(bSavedA);
    EXPECT_EQ(SaveToBytes(pBack.get(), &bSavedB), original);
    EXPECT_TRUE(bSavedB);

    // The documented spellings.
    for (const char* pPart : {"\"value\":-0}", "\"value\":\"0x7fc00001\"", "\"value\":\"0xffa00000\"",
                              "\"value\":1e-45", "\"value\":5e-324", "\"value\":0.1}", "\"value\":18446744073709551615",
                              "\"value\":-9223372036854775808", "\"value\":\"+/w=\"", "\"value\":\"+/z9/g==\"",
                              "\"value\":\"Mixed_Case\xC3\x80\"", "\"value\":\"\\b\\f\\n\\r\\t\\u001E\"",
                              "\"value\":\"\\u0001\\u001F\x7F\xC2\x80\xC3\xBF\\\"\\\\/ end\"", "\"label\":\"\xC3\xA9\\u0001\xC3\xBF label of 16!\"",
                              "{\"language\":0,\"gender\":255,\"text\":\"id -1\"}",
                              "{\"language\":0,\"gender\":1,\"text\":\"id 1\"}",
                              "{\"language\":7,\"gender\":0,\"text\":\"\"}", "\"struct_id\":4294967295"})
        EXPECT_NE(sJson.find(pPart), std::string::npos) << pPart;
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(JsonForm, NestedRootCopyKeepsItsHeaderTexts)
{
    CKvtNodeTopLevelStruct root;
    root.m_sFileType = "ABCD";
    auto* pCopy = static_cast<CKvtNodeTopLevelStruct*>(AddNode(&root, ftTOPLEVELSTRUCT, "copy"));
    pCopy->m_sFileType = "WXYZ";
    pCopy->m_sVersion = "V9.9";
    AddNode(pCopy, ftINT, "x");
    const std::string sJson = CKvtJsonWriter::ToString(&root);
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pBack = Read(sJson, sError);
    ASSERT_TRUE(pBack) << sError;
    auto* pBackCopy = static_cast<CKvtNodeTopLevelStruct*>(pBack->GetChild(0));
    ASSERT_EQ(pBackCopy->GetType(), ftTOPLEVELSTRUCT);
    EXPECT_EQ(pBackCopy->m_sFileType, "WXYZ");
    EXPECT_EQ(pBackCopy->m_sVersion, "V9.9");
    EXPECT_EQ(pBackCopy->GetChildCount(), 1);
}

TEST(JsonForm, RefusalsNameLineColumnAndPointer)
{
    const std::string sHead =
        "{\"format\":\"KVT JSON\",\"format_version\":1,\"file_type\":\"ABCD\",\"file_version\":\"V3.2\",\n"
        "\"root\":{\"label\":\"\",\"type\":\"TOPLEVELSTRUCT\",\"fields\":[\n";
    const std::string sTail = "]}}\n";
    struct Case_st {
        std::string sNodes;
        const char* pExpected;
    };
    const Case_st cases[] = {
        {" {\"label\":\"a\",\"type\":\"BYTE\",\"value\":300}",
         "line 3, column 37, JSON Pointer \"/root/fields/0/value\": BYTE 300 does not fit (0 to 255)"},
        {" {\"label\":\"a\",\"type\":\"CHAR\",\"value\":1.5}",
         "line 3, column 37, JSON Pointer \"/root/fields/0/value\": CHAR takes an integer"},
        {" {\"label\":\"a\",\"type\":\"DWORD64\",\"value\":18446744073709551616}",
         "JSON Pointer \"/root/fields/0/value\": DWORD64 18446744073709551616 does not fit"},
        {" {\"label\":\"a\",\"type\":\"FLOAT\",\"value\":1e39}", "\"/root/fields/0/value\": FLOAT 1e39 does not fit"},
        {"{\"label\":\"x\",\"type\":\"INT\",\"value\":1},\n  {\"label\":\"12345678901234567\",\"type\":\"INT\",\"value\":1}",
         "line 4, column 12, JSON Pointer \"/root/fields/1/label\": a label holds at most 16 bytes; this one has 17"},
        {"{\"label\":\"a\",\"type\":\"NUMBER\",\"value\":1}",
         "line 3, column 21, JSON Pointer \"/root/fields/0/type\": unknown type name \"NUMBER\""},
        {"{\"label\":\"a\",\"type\":\"BINARY\",\"value\":\"AB=C\"}",
         "JSON Pointer \"/root/fields/0/value\": a BINARY value is base64 text with padding"},
        {"{\"label\":\"a\",\"type\":\"BINARY\",\"value\":\"AB==\"}", "a BINARY value is base64 text with padding"},
        {"{\"label\":\"a\",\"type\":\"BINARY\",\"value\":\"AAAAA.AAAAAA\"}", "a BINARY value is base64 text with padding"},
        {"{\"label\":\"a\",\"type\":\"BINARY\",\"value\":\"AA==AAAA\"}", "a BINARY value is base64 text with padding"},
        {"{\"label\":\"\\u0100\",\"type\":\"INT\",\"value\":1}",
         "\"/root/fields/0/label\": a label holds only the characters U+0001 to U+00FF"},
        {"{\"label\":\"a\",\"type\":\"STRING\",\"value\":\"abcdefghij\\u0000k\"}",
         "\"/root/fields/0/value\": a STRING holds only the characters U+0001 to U+00FF"},
        {"{\"label\":\"a\",\"value\":1,\"type\":\"INT\"}",
         "\"/root/fields/0/value\": \"type\" must come before \"value\""},
        {"{\"label\":\"a\",\"type\":\"INT\"}", "line 3, column 1, JSON Pointer \"/root/fields/0\": the key \"value\" is missing"},
        {"{\"label\":\"a\",\"type\":\"INT\",\"value\":1,\"colour\":2}",
         "JSON Pointer \"/root/fields/0/colour\": unknown key \"colour\""},
        {"{\"label\":\"a\",\"label\":\"b\",\"type\":\"INT\",\"value\":1}", "the key \"label\" appears twice"},
        {"{\"label\":\"a\",\"type\":\"INT\",\"fields\":[]}", "\"/root/fields/0/fields\": a INT node has no \"fields\""},
        {"{\"label\":\"a\",\"type\":\"LIST\",\"elements\":[{\"label\":\"\",\"type\":\"STRUCT\",\"struct_id\":-1,\"fields\":[]}]}",
         "\"/root/fields/0/elements/0/struct_id\": struct_id -1 does not fit (0 to 4294967295)"},
        {"{\"label\":\"a\",\"type\":\"LOCSTRING\",\"value\":{\"strref\":1,\"strings\":[{\"language\":1,\"gender\":2,"
         "\"text\":\"t\"}]}}",
         "\"/root/fields/0/value/strings/0/gender\": gender is 0, 1 or 255"},
        {"{\"label\":\"a\",\"type\":\"LOCSTRING\",\"value\":{\"strref\":1,\"strings\":[{\"language\":5,\"gender\":255,"
         "\"text\":\"t\"}]}}",
         "\"/root/fields/0/value/strings/0\": language 5 with gender 255 is no entry a localized string holds"},
        {"{\"label\":\"a\",\"type\":\"LOCSTRING\",\"value\":{\"strref\":1,\"strings\":[{\"language\":1,\"gender\":0,"
         "\"text\":\"t\"},{\"language\":1,\"gender\":0,\"text\":\"u\"}]}}",
         "\"/root/fields/0/value/strings/1\": a second entry for the same language and gender"},
        {"{\"label\":\"a\",\"type\":\"STRING\",\"value\":\"x\"", "line 3, column 41, JSON Pointer"},
        {"{\"label\":\"a\",\"type\":\"WORD\",\"value\":true}", "\"/root/fields/0/value\": unexpected true or false here"},
    };
    for (const Case_st& c : cases) {
        std::string sError;
        EXPECT_FALSE(Read(sHead + c.sNodes + sTail, sError)) << c.sNodes;
        EXPECT_NE(sError.find(c.pExpected), std::string::npos) << c.sNodes << "\n  gave: " << sError;
    }
    std::string sError;
    EXPECT_FALSE(Read("{\"format\":\"KVT JSON\"}", sError));
    EXPECT_EQ(sError, "line 1, column 1, JSON Pointer \"\": the key \"format_version\" is missing");
    EXPECT_FALSE(Read("[1]", sError));
    EXPECT_EQ(sError, "line 1, column 1, JSON Pointer \"\": the document is an object");
    // A zero byte after a whole document still makes the text invalid.
    const std::string sWhole = sHead + "{\"label\":\"a\",\"type\":\"INT\",\"value\":1}" + sTail;
    EXPECT_TRUE(Read(sWhole, sError)) << sError;
    EXPECT_FALSE(Read(sWhole + " " + std::string(1, '\0') + "\n", sError));
    EXPECT_EQ(sError, "line 4, column 2, JSON Pointer \"\": a zero byte in the text");
}

TEST(JsonForm, NestingIsRefusedBelowTheLoadsDeepestLevel)
{
    auto nested = [](int nLevels) {
        std::string s = "{\"format\":\"KVT JSON\",\"format_version\":1,\"file_type\":\"ABCD\",\"file_version\":\"V3.2\","
                        "\"root\":{\"label\":\"\",\"type\":\"TOPLEVELSTRUCT\",\"fields\":[";
        for (int i = 0; i < nLevels; ++i)
            s += "{\"label\":\"s\",\"type\":\"STRUCT\",\"struct_id\":0,\"fields\":[";
        for (int i = 0; i < nLevels; ++i)
            s += "]}";
        return s + "]}}";
    };
    std::string sError;
    EXPECT_TRUE(Read(nested(1000), sError)) << sError;
    EXPECT_FALSE(Read(nested(1001), sError));
    EXPECT_NE(sError.find("nodes nest deeper than 1000 levels"), std::string::npos) << sError;
    // Far deeper than any stack: refused, not a crash.
    EXPECT_FALSE(Read(nested(200000), sError));
}

TEST(JsonForm, OutputMeetsTheSchemaAndTheSchemaCatchesAMisfit)
{
    const char* pSource = std::getenv("KVT_TEST_SOURCE_DIR");
    ASSERT_NE(pSource, nullptr);
    const std::string sSchemaText = ReadFileText(std::string(pSource) + "/docs/kvt-json.schema.json");
    rapidjson::Document schemaDocument;
    ASSERT_FALSE(schemaDocument.Parse(sSchemaText.c_str()).HasParseError());
    const rapidjson::SchemaDocument schema(schemaDocument);
    auto valid = [&](const std::string& sJson) {
        rapidjson::SchemaValidator validator(schema);
        rapidjson::Reader reader;
        rapidjson::StringStream stream(sJson.c_str());
        return !reader.Parse(stream, validator).IsError() && validator.IsValid();
    };
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = EdgeDocument();
    std::string sJson = CKvtJsonWriter::ToString(pRoot.get());
    EXPECT_TRUE(valid(sJson));
    const size_t nAt = sJson.find("\"value\":255");
    ASSERT_NE(nAt, std::string::npos);
    sJson.replace(nAt, 11, "\"value\":256");
    EXPECT_FALSE(valid(sJson));
}
