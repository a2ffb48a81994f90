#include "BenchLeafFactory.h"

namespace {

template <typename T, TKvtFieldType Type> void SetValue(CKvtNodeBase* pNode, T value)
{
    static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value = value;
}

const TKvtFieldType kPlainTypes[] = {ftBYTE,  ftCHAR,  ftWORD,   ftSHORT,  ftDWORD,  ftINT,   ftDWORD64,
                                     ftINT64, ftFLOAT, ftDOUBLE, ftSTRING, ftRESREF, ftBINARY};

} // namespace

TKvtFieldType CBenchLeafFactory::PickLeafType()
{
    if (m_Random.OneIn(20))
        return ftLOCSTRING;
    if (m_Random.OneIn(30))
        return ftBINARY;
    // The twelve plain types before BINARY in the table.
    return kPlainTypes[m_Random.Between(0, 11)];
}

TKvtFieldType CBenchLeafFactory::PickPlainLeafType()
{
    return kPlainTypes[m_Random.Between(0, static_cast<int64_t>(std::size(kPlainTypes)) - 1)];
}

std::string CBenchLeafFactory::MakeText(int32_t nMinLength, int32_t nMaxLength)
{
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789     .,-'";
    const int64_t nLength = m_Random.Between(nMinLength, nMaxLength);
    std::string sText;
    sText.reserve(static_cast<size_t>(nLength));
    for (int64_t i = 0; i < nLength; ++i)
        sText += kAlphabet[m_Random.Between(0, static_cast<int64_t>(sizeof kAlphabet) - 2)];
    return sText;
}

void CBenchLeafFactory::FillLocString(COroLocString& value)
{
    value.StrRef = m_Random.OneIn(2) ? -1 : static_cast<int32_t>(m_Random.Between(0, 200000));
    const int64_t nLanguages = m_Random.Between(1, 3);
    const int64_t nFirst = m_Random.Between(0, 4);
    for (int64_t i = 0; i < nLanguages; ++i) {
        const int32_t nLanguage = static_cast<int32_t>(nFirst + i);
        const uint8_t nGender = static_cast<uint8_t>(m_Random.Between(0, 1));
        value.AddString(nLanguage, COroString(MakeText(5, 40).c_str()), nGender);
    }
}

void CBenchLeafFactory::FillBinary(CKvtNodeBINARY* pNode)
{
    const uint32_t nSize = static_cast<uint32_t>(m_Random.Between(4, 64));
    pNode->m_pData = new uint8_t[nSize];
    for (uint32_t i = 0; i < nSize; ++i)
        pNode->m_pData[i] = static_cast<uint8_t>(m_Random.Next());
    pNode->m_nDataSize = nSize;
}

CKvtNodeBase* CBenchLeafFactory::MakeLeaf(TKvtFieldType nType)
{
    CKvtNodeBase* pNode = CreateKvtNode(nType);
    const uint64_t nBits = m_Random.Next();
    switch (nType) {
    case ftBYTE: SetValue<uint8_t, ftBYTE>(pNode, static_cast<uint8_t>(nBits)); break;
    case ftCHAR: SetValue<int8_t, ftCHAR>(pNode, static_cast<int8_t>(m_Random.Between(32, 126))); break;
    case ftWORD: SetValue<uint16_t, ftWORD>(pNode, static_cast<uint16_t>(nBits)); break;
    case ftSHORT: SetValue<int16_t, ftSHORT>(pNode, static_cast<int16_t>(nBits)); break;
    case ftDWORD: SetValue<uint32_t, ftDWORD>(pNode, static_cast<uint32_t>(nBits % 100000)); break;
    case ftINT: SetValue<int32_t, ftINT>(pNode, static_cast<int32_t>(m_Random.Between(-5000, 5000))); break;
    case ftDWORD64: SetValue<uint64_t, ftDWORD64>(pNode, nBits); break;
    case ftINT64: SetValue<int64_t, ftINT64>(pNode, static_cast<int64_t>(nBits)); break;
    case ftFLOAT: SetValue<float, ftFLOAT>(pNode, static_cast<float>(m_Random.Between(-100000, 100000)) / 64.0f); break;
    case ftDOUBLE:
        SetValue<double, ftDOUBLE>(pNode, static_cast<double>(m_Random.Between(-1000000, 1000000)) / 3.0);
        break;
    case ftSTRING: SetValue<COroString, ftSTRING>(pNode, COroString(MakeText(5, 40).c_str())); break;
    case ftRESREF: {
        std::string sName;
        const int64_t nLength = m_Random.Between(4, 16);
        for (int64_t i = 0; i < nLength; ++i)
            sName += static_cast<char>('a' + m_Random.Between(0, 25));
        pNode->SetFromText(COroString(sName.c_str()));
        break;
    }
    case ftLOCSTRING: FillLocString(static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value); break;
    case ftBINARY: FillBinary(static_cast<CKvtNodeBINARY*>(pNode)); break;
    default: break;
    }
    return pNode;
}
