#pragma once
// The ordered list of recently used file names, most recent first. Every
// insertion and deletion fires the change notification, which the window
// connects to its recent-files menu.

#include <cstdint>
#include <functional>
#include <vector>

#include "orostring.h"

class CRecentFileList {
public:
    using TChangeHandler = std::function<void()>;

    int32_t Count() const { return static_cast<int32_t>(m_Items.size()); }
    // The entry at nIndex, or "" outside 0 <= nIndex < Count().
    const COroString& operator[](int32_t nIndex) const;

    // Inserts at 0 <= nIndex <= Count(); false (and no change) otherwise.
    bool Insert(int32_t nIndex, const COroString& sName);
    // Deletes the entry at nIndex; false (and no change) when there is none.
    bool Delete(int32_t nIndex);
    // Index of the first entry equal to sName byte for byte, or -1. Names
    // that differ in letter case are different files here.
    int32_t IndexOf(const COroString& sName) const;

    // Called after every change; the handler may change the list again.
    void SetOnChange(TChangeHandler handler) { m_OnChange = std::move(handler); }

private:
    void Changed();

    std::vector<COroString> m_Items;
    TChangeHandler m_OnChange;
};
