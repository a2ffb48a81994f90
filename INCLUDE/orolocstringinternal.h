#pragma once
// COroLocStringInternal: the entries of one COroLocString, in insertion order,
// packed one after another into a single buffer. A localized string usually
// holds a handful of short texts; keeping them in one block instead of an
// object, a list node and a text buffer per entry makes loading a document
// full of them cost a few allocations per value rather than a dozen.
//
// An entry is its id (4 bytes), its text length (4 bytes), the text and a
// zero byte, so every text can be handed out as a terminated string. Entries
// are addressed by their byte position in the buffer; a position stays valid
// until the next change.

#include <cstddef>
#include <cstdint>

class COroLocStringInternal {
public:
    static constexpr size_t kNoEntry = SIZE_MAX;

    COroLocStringInternal();
    ~COroLocStringInternal();
    COroLocStringInternal(const COroLocStringInternal&) = delete;
    COroLocStringInternal& operator=(const COroLocStringInternal&) = delete;

    uint32_t GetCount() const { return m_nCount; }
    // Position of the first entry with the id, or of the nIndex-th entry; kNoEntry when there is none.
    size_t FindId(int32_t nId) const;
    size_t FindIndex(uint32_t nIndex) const;

    int32_t IdAt(size_t nPos) const;
    uint32_t LengthAt(size_t nPos) const;
    // The entry's text, zero-terminated.
    const char* TextAt(size_t nPos) const;

    // The text is nLength bytes without a zero byte among them.
    void Append(int32_t nId, const char* pText, uint32_t nLength);
    // Gives the entry at nPos a new text; it keeps its place among the entries.
    void Replace(size_t nPos, const char* pText, uint32_t nLength);
    void Remove(size_t nPos);
    // Drops every entry and the buffer.
    void Clear();
    // Makes this an exact copy of other's entries (one buffer of the size used).
    void CopyFrom(const COroLocStringInternal& other);
    // Room for nEntries more entries holding nTextBytes of text in all, so
    // that filling a value from a file allocates once.
    void Reserve(uint64_t nEntries, uint64_t nTextBytes);

private:
    static constexpr size_t kHeaderBytes = 8;
    // Bytes an entry with a text of nLength bytes takes.
    static size_t EntryBytes(uint32_t nLength) { return kHeaderBytes + static_cast<size_t>(nLength) + 1; }
    // Moves the entries into a buffer of at least nNeeded bytes.
    void Grow(size_t nNeeded);
    void WriteEntry(size_t nPos, int32_t nId, const char* pText, uint32_t nLength);

    char* m_pBytes;
    size_t m_nUsed;
    size_t m_nCapacity;
    uint32_t m_nCount;
};
