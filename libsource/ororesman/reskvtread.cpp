// CResKVT: the typed readers. Each finds the first field with the label; a
// field of another type is reported (the caller used the wrong reader), a
// missing field or a value that does not fit its block fails silently.

#include <cstring>
#include <utility>

#include "orobase.h"
#include "reskvt.h"
#include "reskvtinternal.h"

using namespace reskvt;

namespace {

void SetSuccess(int32_t* pSuccess, int32_t bValue)
{
    if (pSuccess != nullptr)
        *pSuccess = bValue;
}

} // namespace

KvtField_st* CResKVT::FieldForRead(const CKvtStructHandle* pStruct, const char* pLabel, uint32_t nType, int32_t nLine)
{
    if (pStruct == nullptr || pLabel == nullptr)
        return nullptr;
    KvtField_st* pField = FindField(pStruct, pLabel, -1);
    if (pField == nullptr)
        return nullptr;
    if (pField->type != nType) {
        OroWarning(kModule, nLine);
        return nullptr;
    }
    return pField;
}

uint8_t CResKVT::ReadBYTE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint8_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_BYTE, kLineReadBYTE);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? static_cast<uint8_t>(pField->data) : nDefault;
}

int8_t CResKVT::ReadCHAR(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int8_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_CHAR, kLineReadCHAR);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? static_cast<int8_t>(pField->data & 0xFF) : nDefault;
}

uint16_t CResKVT::ReadWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint16_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_WORD, kLineReadWORD);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? static_cast<uint16_t>(pField->data) : nDefault;
}

int16_t CResKVT::ReadSHORT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int16_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_SHORT, kLineReadSHORT);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? static_cast<int16_t>(pField->data & 0xFFFF) : nDefault;
}

uint32_t CResKVT::ReadDWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint32_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_DWORD, kLineReadDWORD);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? pField->data : nDefault;
}

int32_t CResKVT::ReadINT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int32_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_INT, kLineReadINT);
    SetSuccess(pSuccess, pField != nullptr);
    return pField != nullptr ? static_cast<int32_t>(pField->data) : nDefault;
}

float CResKVT::ReadFLOAT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, float fDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_FLOAT, kLineReadFLOAT);
    SetSuccess(pSuccess, pField != nullptr);
    if (pField == nullptr)
        return fDefault;
    const uint32_t nBits = pField->data;
    float fValue;
    std::memcpy(&fValue, &nBits, 4);
    return fValue;
}

// The 8 bytes of a DWORD64, INT64 or DOUBLE value, when they lie inside the block.
static bool EightBytes(const uint8_t* pFieldData, int64_t nAvailable, uint32_t nOffset, uint64_t* pBits)
{
    if (nAvailable < 8)
        return false;
    std::memcpy(pBits, pFieldData + nOffset, 8);
    return true;
}

uint64_t CResKVT::ReadDWORD64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint64_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_DWORD64, kLineReadDWORD64);
    uint64_t nBits = 0;
    const bool bOk = pField != nullptr && EightBytes(m_pFieldData, FieldDataBytes(pField), pField->data, &nBits);
    SetSuccess(pSuccess, bOk);
    return bOk ? nBits : nDefault;
}

int64_t CResKVT::ReadINT64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int64_t nDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_INT64, kLineReadINT64);
    uint64_t nBits = 0;
    const bool bOk = pField != nullptr && EightBytes(m_pFieldData, FieldDataBytes(pField), pField->data, &nBits);
    SetSuccess(pSuccess, bOk);
    return bOk ? static_cast<int64_t>(nBits) : nDefault;
}

double CResKVT::ReadDOUBLE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, double fDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_DOUBLE, kLineReadDOUBLE);
    uint64_t nBits = 0;
    const bool bOk = pField != nullptr && EightBytes(m_pFieldData, FieldDataBytes(pField), pField->data, &nBits);
    SetSuccess(pSuccess, bOk);
    if (!bOk)
        return fDefault;
    double fValue;
    std::memcpy(&fValue, &nBits, 8);
    return fValue;
}

COroString CResKVT::ReadSTRING(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess,
                               COroString sDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_STRING, kLineReadSTRING);
    uint32_t nLength = 0;
    if (pField == nullptr || !PrefixedLength(pField, 4, &nLength)) {
        SetSuccess(pSuccess, 0);
        return sDefault;
    }
    const char* pChars = reinterpret_cast<const char*>(m_pFieldData + pField->data + 4);
    // The text ends at its length or at its first zero byte, whichever comes first.
    const void* pZero = std::memchr(pChars, 0, nLength);
    const size_t nText = pZero != nullptr ? static_cast<size_t>(static_cast<const char*>(pZero) - pChars) : nLength;
    if (nText > 0x7FFFFFFF) {
        SetSuccess(pSuccess, 0);
        return sDefault;
    }
    SetSuccess(pSuccess, 1);
    return COroString(pChars, static_cast<int32_t>(nText));
}

CResRef CResKVT::ReadRESREF(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, CResRef rDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_RESREF, kLineReadRESREF);
    uint32_t nLength = 0;
    if (pField == nullptr || !PrefixedLength(pField, 1, &nLength)) {
        SetSuccess(pSuccess, 0);
        return rDefault;
    }
    SetSuccess(pSuccess, 1);
    // As stored: no case change; the constructor takes at most 16 bytes.
    return CResRef(reinterpret_cast<const char*>(m_pFieldData + pField->data + 1), nLength);
}

bool CResKVT::ParseLocString(const KvtField_st* pField, COroLocString& value)
{
    uint32_t nTotal = 0;
    // The declared size covers at least the StrRef and the substring count.
    if (!PrefixedLength(pField, 4, &nTotal) || nTotal < 8)
        return false;
    const uint8_t* pValue = m_pFieldData + pField->data + 4;
    value.StrRef = static_cast<int32_t>(LoadU32(pValue));
    const uint32_t nCount = LoadU32(pValue + 4);
    const uint8_t* pNext = pValue + 8;
    uint32_t nRemaining = nTotal - 8;
    // Room for the entries in one step: each takes its 8 header bytes of the
    // declared size, the rest is text (exact for a well-formed value).
    const uint32_t nFitting = nRemaining / 8;
    const uint32_t nEntries = nCount < nFitting ? nCount : nFitting;
    value.Reserve(nEntries, nRemaining - static_cast<uint64_t>(nEntries) * 8);
    // Each substring takes at least 8 bytes of what the declared size leaves,
    // so a huge stored count ends the loop as soon as the bytes run out.
    for (uint32_t i = 0; i < nCount; ++i) {
        if (nRemaining < 8)
            return false;
        const int32_t nId = static_cast<int32_t>(LoadU32(pNext));
        const uint32_t nLength = LoadU32(pNext + 4);
        nRemaining -= 8;
        if (nLength > nRemaining || nLength > 0x7FFFFFFF)
            return false;
        value.AddString(nId / 2, reinterpret_cast<const char*>(pNext + 8), static_cast<int32_t>(nLength),
                        static_cast<uint8_t>(nId % 2));
        nRemaining -= nLength;
        pNext += 8 + static_cast<size_t>(nLength);
    }
    return nRemaining == 0;
}

COroLocString CResKVT::ReadLOCSTRING(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess,
                                     COroLocString lsDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_LOCSTRING, kLineReadLOCSTRING);
    // One value is returned on every path, so it is built in place; on a
    // failure the substrings read so far are dropped for the default.
    COroLocString result;
    const bool bRead = pField != nullptr && ParseLocString(pField, result);
    SetSuccess(pSuccess, bRead ? 1 : 0);
    if (!bRead)
        result = std::move(lsDefault);
    return result;
}

bool CResKVT::ReadLOCSTRINGInto(const CKvtStructHandle* pStruct, const char* pLabel, COroLocString& value)
{
    value.Clear();
    value.StrRef = -1;
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_LOCSTRING, kLineReadLOCSTRING);
    if (pField != nullptr && ParseLocString(pField, value))
        return true;
    value.Clear();
    value.StrRef = -1;
    return false;
}

void* CResKVT::ReadBINARY(const CKvtStructHandle* pStruct, void* pBuffer, uint32_t nBufferSize, const char* pLabel,
                          int32_t* pSuccess, void* pDefault)
{
    // A caller holding no buffer may still read an empty value (size 0).
    if (pBuffer == nullptr && nBufferSize != 0) {
        SetSuccess(pSuccess, 0);
        return pDefault;
    }
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_BINARY, kLineReadBINARY);
    uint32_t nLength = 0;
    if (pField == nullptr || !PrefixedLength(pField, 4, &nLength)) {
        SetSuccess(pSuccess, 0);
        return pDefault;
    }
    const uint32_t nCopy = nLength < nBufferSize ? nLength : nBufferSize;
    if (nCopy > 0)
        std::memcpy(pBuffer, m_pFieldData + pField->data + 4, nCopy);
    SetSuccess(pSuccess, 1);
    return pBuffer;
}
