#include "orolocstring.h"

#include <cstring>
#include <utility>

#include "profilecache.h"

namespace {

// The option that cuts "<<STRREF:" markers from stored texts lives in this
// file in the current working directory.
const char kOptionFile[] = ".\\tarnplayer.ini";
const char kStrRefMarker[] = "<<STRREF:";

// Read as the ini functions read it, but through a cache that reads the file
// again whenever it may have changed: loading thousands of localized strings
// must not parse the file once per text, and a change to the option is still
// seen by the very next store.
bool ShowDataStrRefOption()
{
    static CProfileValueCache s_Option;
    char value[256];
    if (s_Option.GetString("Profile", "Show Data Strref", value, sizeof value, kOptionFile) == 0)
        return false;
    return std::strcmp(value, "1") == 0;
}

} // namespace

void COroLocStringInternal::Clear()
{
    while (!list.IsEmpty())
        delete list.RemoveHead();
    count = 0;
}

COroLocString::COroLocString() : StrRef(-1), internal(new COroLocStringInternal) {}

COroLocString::COroLocString(const COroLocString& other) : StrRef(other.StrRef), internal(new COroLocStringInternal)
{
    CopyEntriesFrom(other);
}

COroLocString::COroLocString(COroLocString&& other) noexcept : StrRef(other.StrRef), internal(other.internal)
{
    // Every value owns an internal object of its own, the source included.
    other.internal = new COroLocStringInternal;
    other.StrRef = -1;
}

COroLocString::~COroLocString()
{
    delete internal;
}

COroLocString& COroLocString::operator=(const COroLocString& other)
{
    if (this != &other) {
        CopyEntriesFrom(other);
        StrRef = other.StrRef;
    }
    return *this;
}

COroLocString& COroLocString::operator=(COroLocString&& other) noexcept
{
    if (this != &other) {
        std::swap(internal, other.internal);
        std::swap(StrRef, other.StrRef);
    }
    return *this;
}

void COroLocString::CopyEntriesFrom(const COroLocString& other)
{
    internal->Clear();
    OroPosition pos = other.internal->list.GetHeadPos();
    for (OroLocString_st* pEntry = other.internal->list.GetHead(); pEntry;
         pEntry = other.internal->list.GetNext(pos)) {
        internal->list.AddTail(new OroLocString_st{pEntry->id, pEntry->text});
        ++internal->count;
    }
}

int32_t COroLocString::MakeId(int32_t nLanguage, uint8_t nGender)
{
    const int32_t nGenderUsed = nLanguage == 0 ? 0 : nGender;
    // Wrap-around arithmetic keeps huge language numbers defined.
    return static_cast<int32_t>(static_cast<uint32_t>(nLanguage) * 2u + static_cast<uint32_t>(nGenderUsed));
}

const OroLocString_st* COroLocString::FindEntry(int32_t nId) const
{
    OroPosition pos = internal->list.GetHeadPos();
    for (OroLocString_st* pEntry = internal->list.GetHead(); pEntry; pEntry = internal->list.GetNext(pos)) {
        if (pEntry->id == nId)
            return pEntry;
    }
    return nullptr;
}

int32_t COroLocString::AddString(int32_t nLanguage, COroString sText, uint8_t nGender)
{
    const int32_t nId = MakeId(nLanguage, nGender);
    COroString sCurrent;
    GetString(nLanguage, sCurrent, nGender);
    if (sCurrent == sText)
        return 1;

    // The option only matters to a text that holds the marker, so the
    // option file is consulted for those texts alone.
    const int32_t nMarker = sText.Find(kStrRefMarker, 0);
    if (nMarker >= 0 && ShowDataStrRefOption())
        sText = sText.SubString(0, nMarker);

    OroPosition pos = internal->list.GetHeadPos();
    for (OroLocString_st* pEntry = internal->list.GetHead(); pEntry; pEntry = internal->list.GetNext(pos)) {
        if (pEntry->id == nId) {
            pEntry->text = std::move(sText);
            return 1;
        }
    }
    OroLocString_st* pNew = new OroLocString_st{nId, std::move(sText)};
    internal->list.AddTail(pNew);
    ++internal->count;
    return 1;
}

int32_t COroLocString::GetString(int32_t nLanguage, COroString& sText, uint8_t nGender) const
{
    const OroLocString_st* pEntry = FindEntry(MakeId(nLanguage, nGender));
    if (!pEntry)
        return 0;
    sText = pEntry->text;
    return 1;
}

int32_t COroLocString::GetStringByIndex(uint32_t nIndex, int32_t& nLanguage, COroString& sText,
                                        uint8_t& nGender) const
{
    if (nIndex >= internal->count)
        return 0;
    OroPosition pos = internal->list.GetHeadPos();
    OroLocString_st* pEntry = internal->list.GetHead();
    for (uint32_t i = 0; i < nIndex && pEntry; ++i)
        pEntry = internal->list.GetNext(pos);
    if (!pEntry)
        return 0;
    sText = pEntry->text;
    // Truncating signed split: id -1 gives language 0, gender -1 (255 as 8 bits).
    nLanguage = pEntry->id / 2;
    nGender = static_cast<uint8_t>(pEntry->id % 2);
    return 1;
}

int32_t COroLocString::GetStringCount() const
{
    return static_cast<int32_t>(internal->count);
}

int32_t COroLocString::GetStringLength(uint32_t nIndex) const
{
    if (nIndex >= internal->count)
        return 0;
    OroPosition pos = internal->list.GetHeadPos();
    OroLocString_st* pEntry = internal->list.GetHead();
    for (uint32_t i = 0; i < nIndex && pEntry; ++i)
        pEntry = internal->list.GetNext(pos);
    return pEntry ? pEntry->text.GetLength() : 0;
}

void COroLocString::RemoveString(int32_t nLanguage)
{
    RemoveString(nLanguage, 0);
    RemoveString(nLanguage, 1);
}

void COroLocString::RemoveString(int32_t nLanguage, uint8_t nGender)
{
    const int32_t nId = MakeId(nLanguage, nGender);
    OroPosition pos = internal->list.GetHeadPos();
    for (OroLocString_st* pEntry = internal->list.GetHead(); pEntry; pEntry = internal->list.GetNext(pos)) {
        if (pEntry->id == nId) {
            internal->list.Remove(pos);
            delete pEntry;
            --internal->count;
            return;
        }
    }
}

void COroLocString::Clear()
{
    internal->Clear();
}
