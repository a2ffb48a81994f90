#pragma once
// Shared details of the CResKVT units: the module name and line numbers that
// reports carry, the constructor's growth steps, and unaligned little-endian
// access to the packed blocks of a file image.

#include <bit>
#include <cstdint>
#include <cstring>

#include "reskvt.h"

static_assert(std::endian::native == std::endian::little, "the file image is little-endian and is used in place");

namespace reskvt {

inline constexpr const char* kModule = "reskvt";

// Report lines, fixed so that users and tests can tell the reports apart.
inline constexpr int32_t kLineTypeNotSet = 225;
inline constexpr int32_t kLineBadVersion = 233;
inline constexpr int32_t kLineNotOpened = 1116;
inline constexpr int32_t kLineDamaged = 1131;
inline constexpr int32_t kLineUnknownType = 1425;
inline constexpr int32_t kLineReadBYTE = 1620;
inline constexpr int32_t kLineReadCHAR = 1651;
inline constexpr int32_t kLineReadWORD = 1682;
inline constexpr int32_t kLineReadSHORT = 1713;
inline constexpr int32_t kLineReadDWORD = 1744;
inline constexpr int32_t kLineReadINT = 1775;
inline constexpr int32_t kLineReadFLOAT = 1807;
inline constexpr int32_t kLineReadDWORD64 = 1841;
inline constexpr int32_t kLineReadINT64 = 1880;
inline constexpr int32_t kLineReadDOUBLE = 1920;
inline constexpr int32_t kLineReadRESREF = 1961;
inline constexpr int32_t kLineReadSTRING = 2007;
inline constexpr int32_t kLineReadLOCSTRING = 2055;
inline constexpr int32_t kLineReadBINARY = 2136;
inline constexpr int32_t kLineCompactFieldIndices = 3335;
inline constexpr int32_t kLineCompactListIndices = 3377;

// Initial capacities of an empty object made editable; also the first growth steps.
inline constexpr uint32_t kInitialStructs = 110;
inline constexpr uint32_t kInitialFields = 646;
inline constexpr uint32_t kInitialLabels = 98;
inline constexpr uint32_t kInitialFieldData = 1836;
inline constexpr uint32_t kInitialFieldIndices = 4052;
inline constexpr uint32_t kInitialListIndices = 4052;

inline constexpr uint32_t kNone = 0xFFFFFFFFu;
inline constexpr uint32_t kHeaderSize = 56;
inline constexpr char kVersion[4] = {'V', '3', '.', '2'};

inline uint32_t LoadU32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline void StoreU32(uint8_t* p, uint32_t v)
{
    std::memcpy(p, &v, 4);
}

// At most 16 characters of a terminated label, zero-padded.
inline KvtLabel_st MakeLabelKey(const char* pLabel)
{
    KvtLabel_st key{};
    std::memcpy(key.name, pLabel, strnlen(pLabel, sizeof key.name));
    return key;
}

} // namespace reskvt
