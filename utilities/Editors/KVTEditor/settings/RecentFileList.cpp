#include "RecentFileList.h"

#include <string_view>

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

int32_t CRecentFileList::IndexOf(const COroString& sName) const
{
    const std::string_view sWanted(sName.CStr(), static_cast<size_t>(sName.GetLength()));
    for (int32_t i = 0; i < Count(); ++i) {
        const COroString& sItem = m_Items[static_cast<size_t>(i)];
        if (std::string_view(sItem.CStr(), static_cast<size_t>(sItem.GetLength())) == sWanted)
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
