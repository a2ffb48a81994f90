#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "KVTTreeNodes.h"

namespace {

template <typename TNode>
std::unique_ptr<TNode> Make(TKvtFieldType nType)
{
    return std::unique_ptr<TNode>(static_cast<TNode*>(CreateKvtNode(nType)));
}

std::string Edit(CKvtNodeBase* pNode)
{
    return pNode->GetEditText().CStr();
}

} // namespace

TEST(ValueText, TypeNamesAndHelpTexts)
{
    const char* names[] = {"[BYTE]",  "[CHAR]",   "[WORD]",       "[SHORT]",    "[DWORD]",
                           "[INT]",   "[DWORD64]", "[INT64]",     "[FLOAT]",    "[DOUBLE]",
                           "[COroString]", "[CResRef]", "[COroLocString]", "[Binary]"};
    for (int32_t nType = 0; nType <= 13; ++nType) {
        std::unique_ptr<CKvtNodeBase> pNode(CreateKvtNode(static_cast<TKvtFieldType>(nType)));
        EXPECT_STREQ(pNode->GetTypeName().CStr(), names[nType]);
        const std::string sHelp = pNode->GetHelpText().CStr();
        if (nType <= 9)
            EXPECT_EQ(sHelp, "Just type the numerical\rvalue of the data.");
    }
    EXPECT_STREQ(Make<CKvtNodeBase>(ftSTRING)->GetHelpText().CStr(), "No help available.");
    EXPECT_STREQ(Make<CKvtNodeBase>(ftRESREF)->GetHelpText().CStr(), "16 characters, no spaces etc.");
    EXPECT_STREQ(Make<CKvtNodeBase>(ftLOCSTRING)->GetHelpText().CStr(),
                 "Numerical value of StrRef.  Other data uses custom GUI.");
    EXPECT_STREQ(Make<CKvtNodeBase>(ftBINARY)->GetHelpText().CStr(), "This format is not implemented.");
    EXPECT_STREQ(Make<CKvtNodeBase>(ftLIST)->GetHelpText().CStr(), "No settings available.");
    EXPECT_STREQ(Make<CKvtNodeBase>(ftTOPLEVELSTRUCT)->GetHelpText().CStr(),
                 "1st line: 4 chars FileType.  2nd line:\r4 chars Version.");
}

TEST(ValueText, SmallIntegersShowWithTheirSignedness)
{
    auto pChar = Make<CKvtNodeCHAR>(ftCHAR);
    auto pByte = Make<CKvtNodeBYTE>(ftBYTE);
    pChar->m_Value = static_cast<int8_t>(0xFF);
    pByte->m_Value = 0xFF;
    EXPECT_EQ(Edit(pChar.get()), "-1");
    EXPECT_EQ(Edit(pByte.get()), "255");
    auto pWord = Make<CKvtNodeWORD>(ftWORD);
    auto pShort = Make<CKvtNodeSHORT>(ftSHORT);
    pWord->m_Value = 0xFFFF;
    pShort->m_Value = -2;
    EXPECT_EQ(Edit(pWord.get()), "65535");
    EXPECT_EQ(Edit(pShort.get()), "-2");
}

TEST(ValueText, ThirtyTwoAndSixtyFourBitValues)
{
    auto pDword = Make<CKvtNodeDWORD>(ftDWORD);
    auto pInt = Make<CKvtNodeINT>(ftINT);
    pDword->m_Value = 0xFFFFFFFFu;
    pInt->m_Value = -1;
    EXPECT_EQ(Edit(pDword.get()), "4294967295");
    EXPECT_EQ(Edit(pInt.get()), "-1");
    EXPECT_TRUE(pDword->SetFromText("-1"));
    EXPECT_EQ(pDword->m_Value, 0xFFFFFFFFu);

    auto pInt64 = Make<CKvtNodeINT64>(ftINT64);
    auto pDword64 = Make<CKvtNodeDWORD64>(ftDWORD64);
    pInt64->m_Value = INT64_MIN;
    pDword64->m_Value = UINT64_MAX;
    EXPECT_EQ(Edit(pInt64.get()), "-9223372036854775808");
    EXPECT_EQ(Edit(pDword64.get()), "18446744073709551615");
    EXPECT_TRUE(pInt64->SetFromText("0x100000000"));
    EXPECT_TRUE(pDword64->SetFromText("0x100000000"));
    EXPECT_EQ(pInt64->m_Value, 4294967296);
    EXPECT_EQ(pDword64->m_Value, 4294967296u);
}

TEST(ValueText, FloatsShowFixedDigits)
{
    auto pFloat = Make<CKvtNodeFLOAT>(ftFLOAT);
    auto pDouble = Make<CKvtNodeDOUBLE>(ftDOUBLE);
    pFloat->m_Value = 1.5f;
    pDouble->m_Value = 0.1;
    EXPECT_EQ(Edit(pFloat.get()), "1.500000000000");
    EXPECT_EQ(Edit(pDouble.get()), "0.100000000000000005551115");
    EXPECT_TRUE(pFloat->SetFromText("  2.25xyz"));
    EXPECT_FLOAT_EQ(pFloat->m_Value, 2.25f);
    EXPECT_TRUE(pDouble->SetFromText("-1e3"));
    EXPECT_DOUBLE_EQ(pDouble->m_Value, -1000.0);
}

TEST(ValueText, IntegerParsingKeepsTheLowBitsAndStopsAtTheNumber)
{
    auto pByte = Make<CKvtNodeBYTE>(ftBYTE);
    EXPECT_TRUE(pByte->SetFromText("300"));
    EXPECT_EQ(pByte->m_Value, 44);
    EXPECT_TRUE(pByte->SetFromText("-1"));
    EXPECT_EQ(pByte->m_Value, 255);
    EXPECT_TRUE(pByte->SetFromText("12abc"));
    EXPECT_EQ(pByte->m_Value, 12);
    EXPECT_TRUE(pByte->SetFromText(" 0x1F"));
    EXPECT_EQ(pByte->m_Value, 31);
    EXPECT_TRUE(pByte->SetFromText("010"));
    EXPECT_EQ(pByte->m_Value, 8);
    auto pWord = Make<CKvtNodeWORD>(ftWORD);
    EXPECT_TRUE(pWord->SetFromText("-1"));
    EXPECT_EQ(pWord->m_Value, 65535);
    auto pChar = Make<CKvtNodeCHAR>(ftCHAR);
    EXPECT_TRUE(pChar->SetFromText("200"));
    EXPECT_EQ(Edit(pChar.get()), "-56");
}

TEST(ValueText, TextWithoutANumberIsRefusedAndKeepsTheValue)
{
    for (int32_t nType = 0; nType <= 9; ++nType) {
        std::unique_ptr<CKvtNodeBase> pNode(CreateKvtNode(static_cast<TKvtFieldType>(nType)));
        ASSERT_TRUE(pNode->SetFromText("7"));
        const std::string sBefore = Edit(pNode.get());
        EXPECT_FALSE(pNode->SetFromText("abc")) << nType;
        EXPECT_FALSE(pNode->SetFromText("")) << nType;
        EXPECT_EQ(Edit(pNode.get()), sBefore) << nType;
    }
}

TEST(ValueText, StringsKeepEverythingAndPreviewThirtyTwoCharacters)
{
    auto pString = Make<CKvtNodeSTRING>(ftSTRING);
    const std::string sForty(40, 's');
    EXPECT_TRUE(pString->SetFromText(sForty.c_str()));
    EXPECT_EQ(Edit(pString.get()), sForty);
    EXPECT_EQ(std::string(pString->GetPreviewText().CStr()), sForty.substr(0, 32));
    EXPECT_TRUE(pString->SetFromText("two\r\nlines"));
    EXPECT_EQ(Edit(pString.get()), "two\r\nlines");
    EXPECT_EQ(std::string(pString->GetPreviewText().CStr()), "two\r\nlines");
}

TEST(ValueText, ResourceNamesAreLowerCasedAndCut)
{
    auto pRes = Make<CKvtNodeRESREF>(ftRESREF);
    EXPECT_TRUE(pRes->SetFromText("MyRes_Name"));
    EXPECT_EQ(Edit(pRes.get()), "myres_name");
    EXPECT_TRUE(pRes->SetFromText("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(Edit(pRes.get()), "abcdefghijklmnop");
    EXPECT_EQ(std::string(pRes->GetPreviewText().CStr()), "abcdefghijklmnop");
    // A name read from a file keeps its case.
    pRes->m_Value = CResRef("MiXeD", 5);
    EXPECT_EQ(Edit(pRes.get()), "MiXeD");
}

TEST(ValueText, LocalizedStringsEditTheirReference)
{
    auto pLoc = Make<CKvtNodeLOCSTRING>(ftLOCSTRING);
    EXPECT_EQ(Edit(pLoc.get()), "-1");
    EXPECT_STREQ(pLoc->GetPreviewText().CStr(), "0 strings");
    pLoc->m_Value.AddString(1, "x", 0);
    EXPECT_STREQ(pLoc->GetPreviewText().CStr(), "1 strings");
    EXPECT_TRUE(pLoc->SetFromText("1234"));
    EXPECT_EQ(pLoc->m_Value.StrRef, 1234);
    EXPECT_FALSE(pLoc->SetFromText("q"));
    EXPECT_EQ(pLoc->m_Value.StrRef, -1);
    EXPECT_EQ(pLoc->m_Value.GetStringCount(), 1);
}

TEST(ValueText, BinaryAndStructsShowPlaceholders)
{
    auto pBinary = Make<CKvtNodeBINARY>(ftBINARY);
    EXPECT_EQ(Edit(pBinary.get()), "...");
    EXPECT_FALSE(pBinary->SetFromText("01 02"));
    auto pStruct = Make<CKvtNodeStruct>(ftSTRUCT);
    pStruct->SetStructID(5);
    EXPECT_STREQ(pStruct->GetTypeName().CStr(), "[User-defined Struct: 5]");
    pStruct->SetStructID(0xFFFFFFFFu);
    EXPECT_STREQ(pStruct->GetTypeName().CStr(), "[User-defined Struct: -1]");
    EXPECT_EQ(Edit(pStruct.get()), "");
    EXPECT_STREQ(pStruct->GetPreviewText().CStr(), "...");
    EXPECT_TRUE(pStruct->SetFromText("anything"));
    EXPECT_STREQ(Make<CKvtNodeStruct>(ftLIST)->GetTypeName().CStr(), "[List]");
}

TEST(ValueText, RootTextHoldsFileTypeAndVersion)
{
    auto pRoot = Make<CKvtNodeTopLevelStruct>(ftTOPLEVELSTRUCT);
    pRoot->m_sFileType = "ABCD";
    pRoot->m_sVersion = "V3.2";
    EXPECT_EQ(Edit(pRoot.get()), "ABCD\r\nV3.2");
    EXPECT_TRUE(pRoot->SetFromText("EFGH\r\nV3.3"));
    EXPECT_STREQ(pRoot->m_sFileType.CStr(), "EFGH");
    EXPECT_STREQ(pRoot->m_sVersion.CStr(), "V3.3");
    EXPECT_TRUE(pRoot->SetFromText("QRS \r\n \tV3.2 and more"));
    EXPECT_STREQ(pRoot->m_sFileType.CStr(), "QRS ");
    EXPECT_STREQ(pRoot->m_sVersion.CStr(), "V3.2");
    EXPECT_STREQ(pRoot->GetPreviewText().CStr(), "Type:QRS  Ver:V3.2");
    EXPECT_TRUE(pRoot->SetFromText("AB\nC"));
    EXPECT_STREQ(pRoot->m_sFileType.CStr(), "AB\nC");
    EXPECT_STREQ(pRoot->m_sVersion.CStr(), "");
    EXPECT_TRUE(pRoot->SetFromText("XY"));
    EXPECT_STREQ(pRoot->m_sFileType.CStr(), "XY");
}

TEST(ValueText, EverySixtyFourBitValueReadsBackAsItself)
{
    auto pDword64 = Make<CKvtNodeDWORD64>(ftDWORD64);
    auto pInt64 = Make<CKvtNodeINT64>(ftINT64);
    for (uint64_t nBits : {uint64_t{0}, uint64_t{1}, UINT64_MAX, uint64_t{0x8000000000000000u},
                           uint64_t{0x7FFFFFFFFFFFFFFFu}, uint64_t{0xFEDCBA9876543210u}}) {
        pDword64->m_Value = nBits;
        EXPECT_TRUE(pDword64->SetFromText(pDword64->GetEditText()));
        EXPECT_EQ(pDword64->m_Value, nBits);
        pInt64->m_Value = static_cast<int64_t>(nBits);
        EXPECT_TRUE(pInt64->SetFromText(pInt64->GetEditText()));
        EXPECT_EQ(pInt64->m_Value, static_cast<int64_t>(nBits));
    }
    EXPECT_TRUE(pDword64->SetFromText("-1"));
    EXPECT_EQ(pDword64->m_Value, UINT64_MAX);
    EXPECT_TRUE(pDword64->SetFromText("0xFFFFFFFFFFFFFFFF"));
    EXPECT_EQ(pDword64->m_Value, UINT64_MAX);
}
