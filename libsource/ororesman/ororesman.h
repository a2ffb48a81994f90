#pragma once
// Resource objects (CRes), the 16-character resource name (CResRef) and the
// resource manager (COroResMan) with its one global instance g_pOroResMan.
// The editor uses only the release side of the manager: every CRes consults
// it when destroyed, and CResKVT can take data handed over by it.

#include <cstdint>

#include "orolinkedlist.h"
#include "orostring.h"

class CRes;

// The manager's table entry that refers to a resource object. Releasing the
// object clears the entry's pointer so the table never names a dead object.
struct OroResKey_st {
    CRes* pObject;
};

// Status bits kept in CRes::m_nStatus by the manager.
enum : uint32_t {
    ORORES_STATUS_DEMANDED_DATA = 0x4,  // data delivered by the manager
    ORORES_STATUS_KEYED = 0x8,          // object lives in a key table
    ORORES_STATUS_LOCKED_DATA = 0x10,   // data must not be taken away
    ORORES_STATUS_RELEASED = 0x100,     // on the released list (or to be freed when released)
    ORORES_STATUS_KEY_RELEASED = 0x200, // key entry released while keyed
};

class CRes {
public:
    CRes();
    virtual ~CRes();
    CRes(const CRes&) = delete;
    CRes& operator=(const CRes&) = delete;

    // Two queries that subclasses may answer; nothing in this program calls them.
    virtual int32_t GetResType() { return -1; }
    virtual int32_t GetResFlags() { return 0; }
    // The manager is about to take the data away.
    virtual bool OnResourceReleased() { return true; }
    // The manager has just delivered the data.
    virtual bool OnResourceServiced() { return true; }

    uint16_t m_nDemands;
    uint32_t m_nResID;
    uint32_t m_nStatus;
    void* m_pData;
    OroResKey_st* m_pKeyEntry;
    uint32_t m_nDataSize;
    int32_t m_nRefCount;
    int32_t m_bPrefixedData; // data block starts 6 bytes before m_pData
};

// A resource name of exactly 16 bytes, zero-padded, not terminated when full.
class CResRef {
public:
    CResRef();
    // Lower-cased; more than 16 characters is a caller's error (Assert).
    CResRef(const char* pText); // NOLINT: implicit like the plain name it replaces
    // Up to 16 characters, lower-cased.
    CResRef(const COroString& sText); // NOLINT
    // min(nLength, 16) bytes copied as they stand.
    CResRef(const char* pChars, uint32_t nLength);

    // Bytes before the first zero, at most 16.
    uint32_t GetLength() const;
    // The 16 raw bytes (not terminated).
    const char* GetResRef() const { return m_resRef; }
    COroString GetResRefStr() const;
    CResRef GetLowerCase() const;

    bool operator==(const CResRef& other) const;
    bool operator!=(const CResRef& other) const { return !(*this == other); }

private:
    char m_resRef[16];
};

class COroResMan {
public:
    COroResMan();
    ~COroResMan();
    COroResMan(const COroResMan&) = delete;
    COroResMan& operator=(const COroResMan&) = delete;

    // Drops one demand; the previous demand count or -1.
    int32_t Release(CRes* pRes);
    // Undoes one installation in a key entry; the remaining count or 0.
    int32_t ReleaseResObject(CRes* pRes);
    // Takes the data away from a resource that nobody demands.
    bool Free(CRes* pRes);
    // Frees the data when nobody demands it (used by the CRes destructor).
    void FreeIfUnused(CRes* pRes);

    uint32_t GetPhysicalMemory() const { return m_nPhysicalMemory; }
    uint32_t GetTotalBudget() const { return m_nTotalBudget; }
    uint32_t GetAvailableBudget() const { return m_nAvailableBudget; }
    COroLinkedList<CRes>& GetReleasedList() { return m_Released; }
    // Counters of the delivery side, which this program does not build.
    uint32_t GetServiceCount() const { return m_nServiceCount; }
    uint32_t GetFreeCount() const { return m_nFreeCount; }

    // Physical memory as the 32-bit system query reports it (clamped to 0xFFFFFFFF).
    static uint32_t QueryPhysicalMemory();
    // Budget for a given physical memory size: half of it (signed 32-bit
    // halving), at least 16 MiB.
    static uint32_t BudgetForMemory(uint32_t nPhysicalMemory);

private:
    uint32_t m_nPhysicalMemory;
    uint32_t m_nTotalBudget;
    uint32_t m_nAvailableBudget;
    COroLinkedList<CRes> m_Demanded;
    COroLinkedList<CRes> m_Serviced;
    COroLinkedList<CRes> m_Pending;
    COroLinkedList<CRes> m_Keyed;
    COroLinkedList<CRes> m_Released; // released resources that still keep their data
    uint32_t m_nServiceCount;
    uint32_t m_nFreeCount;
};

extern COroResMan* g_pOroResMan;
