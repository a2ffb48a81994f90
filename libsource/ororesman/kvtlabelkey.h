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
    // Labels often differ only in a few bytes (Field1, Field2, ...), so both
    // halves are folded together and every bit is mixed into every other
    // (the 64-bit finaliser of MurmurHash3): lookups split the high and the
    // low half of the result between slot and tag.
    size_t operator()(const KvtLabelKey& key) const
    {
        uint64_t h = key.lo ^ (key.hi * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull);
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 33;
        return static_cast<size_t>(h);
    }
};
