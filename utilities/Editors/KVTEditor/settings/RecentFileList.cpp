#include "RecentFileList.h"

#include "asciitext.h"

namespace {

bool EqualNoCase(const COroString& a, const COroString& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    for (int32_t i = 0; i < a.GetLength(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

} // namespace

const COroString& CRecentFileList::operator[](int32_t nIndex) const
{
    static const COroString s_empty;
    return (nIndex >= 0 && nIndex < Count()) ? m_Items[static_cast<size_t>(nIndex)] : s_empty;
}

bool CRecentFileList::Insert(int32_t nIndex, const COroString& sName)
{
    if (nIndex < 0 || nIndex > Count())
        return false;
    m_Items.insert(m_Items.begin() + nIndex, sName);
    Changed();
    return true;
}

bool CRecentFileList::Delete(int32_t nIndex)
{
    if (nIndex < 0 || nIndex >= Count())
        return false;
    m_Items.erase(m_Items.begin() + nIndex);
    Changed();
    return true;
}

int32_t CRecentFileList::IndexOfNoCase(const COroString& sName) const
{
    for (int32_t i = 0; i < Count(); ++i) {
        if (EqualNoCase(m_Items[static_cast<size_t>(i)], sName))
            return i;
    }
    return -1;
}

void CRecentFileList::Changed()
{
    // A copy, so that a handler replacing itself is not destroyed mid-call.
    const TChangeHandler handler = m_OnChange;
    if (handler)
        handler();
}
