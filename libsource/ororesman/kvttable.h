#pragma once
// One table or area of a CResKVT: its records, the room it has for them and
// the step it grows by. The records are either the table's own, freed with
// it, or borrowed from a file image that its holder keeps and frees.
//
// The records are allocated with new[] and left as new[] leaves them: the
// table's owner writes every record it counts as used.

#include <cstdint>
#include <cstring>

enum class TKvtTableOwnership { None, Owned, Borrowed };

template <typename T> class TKvtTable {
public:
    // An empty table whose first growth adds nStep records.
    explicit TKvtTable(uint32_t nStep = 0) : m_nStep(nStep) {}
    ~TKvtTable() { Reset(); }
    TKvtTable(const TKvtTable&) = delete;
    TKvtTable& operator=(const TKvtTable&) = delete;
    TKvtTable(TKvtTable&& other) noexcept
        : m_pRecords(other.m_pRecords), m_nCapacity(other.m_nCapacity), m_nStep(other.m_nStep),
          m_eOwnership(other.m_eOwnership)
    {
        other.Forget();
    }
    TKvtTable& operator=(TKvtTable&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_pRecords = other.m_pRecords;
            m_nCapacity = other.m_nCapacity;
            m_nStep = other.m_nStep;
            m_eOwnership = other.m_eOwnership;
            other.Forget();
        }
        return *this;
    }

    // Room for nCapacity records of the table's own.
    static TKvtTable NewOwned(uint32_t nCapacity)
    {
        TKvtTable table;
        table.m_pRecords = new T[nCapacity];
        table.m_nCapacity = nCapacity;
        table.m_eOwnership = TKvtTableOwnership::Owned;
        return table;
    }
    // nCount records of a file image (none: pRecords may be null).
    static TKvtTable Borrow(T* pRecords, uint32_t nCount)
    {
        TKvtTable table;
        table.m_pRecords = pRecords;
        table.m_nCapacity = nCount;
        table.m_eOwnership = TKvtTableOwnership::Borrowed;
        return table;
    }

    T* Data() const { return m_pRecords; }
    uint32_t Capacity() const { return m_nCapacity; }
    uint32_t Step() const { return m_nStep; }
    bool IsBorrowed() const { return m_eOwnership == TKvtTableOwnership::Borrowed; }

    // Frees records of the table's own, forgets borrowed ones. The growth
    // step belongs to the table, not to its records, and stays.
    void Reset()
    {
        FreeRecords();
        m_nCapacity = 0;
    }
    // Takes over the other table's records and room; the step stays this one's.
    void TakeRecords(TKvtTable&& other)
    {
        FreeRecords();
        m_pRecords = other.m_pRecords;
        m_nCapacity = other.m_nCapacity;
        m_eOwnership = other.m_eOwnership;
        other.Forget();
    }
    // Moves the first nUsed records into room for nNewCapacity; the step doubles.
    void Regrow(uint32_t nUsed, uint32_t nNewCapacity)
    {
        T* pNew = new T[nNewCapacity];
        if (m_pRecords != nullptr && nUsed > 0)
            std::memcpy(pNew, m_pRecords, static_cast<size_t>(nUsed) * sizeof(T));
        FreeRecords();
        m_pRecords = pNew;
        m_eOwnership = TKvtTableOwnership::Owned;
        CountGrowth(nNewCapacity);
    }
    // Regrow for a table whose records are kept in another form: only the
    // room and the step change.
    void CountGrowth(uint32_t nNewCapacity)
    {
        m_nCapacity = nNewCapacity;
        m_nStep = m_nStep >= 0x80000000u ? 0x80000000u : m_nStep * 2;
    }
    // Frees the records but keeps counting their room (see CountGrowth).
    void DropRecords() { FreeRecords(); }
    // Counts no more than nCapacity records as room.
    void LimitCapacity(uint32_t nCapacity)
    {
        if (nCapacity < m_nCapacity)
            m_nCapacity = nCapacity;
    }

private:
    void FreeRecords()
    {
        if (m_eOwnership == TKvtTableOwnership::Owned)
            delete[] m_pRecords;
        m_pRecords = nullptr;
        m_eOwnership = TKvtTableOwnership::None;
    }
    void Forget()
    {
        m_pRecords = nullptr;
        m_nCapacity = 0;
        m_eOwnership = TKvtTableOwnership::None;
    }

    T* m_pRecords = nullptr;
    uint32_t m_nCapacity = 0;
    uint32_t m_nStep = 0;
    TKvtTableOwnership m_eOwnership = TKvtTableOwnership::None;
};
