#include "RecentFileList.h"

#include "asciitext.h"

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
        const COroString& sItem = m_Items[static_cast<size_t>(i)];
        if (AsciiEqualNoCase({sItem.CStr(), static_cast<size_t>(sItem.GetLength())},
                             {sName.CStr(), static_cast<size_t>(sName.GetLength())}))
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
