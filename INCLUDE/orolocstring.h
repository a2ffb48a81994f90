#pragma once
// COroLocString: one text in several languages (each optionally in two
// genders) plus a reference number into an external string table.

#include <cstdint>

#include "orolinkedlist.h"
#include "orostring.h"

struct OroLocString_st {
    int32_t id;        // language * 2 + gender
    COroString text;
};

class COroLocStringInternal {
public:
    COroLocStringInternal() : count(0) {}
    ~COroLocStringInternal() { Clear(); }
    void Clear();

    COroLinkedList<OroLocString_st> list;
    uint32_t count;
};

class COroLocString {
public:
    COroLocString();
    COroLocString(const COroLocString& other);
    // Moves hand the entries over without copying them; the source is left
    // a valid value (empty after construction, holding the target's former
    // entries after assignment).
    COroLocString(COroLocString&& other) noexcept;
    ~COroLocString();
    COroLocString& operator=(const COroLocString& other);
    COroLocString& operator=(COroLocString&& other) noexcept;

    int32_t AddString(int32_t nLanguage, COroString sText, uint8_t nGender);
    int32_t GetString(int32_t nLanguage, COroString& sText, uint8_t nGender) const;
    int32_t GetStringByIndex(uint32_t nIndex, int32_t& nLanguage, COroString& sText, uint8_t& nGender) const;
    int32_t GetStringCount() const;
    int32_t GetStringLength(uint32_t nIndex) const;
    void RemoveString(int32_t nLanguage);
    void RemoveString(int32_t nLanguage, uint8_t nGender);
    void Clear();

    int32_t StrRef;

    // Entry id of (language, gender): language 0 has no gender.
    static int32_t MakeId(int32_t nLanguage, uint8_t nGender);

private:
    const OroLocString_st* FindEntry(int32_t nId) const;
    void CopyEntriesFrom(const COroLocString& other);

    COroLocStringInternal* internal;
};
