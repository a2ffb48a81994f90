#pragma once
// The 16 bytes of a label as a hashable key. Labels compare as all 16 bytes,
// so two halves of 8 bytes each compare exactly like the stored entries.

#include <bit>
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

    // The key of a lookup by this stored label's text: the bytes from its
    // first zero byte on are dropped, as they are when the label is handed
    // out as a terminated string and looked up again.
    KvtLabelKey AsText() const
    {
        bool bEnded = false;
        const uint64_t nLo = UpToZeroByte(lo, bEnded);
        return KvtLabelKey{nLo, bEnded ? 0 : UpToZeroByte(hi, bEnded)};
    }

    // From a terminated label: its first 16 characters, zero-padded, exactly
    // as FromBytes reads them from a stored (little-endian) entry. Built in
    // registers and reading no byte past the terminator: every read by label
    // makes a key, and one copied through memory first stalls the search.
    static KvtLabelKey FromText(const char* pText)
    {
        KvtLabelKey key{0, 0};
        for (uint32_t i = 0; i < 8; ++i) {
            const uint8_t c = static_cast<uint8_t>(pText[i]);
            if (c == 0)
                return key;
            key.lo |= static_cast<uint64_t>(c) << (8 * i);
        }
        for (uint32_t i = 0; i < 8; ++i) {
            const uint8_t c = static_cast<uint8_t>(pText[8 + i]);
            if (c == 0)
                break;
            key.hi |= static_cast<uint64_t>(c) << (8 * i);
        }
        return key;
    }

private:
    // The bytes of v before its first zero byte (little-endian order), the
    // rest zero; bEnded tells whether there was a zero byte.
    static uint64_t UpToZeroByte(uint64_t v, bool& bEnded)
    {
        // The lowest flagged byte is exactly the first zero byte; flags above
        // it may be false alarms, which do not matter here.
        const uint64_t nFlags = (v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
        bEnded = nFlags != 0;
        if (!bEnded)
            return v;
        const int nFirstZero = std::countr_zero(nFlags) / 8;
        return nFirstZero == 0 ? 0 : v & ((1ull << (8 * nFirstZero)) - 1);
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
