#include "bytereader.h"

void CByteReader::Fail()
{
    m_bOk = false;
    m_nOffset = m_bytes.size();
}

std::span<const uint8_t> CByteReader::Bytes(uint64_t nBytes)
{
    // m_nOffset never passes the end, so the subtraction cannot wrap.
    if (!m_bOk || nBytes > m_bytes.size() - m_nOffset) {
        Fail();
        return {};
    }
    const std::span<const uint8_t> taken = m_bytes.subspan(static_cast<size_t>(m_nOffset), static_cast<size_t>(nBytes));
    m_nOffset += nBytes;
    return taken;
}

void CByteReader::Seek(uint64_t nOffset)
{
    if (!m_bOk || nOffset > m_bytes.size()) {
        Fail();
        return;
    }
    m_nOffset = nOffset;
}

uint64_t CByteReader::Value(size_t nBytes)
{
    const std::span<const uint8_t> bytes = Bytes(nBytes);
    uint64_t nValue = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const size_t nIndex = m_eOrder == TByteOrder::Big ? i : bytes.size() - 1 - i;
        nValue = (nValue << 8) | bytes[nIndex];
    }
    return nValue;
}
