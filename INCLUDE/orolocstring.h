#pragma once
// COroLocString: one text in several languages (each optionally in two
// genders) plus a reference number into an external string table.

#include <cstdint>

#include "orolocstringinternal.h"
#include "orostring.h"

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
    // AddString(nLanguage, COroString(pText, nLength), nGender) without
    // building the string first: the text ends at nLength bytes or at its
    // first zero byte, whichever comes first.
    int32_t AddString(int32_t nLanguage, const char* pText, int32_t nLength, uint8_t nGender);
    int32_t GetString(int32_t nLanguage, COroString& sText, uint8_t nGender) const;
    int32_t GetStringByIndex(uint32_t nIndex, int32_t& nLanguage, COroString& sText, uint8_t& nGender) const;
    int32_t GetStringCount() const;
    int32_t GetStringLength(uint32_t nIndex) const;
    void RemoveString(int32_t nLanguage);
    void RemoveString(int32_t nLanguage, uint8_t nGender);
    void Clear();
    // Makes room for nEntries more entries with nTextBytes of text in all;
    // a reader that knows a value's size calls it before adding the entries.
    // Changes no result.
    void Reserve(uint32_t nEntries, uint64_t nTextBytes);
    // Gives back the room that holds no entry; a reader calls it once a
    // value is complete. Changes no result.
    void ShrinkToFit();
    // Bytes held for the entries (room included).
    size_t GetCapacity() const;

    int32_t StrRef;

    // Entry id of (language, gender): language 0 has no gender.
    static int32_t MakeId(int32_t nLanguage, uint8_t nGender);

private:
    // Stores a text of nLength bytes (no zero byte among them) under the id.
    int32_t StoreText(int32_t nId, const char* pText, uint32_t nLength);

    COroLocStringInternal* internal;
};
