// CResKVT: the typed readers. Each finds the first field with the label; a
// field of another type is reported (the caller used the wrong reader), a
// missing field or a value that does not fit its block fails silently.

#include <bit>
#include <cstring>
#include <type_traits>
#include <utility>

#include "bytereader.h"
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

template <typename T>
T CResKVT::ReadFixed(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, T defaultValue,
                     uint32_t nType, int32_t nLine)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, nType, nLine);
    using TBits = std::conditional_t<sizeof(T) == 8, uint64_t, uint32_t>;
    TBits nBits = 0;
    bool bOk = pField != nullptr;
    if (bOk && sizeof(T) <= 4) {
        // Narrow integers are taken from the low bits of the record's word.
        nBits = pField->data;
    } else if (bOk) {
        CByteReader value(FieldData(pField, 8));
        nBits = static_cast<TBits>(value.U64());
        bOk = value.Ok();
    }
    SetSuccess(pSuccess, bOk);
    if (!bOk)
        return defaultValue;
    if constexpr (std::is_floating_point_v<T>)
        return std::bit_cast<T>(nBits);
    else
        return static_cast<T>(nBits);
}

uint8_t CResKVT::ReadBYTE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint8_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_BYTE, kLineReadBYTE);
}

int8_t CResKVT::ReadCHAR(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int8_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_CHAR, kLineReadCHAR);
}

uint16_t CResKVT::ReadWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint16_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_WORD, kLineReadWORD);
}

int16_t CResKVT::ReadSHORT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int16_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_SHORT, kLineReadSHORT);
}

uint32_t CResKVT::ReadDWORD(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint32_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_DWORD, kLineReadDWORD);
}

int32_t CResKVT::ReadINT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int32_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_INT, kLineReadINT);
}

float CResKVT::ReadFLOAT(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, float fDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, fDefault, KVT_FLOAT, kLineReadFLOAT);
}

uint64_t CResKVT::ReadDWORD64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, uint64_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_DWORD64, kLineReadDWORD64);
}

int64_t CResKVT::ReadINT64(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, int64_t nDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, nDefault, KVT_INT64, kLineReadINT64);
}

double CResKVT::ReadDOUBLE(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess, double fDefault)
{
    return ReadFixed(pStruct, pLabel, pSuccess, fDefault, KVT_DOUBLE, kLineReadDOUBLE);
}

COroString CResKVT::ReadSTRING(const CKvtStructHandle* pStruct, const char* pLabel, int32_t* pSuccess,
                               COroString sDefault)
{
    const KvtField_st* pField = FieldForRead(pStruct, pLabel, KVT_STRING, kLineReadSTRING);
    const auto value = pField != nullptr ? PrefixedValue(pField, 4) : std::nullopt;
    if (!value) {
        SetSuccess(pSuccess, 0);
        return sDefault;
    }
    const char* pChars = reinterpret_cast<const char*>(value->data());
    const size_t nLength = value->size();
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
    const auto value = pField != nullptr ? PrefixedValue(pField, 1) : std::nullopt;
    if (!value) {
        SetSuccess(pSuccess, 0);
        return rDefault;
    }
    SetSuccess(pSuccess, 1);
    // As stored: no case change; the constructor takes at most 16 bytes.
    return CResRef(reinterpret_cast<const char*>(value->data()), static_cast<uint32_t>(value->size()));
}

bool CResKVT::ParseLocString(const KvtField_st* pField, COroLocString& value)
{
    const auto declared = PrefixedValue(pField, 4);
    // The declared size covers at least the StrRef and the substring count.
    if (!declared || declared->size() < 8)
        return false;
    CByteReader reader(*declared);
    value.StrRef = static_cast<int32_t>(reader.U32());
    const uint32_t nCount = reader.U32();
    // Room for the entries in one step: the texts as they will be stored
    // (cut at their first zero byte; an empty one stores nothing), so that a
    // value whose texts are all zero bytes holds no buffer. Exact for a
    // well-formed value; repeated ids are given back at the end.
    uint64_t nEntries = 0;
    uint64_t nTextBytes = 0;
    CByteReader scan = reader;
    for (uint32_t i = 0; i < nCount && scan.Remaining() >= 8; ++i) {
        scan.U32();
        const uint32_t nLength = scan.U32();
        const std::span<const uint8_t> text = scan.Bytes(nLength);
        if (!scan.Ok())
            break;
        const size_t nText = strnlen(reinterpret_cast<const char*>(text.data()), text.size());
        if (nText > 0) {
            ++nEntries;
            nTextBytes += nText;
        }
    }
    value.Reserve(static_cast<uint32_t>(nEntries), nTextBytes);
    // Each substring takes at least 8 of the declared bytes, so a huge stored
    // count ends the loop as soon as the bytes run out.
    for (uint32_t i = 0; i < nCount; ++i) {
        const int32_t nId = static_cast<int32_t>(reader.U32());
        const uint32_t nLength = reader.U32();
        if (nLength > 0x7FFFFFFF)
            return false;
        const std::span<const uint8_t> text = reader.Bytes(nLength);
        if (!reader.Ok())
            return false;
        value.AddString(nId / 2, reinterpret_cast<const char*>(text.data()), static_cast<int32_t>(nLength),
                        static_cast<uint8_t>(nId % 2));
    }
    value.ShrinkToFit();
    return reader.Remaining() == 0;
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
    const auto value = pField != nullptr ? PrefixedValue(pField, 4) : std::nullopt;
    if (!value) {
        SetSuccess(pSuccess, 0);
        return pDefault;
    }
    const size_t nCopy = value->size() < nBufferSize ? value->size() : nBufferSize;
    if (nCopy > 0)
        std::memcpy(pBuffer, value->data(), nCopy);
    SetSuccess(pSuccess, 1);
    return pBuffer;
}
