#include "DocumentTestSupport.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

// The objects the program entry creates before any document exists.
class CDocumentEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        g_pOroBase = new COroBase;
        g_pOroResMan = new COroResMan;
    }
    void TearDown() override
    {
        delete g_pOroResMan;
        g_pOroResMan = nullptr;
        delete g_pOroBase;
        g_pOroBase = nullptr;
    }
};

const auto* const s_pEnvironment = ::testing::AddGlobalTestEnvironment(new CDocumentEnvironment);

} // namespace

CKvtNodeBase* AddNode(CKvtNodeStruct* pParent, TKvtFieldType nType, const char* pLabel, int32_t nIndex)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    pNode->m_sLabel = pLabel;
    pNode->m_nIndex = nIndex;
    pParent->AddChild(pNode);
    return pNode;
}

CKvtNodeTopLevelStruct* LoadBytes(const std::vector<uint8_t>& bytes, bool* pRefused)
{
    auto* pRoot = new CKvtNodeTopLevelStruct;
    pRoot->LoadDocumentFromMemory(bytes.data(), bytes.size(), "test.kvt", pRefused);
    return pRoot;
}

std::vector<uint8_t> SaveToBytes(CKvtNodeTopLevelStruct* pRoot, bool* pOk)
{
    CTempDir dir;
    const std::string sFile = dir.File("saved.kvt");
    const bool bOk = pRoot->SaveDocument(sFile.c_str());
    if (pOk)
        *pOk = bOk;
    return bOk ? ReadFileBytes(sFile) : std::vector<uint8_t>();
}

namespace {

void OutlineInto(CKvtNodeBase* pNode, int nDepth, std::string& sOut)
{
    sOut.append(static_cast<size_t>(nDepth) * 2, ' ');
    sOut += pNode->m_sLabel.GetLength() ? pNode->m_sLabel.CStr() : std::to_string(pNode->m_nIndex);
    sOut += " ";
    sOut += pNode->GetTypeName().CStr();
    sOut += " ";
    sOut += pNode->GetEditText().CStr();
    if (pNode->GetType() == ftLOCSTRING) {
        auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(pNode);
        for (int32_t i = 0; i < pLoc->m_Value.GetStringCount(); ++i) {
            int32_t nLanguage = 0;
            COroString sText;
            uint8_t nGender = 0;
            pLoc->m_Value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
            sOut += " {" + std::to_string(nLanguage) + "/" + std::to_string(nGender) + ":" + sText.CStr() + "}";
        }
    }
    if (pNode->GetType() == ftBINARY) {
        auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
        sOut += " [" + std::to_string(pBinary->m_nDataSize) + "]";
        for (uint32_t i = 0; i < pBinary->m_nDataSize; ++i)
            sOut += " " + std::to_string(pBinary->m_pData[i]);
    }
    sOut += "\n";
    if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i)
            OutlineInto(pStruct->GetChild(i), nDepth + 1, sOut);
    }
}

} // namespace

std::string Outline(CKvtNodeBase* pNode)
{
    std::string sOut;
    OutlineInto(pNode, 0, sOut);
    return sOut;
}
