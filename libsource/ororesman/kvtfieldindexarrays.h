#pragma once
// The field indices area of a file being built, kept as the file would hold
// it but without its abandoned bytes.
//
// While a struct's array is the last block of the area it grows in place;
// once another array follows it, its next field moves the whole array to the
// end and the old copy stays behind, abandoned. A struct whose fields
// alternate with nested structs moves its array at every field, so storing
// the area byte for byte takes memory and time quadratic in its field count.
//
// Here each struct's array lives in a pool with room to double, so adding a
// field costs amortised constant time wherever the array sits in the area.
// The area's own layout (every array's offset, its used size, the abandoned
// bytes) is still computed exactly by the caller; an abandoned copy is only
// noted, as it always holds the first entries of its struct's array as they
// stand now (entries are never changed once written). Materialize writes the
// area byte for byte, abandoned copies included, whenever it is needed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct KvtStruct_st;

class CKvtFieldIndexArrays {
public:
    // Entry nIndex of the struct's array; 0xFFFFFFFF (no field) outside it.
    uint32_t Get(uint32_t nStruct, uint32_t nIndex) const
    {
        if (nStruct >= m_Arrays.size() || nIndex >= m_Arrays[nStruct].nCount)
            return 0xFFFFFFFFu;
        return m_Pool[m_Arrays[nStruct].nOffset + nIndex];
    }
    // A struct's second field: its array starts with both field indices.
    void Start(uint32_t nStruct, uint32_t nFirst, uint32_t nSecond);
    // Appends a field index to a struct's array of nCount entries.
    void Append(uint32_t nStruct, uint32_t nCount, uint32_t nField);
    // The struct's first nCount entries were left behind at nOffset.
    void Abandon(uint32_t nOffset, uint32_t nStruct, uint32_t nCount);
    // Room for nEntries more entries in one step (the pool is never moved
    // while a writer that counted them adds them).
    void Reserve(size_t nEntries) { m_Pool.reserve(m_Pool.size() + nEntries); }
    // A struct about to get nCount fields: its array gets that room at once
    // instead of doubling its way there (each step leaves its old room
    // behind). Only for a struct without an array yet.
    void Expect(uint32_t nStruct, uint32_t nCount);
    // Compaction drops every abandoned copy.
    void ForgetAbandoned() { m_Abandoned.clear(); }

    // Writes the area's nUsed bytes: each struct with two or more fields at
    // its record's offset, each abandoned copy where it was left.
    void Materialize(uint8_t* pArea, uint32_t nUsed, const KvtStruct_st* pStructs, uint32_t nStructCount) const;
    // Whether the arrays lie in the area in struct order without overlapping
    // and no copy was left behind (so after a compaction): the area can then
    // be written piece by piece.
    bool LiesInStructOrder(uint32_t nUsed, const KvtStruct_st* pStructs, uint32_t nStructCount) const;
    // Hands the area's nUsed bytes, as Materialize lays them out, to write in
    // pieces (no copy of the whole area); only where LiesInStructOrder. False
    // when write fails.
    bool WriteInStructOrder(uint32_t nUsed, const KvtStruct_st* pStructs, uint32_t nStructCount,
                            const std::function<bool(const void*, size_t)>& write) const;

private:
    struct Array_st {
        size_t nOffset = 0;
        uint32_t nCount = 0;
        uint32_t nCapacity = 0;
    };
    struct Abandoned_st {
        uint32_t nOffset;
        uint32_t nStruct;
        uint32_t nCount;
    };

    Array_st& ArrayOf(uint32_t nStruct);
    // Moves the array to the end of the pool with twice its room.
    void Relocate(Array_st& array);
    void CompactPool();

    std::vector<uint32_t> m_Pool;
    std::vector<Array_st> m_Arrays; // by struct index
    std::vector<Abandoned_st> m_Abandoned;
    size_t m_nLive = 0; // pool entries reserved by arrays
};
