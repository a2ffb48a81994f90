#include "RandomDocument.h"

#include <string>
#include <vector>

namespace {

const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
const char kPrintable[] = " !#$%&()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_abcdefghijklmnopqrstuvwxyz{|}~";

// Containers deeper than this are not made by the generator (pastes may
// still nest deeper).
constexpr int32_t kMaxDepth = 4;

class CDocumentFiller {
public:
    CDocumentFiller(CRandomSource& random, int32_t nNodes) : m_Random(random), m_nBudget(nNodes) {}

    void FillStruct(CKvtNodeStruct* pStruct, int32_t nDepth)
    {
        const int32_t nFields = m_Random.Between(5, 30);
        for (int32_t i = 0; i < nFields && m_nBudget > 0; ++i) {
            const TKvtFieldType nType = PickType(nDepth);
            CKvtNodeBase* pNode = CreateKvtNode(nType);
            pNode->m_sLabel = (m_Random.Text(1, kLetters) + std::to_string(i) +
                               m_Random.Text(static_cast<size_t>(m_Random.Between(0, 8)), kLetters))
                                  .substr(0, 16)
                                  .c_str();
            pNode->m_nIndex = i;
            pStruct->AddChild(pNode);
            --m_nBudget;
            FillNode(pNode, nDepth);
        }
    }

private:
    TKvtFieldType PickType(int32_t nDepth)
    {
        // About one container in six fields while the depth allows.
        if (nDepth < kMaxDepth && m_Random.Percent(16))
            return m_Random.Percent(50) ? ftSTRUCT : ftLIST;
        // Localized strings on about one field in twenty.
        if (m_Random.Percent(5))
            return ftLOCSTRING;
        static const TKvtFieldType kLeaves[] = {ftBYTE,  ftCHAR,  ftWORD,   ftSHORT,  ftDWORD,  ftINT,   ftDWORD64,
                                                ftINT64, ftFLOAT, ftDOUBLE, ftSTRING, ftRESREF, ftBINARY};
        return kLeaves[m_Random.Below(sizeof kLeaves / sizeof kLeaves[0])];
    }

    void FillNode(CKvtNodeBase* pNode, int32_t nDepth)
    {
        switch (pNode->GetType()) {
        case ftSTRUCT:
            pNode->SetStructID(m_Random.Below(50));
            FillStruct(pNode->GetStructNode(), nDepth + 1);
            break;
        case ftLIST: {
            const int32_t nElements = m_Random.Between(0, 4);
            for (int32_t e = 0; e < nElements && m_nBudget > 0; ++e) {
                CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
                pElement->m_nIndex = e;
                pElement->SetStructID(m_Random.Below(50));
                pNode->GetStructNode()->AddChild(pElement);
                --m_nBudget;
                FillStruct(pElement->GetStructNode(), nDepth + 1);
            }
            break;
        }
        case ftLOCSTRING: {
            auto* pLoc = static_cast<CKvtNodeLOCSTRING*>(pNode);
            pLoc->SetFromText(std::to_string(m_Random.Between(-1, 5000)).c_str());
            const int32_t nLanguages = m_Random.Between(1, 3);
            for (int32_t l = 0; l < nLanguages; ++l) {
                const std::string sText = m_Random.Text(static_cast<size_t>(m_Random.Between(1, 20)), kPrintable);
                pLoc->m_Value.AddString(m_Random.Between(0, 6), sText.c_str(), static_cast<uint8_t>(m_Random.Below(2)));
            }
            break;
        }
        case ftBINARY: {
            auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
            pBinary->m_nDataSize = m_Random.Below(40);
            pBinary->m_pData = pBinary->m_nDataSize ? new uint8_t[pBinary->m_nDataSize] : nullptr;
            for (uint32_t b = 0; b < pBinary->m_nDataSize; ++b)
                pBinary->m_pData[b] = static_cast<uint8_t>(m_Random.Below(256));
            break;
        }
        default: pNode->SetFromText(RandomValueText(m_Random, pNode->GetType()).c_str()); break;
        }
    }

    CRandomSource& m_Random;
    int32_t m_nBudget;
};

std::string RandomInteger(CRandomSource& random)
{
    switch (random.Below(8)) {
    case 0: return std::to_string(random.Below(256));
    case 1: return std::to_string(-static_cast<int64_t>(random.Below(70000)));
    case 2: return "0x" + random.Text(static_cast<size_t>(random.Between(1, 16)), "0123456789abcdefABCDEF");
    case 3: return std::to_string(random.Next());
    case 4: return "0" + random.Text(static_cast<size_t>(random.Between(1, 6)), "01234567");
    case 5: return random.Text(static_cast<size_t>(random.Between(0, 4)), " -+x0129abz.");
    default: return std::to_string(random.Below(100000));
    }
}

std::string RandomReal(CRandomSource& random)
{
    switch (random.Below(5)) {
    case 0: return std::to_string(random.Between(-1000, 1000)) + "." + std::to_string(random.Below(100000));
    case 1: return std::to_string(random.Below(1000)) + "e" + std::to_string(random.Between(-40, 40));
    case 2: return random.Text(static_cast<size_t>(random.Between(0, 4)), " -+e.0129nai");
    default: return std::to_string(random.Between(-100, 100)) + "." + std::to_string(random.Below(1000));
    }
}

} // namespace

void FillRandomDocument(CKvtNodeTopLevelStruct& root, CRandomSource& random, int32_t nNodes)
{
    root.m_sFileType = "RAND";
    root.m_sVersion = "V3.2";
    CDocumentFiller filler(random, nNodes);
    // More top-level fields until the budget is spent, each struct filled
    // on its own.
    filler.FillStruct(&root, 0);
}

std::string RandomValueText(CRandomSource& random, TKvtFieldType nType)
{
    switch (nType) {
    case ftFLOAT:
    case ftDOUBLE: return RandomReal(random);
    case ftSTRING: return random.Text(static_cast<size_t>(random.Between(0, 40)), kPrintable);
    case ftRESREF: return random.Text(static_cast<size_t>(random.Between(0, 20)), kLetters);
    case ftLOCSTRING: return random.Percent(80) ? std::to_string(random.Between(-1, 100000)) : RandomInteger(random);
    default: return RandomInteger(random);
    }
}
