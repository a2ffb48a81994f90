#include "bytereader.h"

void CByteReader::Fail()
{
    m_bOk = false;
    m_nOffset = m_bytes.size();
}

void CByteReader::Seek(uint64_t nOffset)
{
    if (!m_bOk || nOffset > m_bytes.size()) {
        Fail();
        return;
    }
    m_nOffset = nOffset;
}
