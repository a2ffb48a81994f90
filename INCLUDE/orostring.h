#pragma once
// COroString: the single-byte string value type used below the window.
// An empty string owns no buffer; an absent text and "" compare equal; a
// buffer is reused when a new value fits; Format grows one shared scratch
// buffer until any result fits.

#include <cstdint>

class COroString {
public:
    COroString();
    COroString(const char* pText);            // NOLINT: implicit like a plain char array
    COroString(const char* pText, int32_t nLength);
    explicit COroString(int32_t nValue);
    COroString(const COroString& other);
    COroString(COroString&& other) noexcept;
    ~COroString();

    COroString& operator=(const COroString& other);
    COroString& operator=(const char* pText);
    COroString& operator=(COroString&& other) noexcept;

    // Never null: an empty string yields a static "".
    const char* CStr() const;
    int32_t GetLength() const;
    // Size of the owned buffer in bytes, terminator included; 0 without one.
    uint32_t GetCapacity() const { return m_nCapacity; }
    bool HasBuffer() const { return m_pText != nullptr; }

    // The byte at nPos, or the zero byte outside 0 <= nPos < length.
    char operator[](int32_t nPos) const;

    bool operator==(const COroString& other) const;
    bool operator==(const char* pText) const;
    bool operator!=(const COroString& other) const { return !(*this == other); }
    bool operator!=(const char* pText) const { return !(*this == pText); }

    friend COroString operator+(const COroString& left, const COroString& right);

    COroString SubString(int32_t nStart, int32_t nCount) const;
    int32_t Find(const COroString& sub, int32_t nStart = 0) const;

    // printf-style formatting into this string (see the class comment).
    void Format(const char* pFormat, ...) __attribute__((format(printf, 2, 3)));

    // Size of the process-wide scratch buffer used by Format (0 before first use).
    static uint32_t GetFormatScratchSize();

private:
    void Release();
    void AssignText(const char* pText);

    char* m_pText;
    uint32_t m_nCapacity;
};
