#pragma once
// The JSON writer's output: a block handed to the file when full (or
// appended to a text when there is no file). It is a RapidJSON output stream
// (Put, Flush, and PutReserve/PutUnsafe below, found by argument-dependent
// lookup as for RapidJSON's own buffers), and also lets a caller write a
// claimed stretch of the block through a plain pointer.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

class CKvtJsonSink {
public:
    typedef char Ch;
    // Null pFile: the text is kept for Text().
    explicit CKvtJsonSink(std::FILE* pFile);

    void Put(char c)
    {
        Reserve(1);
        *m_pNext++ = c;
    }
    void PutUnchecked(char c) { *m_pNext++ = c; }
    void Flush() {}
    void Reserve(size_t nCount)
    {
        if (static_cast<size_t>(m_pEnd - m_pNext) < nCount)
            MakeRoom(nCount);
    }
    // Room for nCount characters, written through the pointer returned; the
    // caller then says where it stopped.
    char* Claim(size_t nCount)
    {
        Reserve(nCount);
        return m_pNext;
    }
    void Advance(char* pEnd) { m_pNext = pEnd; }
    // Copies in pieces through the block, however long the text.
    void Append(const char* pText, size_t nLength);

    // Hands what the block holds to the file or the text.
    void FlushBlock();
    std::string& Text() { return m_sText; }
    bool Failed() const { return m_bFailed; }

private:
    void MakeRoom(size_t nCount);

    std::FILE* m_pFile;
    std::vector<char> m_Block;
    char* m_pNext;
    char* m_pEnd;
    std::string m_sText;
    bool m_bFailed = false;
};

inline void PutReserve(CKvtJsonSink& sink, size_t nCount) { sink.Reserve(nCount); }
inline void PutUnsafe(CKvtJsonSink& sink, char c) { sink.PutUnchecked(c); }
