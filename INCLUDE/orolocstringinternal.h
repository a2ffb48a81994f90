#pragma once
// COroLocStringInternal: the entries of one COroLocString, packed one after
// another into a single buffer. A localized string usually holds a handful
// of short texts; keeping them in one block instead of an object, a list node
// and a text buffer per entry makes loading a document full of them cost a
// few allocations per value rather than a dozen.
//
// An entry is its id (4 bytes), its text length (4 bytes), the text and a
// zero byte, so every text can be handed out as a terminated string. Entries
// are addressed by their byte position in the buffer; a position stays valid
// until the next change.
//
// A value of more than a few entries gets an index beside the buffer (see
// orolocstringindex.h): finding an entry by id or by its place in the order
// then takes constant time, and a text that changes length is written anew
// at the end of the buffer instead of moving every entry behind it. The
// abandoned copy is reclaimed once such copies take half the buffer. So
// every operation but removal costs amortised constant time per entry, and
// a value read from a file with many entries is read in linear time.

#include <cstddef>
#include <cstdint>

class COroLocStringIndex;

class COroLocStringInternal {
public:
    static constexpr size_t kNoEntry = SIZE_MAX;

    COroLocStringInternal();
    ~COroLocStringInternal();
    COroLocStringInternal(const COroLocStringInternal&) = delete;
    COroLocStringInternal& operator=(const COroLocStringInternal&) = delete;

    uint32_t GetCount() const { return m_nCount; }
    // Position of the first entry with the id, or of the nIndex-th entry in
    // insertion order; kNoEntry when there is none.
    size_t FindId(int32_t nId) const;
    size_t FindIndex(uint32_t nIndex) const;

    int32_t IdAt(size_t nPos) const;
    uint32_t LengthAt(size_t nPos) const;
    // The entry's text, zero-terminated.
    const char* TextAt(size_t nPos) const;

    // The text is nLength bytes without a zero byte among them, and does not
    // lie inside this object's buffer.
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
    // Gives back every byte of the buffer that holds no current entry.
    void ShrinkToFit();
    // Bytes the buffer holds room for (for tests of what a value keeps).
    size_t GetCapacity() const { return m_nCapacity; }

private:
    static constexpr size_t kHeaderBytes = 8;
    // Values of up to this many entries are searched by walking the buffer.
    static constexpr uint32_t kLinearEntries = 8;
    // Bytes an entry with a text of nLength bytes takes.
    static size_t EntryBytes(uint32_t nLength) { return kHeaderBytes + static_cast<size_t>(nLength) + 1; }
    // Moves the entries into a buffer of at least nNeeded bytes.
    void Grow(size_t nNeeded);
    void WriteEntry(size_t nPos, int32_t nId, const char* pText, uint32_t nLength);
    // The index, built from the buffer when there is none yet.
    COroLocStringIndex& Index() const;
    // Rewrites the current entries in insertion order into a buffer of
    // exactly their size; the abandoned copies are gone afterwards.
    void Repack();

    char* m_pBytes;
    size_t m_nUsed;
    size_t m_nCapacity;
    // Bytes of entries whose text was written anew elsewhere. While it is 0,
    // the buffer holds exactly the entries, in insertion order.
    size_t m_nAbandoned;
    uint32_t m_nCount;
    // Built on demand; its positions follow every change.
    mutable COroLocStringIndex* m_pIndex;
};
