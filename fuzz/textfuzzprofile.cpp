#include "textfuzzprofile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "TempDir.h"
#include "profile.h"

namespace {

// Reads stop after this many lookups per input, so every input stays cheap.
constexpr uint32_t kLookups = 12;
constexpr uint32_t kWrites = 3;
constexpr size_t kMaxNameLines = 64;
const char kDefault[] = "<default>";
constexpr int32_t kDefaultInt = -12345;

[[noreturn]] void Fail(const char* pWhat, const std::string& sSection, const std::string& sKey)
{
    std::fprintf(stderr, "fuzz_text: ini: %s [section '%s', key '%s']\n", pWhat, sSection.c_str(), sKey.c_str());
    std::abort();
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& sText)
{
    size_t nStart = 0;
    size_t nEnd = sText.size();
    while (nStart < nEnd && IsBlank(sText[nStart]))
        ++nStart;
    while (nEnd > nStart && IsBlank(sText[nEnd - 1]))
        --nEnd;
    return sText.substr(nStart, nEnd - nStart);
}

std::string Unquote(const std::string& sText)
{
    if (sText.size() >= 2 && (sText.front() == '"' || sText.front() == '\'') && sText.back() == sText.front())
        return sText.substr(1, sText.size() - 2);
    return sText;
}

// Section and key names as the file spells them, so that lookups hit.
void CollectNames(const std::string& sBytes, std::vector<std::string>& sections, std::vector<std::string>& keys)
{
    size_t nPos = 0;
    for (size_t nLine = 0; nPos < sBytes.size() && nLine < kMaxNameLines; ++nLine) {
        const size_t nFeed = sBytes.find('\n', nPos);
        const size_t nLength = nFeed == std::string::npos ? std::string::npos : nFeed - nPos;
        const std::string sLine = Trim(sBytes.substr(nPos, nLength));
        nPos = nFeed == std::string::npos ? sBytes.size() : nFeed + 1;
        if (!sLine.empty() && sLine[0] == '[') {
            const size_t nClose = sLine.find(']');
            if (nClose != std::string::npos)
                sections.push_back(sLine.substr(1, nClose - 1));
        } else if (const size_t nEquals = sLine.find('='); nEquals != std::string::npos) {
            keys.push_back(sLine.substr(0, nEquals));
        }
    }
}

// A name as the caller may spell it: the case of its letters changed, blanks
// around it, or cut at a zero byte as a C string would be.
std::string Spell(const std::string& sName, CFuzzChoices& choices)
{
    std::string sOut = sName.substr(0, sName.find('\0'));
    switch (choices.Below(4)) {
    case 0:
        break;
    case 1:
        for (char& c : sOut) {
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                c = static_cast<char>(c ^ 0x20);
        }
        break;
    case 2:
        sOut = " \t" + sOut + "  ";
        break;
    default:
        sOut = sOut.substr(0, choices.Below(static_cast<uint32_t>(sOut.size()) + 1));
        break;
    }
    return sOut;
}

std::string Pick(const std::vector<std::string>& names, CFuzzChoices& choices)
{
    return names.empty() ? std::string() : Spell(names[choices.Below(static_cast<uint32_t>(names.size()))], choices);
}

// What ProfileGetInt must give for a found value that starts with a number.
bool ExpectedInt(const std::string& sValue, int32_t& nExpected)
{
    size_t nPos = 0;
    while (nPos < sValue.size() && IsBlank(sValue[nPos]))
        ++nPos;
    size_t nDigits = nPos;
    if (nDigits < sValue.size() && (sValue[nDigits] == '-' || sValue[nDigits] == '+'))
        ++nDigits;
    if (nDigits >= sValue.size() || sValue[nDigits] < '0' || sValue[nDigits] > '9')
        return false;
    const long long n = std::strtoll(sValue.c_str() + nPos, nullptr, 10);
    nExpected = n > INT_MAX ? INT_MAX : (n < INT_MIN ? INT_MIN : static_cast<int32_t>(n));
    return true;
}

void CheckLookup(const std::string& sFile, const std::string& sSection, const std::string& sKey, CFuzzChoices& choices)
{
    std::string sValue = "unchanged";
    const bool bFound = ProfileFindString(sSection.c_str(), sKey.c_str(), sValue, sFile.c_str());
    if (!bFound && sValue != "unchanged")
        Fail("a failed lookup changed the value", sSection, sKey);
    if (bFound && sValue.find('\n') != std::string::npos)
        Fail("a value spans lines", sSection, sKey);
    const std::string sExpected = bFound ? sValue : kDefault;

    const uint32_t sizes[] = {1, 2, 3, 1 + choices.Below(8), 1 + choices.Below(300)};
    for (uint32_t nSize : sizes) {
        // A heap buffer of exactly nSize bytes: any write past it is caught.
        std::unique_ptr<char[]> pBuffer(new char[nSize]);
        std::memset(pBuffer.get(), 0x55, nSize);
        const uint32_t nCopied = ProfileGetString(sSection.c_str(), sKey.c_str(), kDefault, pBuffer.get(), nSize,
                                                  sFile.c_str());
        const size_t nWanted = sExpected.size() < nSize - 1 ? sExpected.size() : nSize - 1;
        if (nCopied != nWanted || pBuffer[nCopied] != '\0' ||
            std::memcmp(pBuffer.get(), sExpected.data(), nCopied) != 0)
            Fail("a small buffer did not get the value's first characters", sSection, sKey);
    }
    char cUntouched = 'u';
    if (ProfileGetString(sSection.c_str(), sKey.c_str(), kDefault, &cUntouched, 0, sFile.c_str()) != 0 ||
        cUntouched != 'u')
        Fail("a buffer of size 0 was written", sSection, sKey);

    const int32_t nRead = ProfileGetInt(sSection.c_str(), sKey.c_str(), kDefaultInt, sFile.c_str());
    int32_t nExpected = kDefaultInt;
    if (bFound)
        ExpectedInt(sValue, nExpected);
    if (nRead != nExpected)
        Fail("the integer read differs from the value's leading number", sSection, sKey);
}

// A write that succeeds must read back; erasing a section removes it.
void CheckWrite(const std::string& sFile, const std::string& sSection, const std::string& sKey,
                const std::string& sValue, CFuzzChoices& choices)
{
    const uint32_t nKind = choices.Below(4);
    if (nKind == 0) {
        if (ProfileWriteString(sSection.c_str(), nullptr, nullptr, sFile.c_str())) {
            std::string sFound;
            if (ProfileFindString(sSection.c_str(), sKey.c_str(), sFound, sFile.c_str()))
                Fail("a key of an erased section is still found", sSection, sKey);
        }
        return;
    }
    if (nKind == 1) {
        ProfileWriteString(sSection.c_str(), sKey.c_str(), nullptr, sFile.c_str());
        return;
    }
    if (!ProfileWriteString(sSection.c_str(), sKey.c_str(), sValue.c_str(), sFile.c_str()))
        return;
    std::string sFound;
    if (!ProfileFindString(sSection.c_str(), sKey.c_str(), sFound, sFile.c_str()))
        Fail("a written key is not found", sSection, sKey);
    const std::string sStored = sValue.substr(0, sValue.find('\0'));
    if (sFound != Unquote(Trim(sStored)))
        Fail("a written value reads back differently", sSection, sKey);
}

} // namespace

void FuzzProfile(const std::string& sBytes, const std::string& sFile, const std::vector<std::string>& names,
                 CFuzzChoices& choices)
{
    if (!WriteFileText(sFile, sBytes)) {
        std::fprintf(stderr, "fuzz_text: cannot write %s\n", sFile.c_str());
        std::abort();
    }
    std::vector<std::string> sections = names;
    std::vector<std::string> keys = names;
    CollectNames(sBytes, sections, keys);
    sections.emplace_back();
    keys.emplace_back();
    for (uint32_t i = 0; i < kLookups; ++i)
        CheckLookup(sFile, Pick(sections, choices), Pick(keys, choices), choices);
    for (uint32_t i = 0; i < kWrites; ++i) {
        CheckWrite(sFile, Pick(sections, choices), Pick(keys, choices), Pick(names, choices), choices);
        CheckLookup(sFile, Pick(sections, choices), Pick(keys, choices), choices);
    }
    // No file at all: every lookup misses.
    std::remove(sFile.c_str());
    CheckLookup(sFile, Pick(sections, choices), Pick(keys, choices), choices);
    std::string sUnchanged = "x";
    if (ProfileFindString(nullptr, "k", sUnchanged, sFile.c_str()) ||
        ProfileFindString("s", nullptr, sUnchanged, nullptr))
        Fail("a lookup without names found something", "", "");
}
