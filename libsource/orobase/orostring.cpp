#include "orostring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "orobase.h"

namespace {

// Shared by every Format call; grown in steps of 1024 bytes and never shrunk.
char* s_pFormatScratch = nullptr;
uint32_t s_nFormatScratchSize = 0;

const uint32_t kFormatStep = 1024;
const char kEmpty[1] = {0};

uint32_t TextLength(const char* pText)
{
    return pText ? static_cast<uint32_t>(std::strlen(pText)) : 0;
}

} // namespace

COroString::COroString() : m_pText(nullptr), m_nCapacity(0) {}

COroString::COroString(const char* pText) : m_pText(nullptr), m_nCapacity(0)
{
    AssignText(pText);
}

COroString::COroString(const char* pText, int32_t nLength) : m_pText(nullptr), m_nCapacity(0)
{
    if (nLength < 1)
        return;
    const uint32_t n = static_cast<uint32_t>(nLength);
    m_pText = new char[n + 1];
    m_nCapacity = n + 1;
    // Copying stops at a zero byte in the source; the rest is zero-filled.
    uint32_t i = 0;
    if (pText) {
        const void* pZero = std::memchr(pText, 0, n);
        i = pZero ? static_cast<uint32_t>(static_cast<const char*>(pZero) - pText) : n;
        std::memcpy(m_pText, pText, i);
    }
    std::memset(m_pText + i, 0, n + 1 - i);
}

COroString::COroString(int32_t nValue) : m_pText(nullptr), m_nCapacity(0)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%i", nValue);
    AssignText(buffer);
}

COroString::COroString(const COroString& other) : m_pText(nullptr), m_nCapacity(0)
{
    AssignText(other.m_pText);
}

COroString::COroString(COroString&& other) noexcept : m_pText(other.m_pText), m_nCapacity(other.m_nCapacity)
{
    other.m_pText = nullptr;
    other.m_nCapacity = 0;
}

COroString::~COroString()
{
    Release();
}

void COroString::Release()
{
    delete[] m_pText;
    m_pText = nullptr;
    m_nCapacity = 0;
}

void COroString::AssignText(const char* pText)
{
    const uint32_t n = TextLength(pText);
    // Keep the buffer when the new text fits into it.
    if (m_pText && pText && n + 1 > m_nCapacity)
        Release();
    if (n == 0) {
        Release();
        return;
    }
    if (!m_pText) {
        m_pText = new char[n + 1];
        m_nCapacity = n + 1;
    }
    std::memmove(m_pText, pText, n + 1);
}

COroString& COroString::operator=(const COroString& other)
{
    if (this != &other)
        AssignText(other.m_pText);
    return *this;
}

COroString& COroString::operator=(const char* pText)
{
    if (pText != m_pText || pText == nullptr)
        AssignText(pText);
    return *this;
}

COroString& COroString::operator=(COroString&& other) noexcept
{
    if (this != &other) {
        Release();
        m_pText = other.m_pText;
        m_nCapacity = other.m_nCapacity;
        other.m_pText = nullptr;
        other.m_nCapacity = 0;
    }
    return *this;
}

const char* COroString::CStr() const
{
    return m_pText ? m_pText : kEmpty;
}

int32_t COroString::GetLength() const
{
    return static_cast<int32_t>(TextLength(m_pText));
}

char COroString::operator[](int32_t nPos) const
{
    if (nPos < 0 || nPos >= GetLength())
        return 0;
    return m_pText[nPos];
}

bool COroString::operator==(const COroString& other) const
{
    return *this == other.m_pText;
}

bool COroString::operator==(const char* pText) const
{
    if (m_pText && pText)
        return std::strcmp(m_pText, pText) == 0;
    // An absent text equals another absent text and "".
    const char* pOther = m_pText ? m_pText : pText;
    return pOther == nullptr || pOther[0] == 0;
}

COroString operator+(const COroString& left, const COroString& right)
{
    const uint32_t nLeft = TextLength(left.m_pText);
    const uint32_t nRight = TextLength(right.m_pText);
    if (nRight == 0)
        return left;
    if (nLeft == 0)
        return right;
    COroString result;
    result.m_pText = new char[nLeft + nRight + 1];
    result.m_nCapacity = nLeft + nRight + 1;
    std::memcpy(result.m_pText, left.m_pText, nLeft);
    std::memcpy(result.m_pText + nLeft, right.m_pText, nRight + 1);
    return result;
}

COroString COroString::SubString(int32_t nStart, int32_t nCount) const
{
    const int32_t nLength = GetLength();
    if (nLength == 0 || nStart < 0 || nStart >= nLength || nCount == 0)
        return COroString();
    const int32_t nAvailable = nLength - nStart;
    const int32_t n = (nCount < 0 || nCount > nAvailable) ? nAvailable : nCount;
    return COroString(m_pText + nStart, n);
}

int32_t COroString::Find(const COroString& sub, int32_t nStart) const
{
    if (!m_pText || !sub.m_pText || nStart < 0)
        return -1;
    const int32_t nLength = GetLength();
    if (nStart > nLength)
        return -1;
    const char* pFound = std::strstr(m_pText + nStart, sub.m_pText);
    return pFound ? static_cast<int32_t>(pFound - m_pText) : -1;
}

uint32_t COroString::GetFormatScratchSize()
{
    return s_nFormatScratchSize;
}

void COroString::Format(const char* pFormat, ...)
{
    if (!s_pFormatScratch) {
        s_nFormatScratchSize = kFormatStep;
        s_pFormatScratch = new char[s_nFormatScratchSize];
    }
    va_list args;
    va_start(args, pFormat);
    va_list retry;
    va_copy(retry, args);
    // A missing format is an empty one: it names no argument to read.
    if (!pFormat)
        pFormat = "";
    int nResult = std::vsnprintf(s_pFormatScratch, s_nFormatScratchSize, pFormat, args);
    va_end(args);
    if (nResult >= 0 && static_cast<uint64_t>(nResult) >= s_nFormatScratchSize) {
        // The formatter reports the length it needs: grow in whole steps until it fits.
        const uint64_t nNeeded = static_cast<uint64_t>(nResult) + 1;
        const uint64_t nSize = (nNeeded + kFormatStep - 1) / kFormatStep * kFormatStep;
        delete[] s_pFormatScratch;
        s_nFormatScratchSize = static_cast<uint32_t>(nSize);
        s_pFormatScratch = new char[s_nFormatScratchSize];
        nResult = std::vsnprintf(s_pFormatScratch, s_nFormatScratchSize, pFormat, retry);
    }
    va_end(retry);
    if (nResult < 0) {
        OroWarning("orostring", 793, "COroString::Format() Invalid format string");
        return;
    }
    const uint32_t n = static_cast<uint32_t>(nResult);
    if (!m_pText || n + 1 > m_nCapacity) {
        Release();
        m_pText = new char[n + 1];
        m_nCapacity = n + 1;
    }
    std::memcpy(m_pText, s_pFormatScratch, n);
    m_pText[n] = 0;
}
