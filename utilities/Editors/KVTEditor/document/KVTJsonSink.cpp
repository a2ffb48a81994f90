#include "KVTJsonSink.h"

#include <cstring>

namespace {

constexpr size_t kBlock = 1 << 16;

} // namespace

CKvtJsonSink::CKvtJsonSink(std::FILE* pFile) : m_pFile(pFile), m_Block(kBlock)
{
    m_pNext = m_Block.data();
    m_pEnd = m_pNext + m_Block.size();
}

void CKvtJsonSink::Append(const char* pText, size_t nLength)
{
    while (nLength > 0) {
        if (m_pNext == m_pEnd)
            FlushBlock();
        const size_t nRoom = static_cast<size_t>(m_pEnd - m_pNext);
        const size_t nPart = nLength < nRoom ? nLength : nRoom;
        std::memcpy(m_pNext, pText, nPart);
        m_pNext += nPart;
        pText += nPart;
        nLength -= nPart;
    }
}

void CKvtJsonSink::FlushBlock()
{
    const size_t nSize = static_cast<size_t>(m_pNext - m_Block.data());
    if (m_pFile) {
        if (nSize > 0 && std::fwrite(m_Block.data(), 1, nSize, m_pFile) != nSize)
            m_bFailed = true;
    } else {
        m_sText.append(m_Block.data(), nSize);
    }
    m_pNext = m_Block.data();
}

void CKvtJsonSink::MakeRoom(size_t nCount)
{
    FlushBlock();
    if (m_Block.size() < nCount) {
        m_Block.resize(nCount);
        m_pNext = m_Block.data();
    }
    m_pEnd = m_Block.data() + m_Block.size();
}
