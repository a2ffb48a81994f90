#include "orolocstring.h"

#include <cstring>
#include <string_view>
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

COroLocString::COroLocString() : StrRef(-1), internal(new COroLocStringInternal) {}

COroLocString::COroLocString(const COroLocString& other) : StrRef(other.StrRef), internal(new COroLocStringInternal)
{
    internal->CopyFrom(*other.internal);
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
        internal->CopyFrom(*other.internal);
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

int32_t COroLocString::MakeId(int32_t nLanguage, uint8_t nGender)
{
    const int32_t nGenderUsed = nLanguage == 0 ? 0 : nGender;
    // Wrap-around arithmetic keeps huge language numbers defined.
    return static_cast<int32_t>(static_cast<uint32_t>(nLanguage) * 2u + static_cast<uint32_t>(nGenderUsed));
}

int32_t COroLocString::AddString(int32_t nLanguage, COroString sText, uint8_t nGender)
{
    return StoreText(MakeId(nLanguage, nGender), sText.CStr(), static_cast<uint32_t>(sText.GetLength()));
}

int32_t COroLocString::AddString(int32_t nLanguage, const char* pText, int32_t nLength, uint8_t nGender)
{
    // As a string built from the bytes: nothing below length 1, and the text
    // stops at the first zero byte.
    const uint32_t nText =
        (pText == nullptr || nLength < 1) ? 0 : static_cast<uint32_t>(strnlen(pText, static_cast<size_t>(nLength)));
    return StoreText(MakeId(nLanguage, nGender), pText, nText);
}

int32_t COroLocString::StoreText(int32_t nId, const char* pText, uint32_t nLength)
{
    // The current text is compared where it lies: an entry that is missing
    // counts as an empty text, so an empty text creates no entry and an
    // unchanged text changes nothing.
    const size_t nPos = internal->FindId(nId);
    const uint32_t nCurrent = nPos == COroLocStringInternal::kNoEntry ? 0 : internal->LengthAt(nPos);
    if (nCurrent == nLength && (nLength == 0 || std::memcmp(internal->TextAt(nPos), pText, nLength) == 0))
        return 1;

    // The option only matters to a text that holds the marker, so the
    // option file is consulted for those texts alone.
    const size_t nMarker = std::string_view(pText, nLength).find(kStrRefMarker);
    if (nMarker != std::string_view::npos && ShowDataStrRefOption())
        nLength = static_cast<uint32_t>(nMarker);

    if (nPos == COroLocStringInternal::kNoEntry)
        internal->Append(nId, pText, nLength);
    else
        internal->Replace(nPos, pText, nLength);
    return 1;
}

int32_t COroLocString::GetString(int32_t nLanguage, COroString& sText, uint8_t nGender) const
{
    const size_t nPos = internal->FindId(MakeId(nLanguage, nGender));
    if (nPos == COroLocStringInternal::kNoEntry)
        return 0;
    sText = internal->TextAt(nPos);
    return 1;
}

int32_t COroLocString::GetStringByIndex(uint32_t nIndex, int32_t& nLanguage, COroString& sText,
                                        uint8_t& nGender) const
{
    const size_t nPos = internal->FindIndex(nIndex);
    if (nPos == COroLocStringInternal::kNoEntry)
        return 0;
    sText = internal->TextAt(nPos);
    // Truncating signed split: id -1 gives language 0, gender -1 (255 as 8 bits).
    const int32_t nId = internal->IdAt(nPos);
    nLanguage = nId / 2;
    nGender = static_cast<uint8_t>(nId % 2);
    return 1;
}

int32_t COroLocString::GetStringCount() const
{
    return static_cast<int32_t>(internal->GetCount());
}

int32_t COroLocString::GetStringLength(uint32_t nIndex) const
{
    const size_t nPos = internal->FindIndex(nIndex);
    return nPos == COroLocStringInternal::kNoEntry ? 0 : static_cast<int32_t>(internal->LengthAt(nPos));
}

void COroLocString::RemoveString(int32_t nLanguage)
{
    RemoveString(nLanguage, 0);
    RemoveString(nLanguage, 1);
}

void COroLocString::RemoveString(int32_t nLanguage, uint8_t nGender)
{
    const size_t nPos = internal->FindId(MakeId(nLanguage, nGender));
    if (nPos != COroLocStringInternal::kNoEntry)
        internal->Remove(nPos);
}

void COroLocString::Clear()
{
    internal->Clear();
}

void COroLocString::Reserve(uint32_t nEntries, uint64_t nTextBytes)
{
    internal->Reserve(nEntries, nTextBytes);
}

void COroLocString::ShrinkToFit()
{
    internal->ShrinkToFit();
}

size_t COroLocString::GetCapacity() const
{
    return internal->GetCapacity();
}
