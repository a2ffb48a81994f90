#include <cstring>

#include "asciitext.h"
#include "orobase.h"
#include "ororesman.h"
#include "ororesmaninternal.h"

CResRef::CResRef()
{
    std::memset(m_resRef, 0, sizeof(m_resRef));
}

CResRef::CResRef(const char* pText)
{
    std::memset(m_resRef, 0, sizeof(m_resRef));
    if (pText == nullptr)
        return;
    if (std::strlen(pText) > sizeof(m_resRef))
        OroAssert(ororesman::kModule, ororesman::kLineResRefTooLong, pText);
    for (size_t i = 0; i < sizeof(m_resRef) && pText[i] != '\0'; ++i)
        m_resRef[i] = AsciiLower(pText[i]);
}

CResRef::CResRef(const COroString& sText)
{
    std::memset(m_resRef, 0, sizeof(m_resRef));
    const char* pText = sText.CStr();
    for (size_t i = 0; i < sizeof(m_resRef) && pText[i] != '\0'; ++i)
        m_resRef[i] = AsciiLower(pText[i]);
}

CResRef::CResRef(const char* pChars, uint32_t nLength)
{
    std::memset(m_resRef, 0, sizeof(m_resRef));
    if (pChars == nullptr)
        return;
    std::memcpy(m_resRef, pChars, nLength < sizeof(m_resRef) ? nLength : sizeof(m_resRef));
}

uint32_t CResRef::GetLength() const
{
    uint32_t n = 0;
    while (n < sizeof(m_resRef) && m_resRef[n] != '\0')
        ++n;
    return n;
}

COroString CResRef::GetResRefStr() const
{
    // The constructor stops at the first zero, which also terminates a full name.
    return COroString(m_resRef, static_cast<int32_t>(sizeof(m_resRef)));
}

CResRef CResRef::GetLowerCase() const
{
    CResRef lower;
    const uint32_t n = GetLength();
    for (uint32_t i = 0; i < n; ++i)
        lower.m_resRef[i] = AsciiLower(m_resRef[i]);
    return lower;
}

bool CResRef::operator==(const CResRef& other) const
{
    return std::memcmp(m_resRef, other.m_resRef, sizeof(m_resRef)) == 0;
}
