// The structural diff: nodes matched by path, one line per difference in the
// export's order.

#include <gtest/gtest.h>

#include <memory>

#include "DocumentTestSupport.h"
#include "KVTDocumentDiff.h"
#include "KVTJsonReader.h"

namespace {

// A document from the JSON form's nodes (the root's fields).
std::unique_ptr<CKvtNodeTopLevelStruct> FromFields(const std::string& sFields, const char* pFileType = "ABCD")
{
    const std::string sJson = std::string("{\"format\":\"KVT JSON\",\"format_version\":1,\"file_type\":\"") + pFileType +
                              "\",\"file_version\":\"V3.2\",\"root\":{\"label\":\"\",\"type\":\"TOPLEVELSTRUCT\","
                              "\"fields\":[" + sFields + "]}}";
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = CKvtJsonReader::FromText(sJson.c_str(), sJson.size(), sError);
    EXPECT_TRUE(pRoot) << sError;
    return pRoot;
}

std::string Diff(CKvtNodeBase* pA, CKvtNodeBase* pB)
{
    std::string sOut;
    const size_t nLines = CKvtDocumentDiff::Compare(pA, pB, [&](const std::string& sLine) { sOut += sLine + "\n"; });
    EXPECT_EQ(nLines, static_cast<size_t>(std::count(sOut.begin(), sOut.end(), '\n')));
    return sOut;
}

std::string Leaf(const char* pLabel, const char* pType, const char* pValue)
{
    return std::string("{\"label\":\"") + pLabel + "\",\"type\":\"" + pType + "\",\"value\":" + pValue + "}";
}

std::string Element(const std::string& sFields, int nStructID = 0)
{
    return "{\"label\":\"\",\"type\":\"STRUCT\",\"struct_id\":" + std::to_string(nStructID) + ",\"fields\":[" + sFields +
           "]}";
}

std::string ListNode(const char* pLabel, const std::string& sElements)
{
    return std::string("{\"label\":\"") + pLabel + "\",\"type\":\"LIST\",\"elements\":[" + sElements + "]}";
}

} // namespace

TEST(DocumentDiff, ReportsAddedRemovedChangedRetypedAndGrownListsInExportOrder)
{
    const auto pA = FromFields(Leaf("Zeta", "BYTE", "1") + "," + Leaf("Alpha", "INT", "5") + "," +
                               Leaf("Gone", "STRING", "\"bye\"") + "," + Leaf("Same", "FLOAT", "0.1") + "," +
                               Leaf("Tiny", "FLOAT", "1e-45") + "," + Leaf("Dup", "WORD", "1") + "," +
                               Leaf("Dup", "WORD", "2") + "," +
                               ListNode("Items", Element(Leaf("Name", "STRING", "\"a\"")) + "," +
                                                 Element(Leaf("Name", "STRING", "\"b\""), 3)));
    const auto pB = FromFields(Leaf("Alpha", "INT", "6") + "," + Leaf("Zeta", "WORD", "1") + "," +
                               Leaf("Same", "FLOAT", "0.1") + "," + Leaf("Tiny", "FLOAT", "3e-45") + "," +
                               Leaf("Dup", "WORD", "1") + "," + Leaf("Dup", "WORD", "7") + "," +
                               Leaf("New", "STRING", "\"line\\r\\nbreak\\\\\"") + "," +
                               ListNode("Items", Element(Leaf("Name", "STRING", "\"a\"")) + "," +
                                                 Element(Leaf("Name", "STRING", "\"c\""), 4) + "," +
                                                 Element(Leaf("Name", "STRING", "\"d\""))),
                               "ABCE");
    EXPECT_EQ(Diff(pA.get(), pB.get()),
              "~ /: ABCD\\r\\nV3.2 -> ABCE\\r\\nV3.2\n"
              "~ /Alpha: 5 -> 6\n"
              "~ /Dup{2}: 2 -> 7\n"
              "- /Gone\n"
              "~ /Items[1]: [User-defined Struct: 3] -> [User-defined Struct: 4]\n"
              "~ /Items[1]/Name: b -> c\n"
              "+ /Items[2]\n"
              "+ /New\n"
              "~ /Tiny: 1e-45 -> 3e-45\n"
              "~ /Zeta: [BYTE] 1 -> [WORD] 1\n");
    EXPECT_EQ(Diff(pA.get(), pA.get()), "");
}

TEST(DocumentDiff, AListThatBecameAStructDiffersInEveryChild)
{
    const auto pA = FromFields(ListNode("L", Element("")));
    const auto pB = FromFields("{\"label\":\"L\",\"type\":\"STRUCT\",\"struct_id\":0,\"fields\":[" +
                               Leaf("x", "BYTE", "0") + "]}");
    EXPECT_EQ(Diff(pA.get(), pB.get()), "~ /L: [List] -> [User-defined Struct: 0]\n- /L[0]\n+ /L/x\n");
}

TEST(DocumentDiff, ValueTextsTellApartWhatTheEditTextsDoNot)
{
    const auto pA = FromFields(Leaf("b", "BINARY", "\"AAE=\"") + "," +
                               "{\"label\":\"l\",\"type\":\"LOCSTRING\",\"value\":{\"strref\":3,\"strings\":["
                               "{\"language\":1,\"gender\":1,\"text\":\"x\"}]}}");
    const auto pB = FromFields(Leaf("b", "BINARY", "\"AAI=\"") + "," +
                               "{\"label\":\"l\",\"type\":\"LOCSTRING\",\"value\":{\"strref\":3,\"strings\":["
                               "{\"language\":1,\"gender\":0,\"text\":\"x\"}]}}");
    EXPECT_EQ(Diff(pA.get(), pB.get()), "~ /b: AAE= -> AAI=\n~ /l: 3 [1,1] x -> 3 [1,0] x\n");
}
