#pragma once
// The 16 bytes of a label as a hashable key. Labels compare as all 16 bytes,
// so two halves of 8 bytes each compare exactly like the stored entries.

#include <cstddef>
#include <cstdint>
#include <cstring>

struct KvtLabelKey {
    uint64_t lo;
    uint64_t hi;

    bool operator==(const KvtLabelKey& other) const { return lo == other.lo && hi == other.hi; }

    // From 16 raw bytes (a label table entry or a list handle's label).
    static KvtLabelKey FromBytes(const void* pBytes)
    {
        KvtLabelKey key;
        std::memcpy(&key.lo, pBytes, 8);
        std::memcpy(&key.hi, static_cast<const uint8_t*>(pBytes) + 8, 8);
        return key;
    }
};

struct KvtLabelKeyHash {
    size_t operator()(const KvtLabelKey& key) const
    {
        uint64_t h = key.lo * 0x9E3779B97F4A7C15ull;
        h ^= (key.hi + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full;
        return static_cast<size_t>(h ^ (h >> 29));
    }
};
