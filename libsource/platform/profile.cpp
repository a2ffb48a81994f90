#include "profile.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <vector>

#include "asciitext.h"
#include "atomicfile.h"

namespace {

enum class TLineKind { Blank, Comment, Section, Key, Other };

// One line of the file as offsets into its text, so that every line a write
// does not touch can be copied back byte for byte.
struct ProfileLine_st {
    size_t nStart;           // first byte of the line
    size_t nLength;          // bytes before the line's CR LF or LF
    size_t nNext;            // first byte of the following line
    TLineKind kind;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // the key's value, trimmed, quotes still on
};

constexpr size_t kNone = static_cast<size_t>(-1);

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

void Classify(std::string_view content, ProfileLine_st& line)
{
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty()) {
        line.kind = TLineKind::Blank;
    } else if (trimmed.front() == ';') {
        line.kind = TLineKind::Comment;
    } else if (trimmed.front() == '[') {
        const size_t nClose = trimmed.find(']');
        line.kind = nClose == std::string_view::npos ? TLineKind::Other : TLineKind::Section;
        if (nClose != std::string_view::npos)
            line.name = Trim(trimmed.substr(1, nClose - 1));
    } else {
        const size_t nEquals = trimmed.find('=');
        line.kind = nEquals == std::string_view::npos ? TLineKind::Other : TLineKind::Key;
        if (nEquals != std::string_view::npos) {
            line.name = Trim(trimmed.substr(0, nEquals));
            line.value = Trim(trimmed.substr(nEquals + 1));
        }
    }
}

std::vector<ProfileLine_st> SplitLines(const std::string& text)
{
    std::vector<ProfileLine_st> lines;
    size_t nPos = 0;
    while (nPos < text.size()) {
        ProfileLine_st line{};
        line.nStart = nPos;
        const size_t nFeed = text.find('\n', nPos);
        size_t nEnd = nFeed == std::string::npos ? text.size() : nFeed;
        line.nNext = nFeed == std::string::npos ? text.size() : nFeed + 1;
        if (nFeed != std::string::npos && nEnd > nPos && text[nEnd - 1] == '\r')
            --nEnd;
        line.nLength = nEnd - nPos;
        Classify(std::string_view(text).substr(line.nStart, line.nLength), line);
        lines.push_back(line);
        nPos = line.nNext;
    }
    return lines;
}

// The line ending of the file's first line decides the style of added lines.
const char* LineEnding(const std::string& text)
{
    const size_t nFeed = text.find('\n');
    return (nFeed != std::string::npos && nFeed > 0 && text[nFeed - 1] == '\r') ? "\r\n" : "\n";
}

size_t FindSection(const std::vector<ProfileLine_st>& lines, std::string_view section, size_t nFrom = 0)
{
    for (size_t i = nFrom; i < lines.size(); ++i) {
        if (lines[i].kind == TLineKind::Section && AsciiEqualNoCase(lines[i].name, section))
            return i;
    }
    return kNone;
}

// Index of the next section header after nHeader, or the line count.
size_t SectionEnd(const std::vector<ProfileLine_st>& lines, size_t nHeader)
{
    size_t i = nHeader + 1;
    while (i < lines.size() && lines[i].kind != TLineKind::Section)
        ++i;
    return i;
}

size_t FindKey(const std::vector<ProfileLine_st>& lines, size_t nHeader, std::string_view key)
{
    const size_t nEnd = SectionEnd(lines, nHeader);
    for (size_t i = nHeader + 1; i < nEnd; ++i) {
        if (lines[i].kind == TLineKind::Key && AsciiEqualNoCase(lines[i].name, key))
            return i;
    }
    return kNone;
}

// Windows-style names keep working: a '\' separates folders like a '/'.
std::string LocalFileName(const char* pFileName)
{
    std::string sName(pFileName);
    for (char& c : sName) {
        if (c == '\\')
            c = '/';
    }
    return sName;
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsWritableSection(std::string_view section)
{
    return !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view key)
{
    const std::string_view trimmed = Trim(key);
    return !trimmed.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           trimmed.front() != ';' && trimmed.front() != '[';
}

bool HasTerminator(const ProfileLine_st& line)
{
    return line.nNext > line.nStart + line.nLength;
}

// Text of the file after removing the section(s) named section; bChanged
// tells whether there was one.
std::string EraseSection(const std::string& text, const std::vector<ProfileLine_st>& lines,
                         std::string_view section, bool& bChanged)
{
    std::string out;
    size_t nCopied = 0;
    bChanged = false;
    for (size_t nHeader = FindSection(lines, section); nHeader != kNone;) {
        const size_t nEnd = SectionEnd(lines, nHeader);
        const size_t nEndByte = nEnd < lines.size() ? lines[nEnd].nStart : text.size();
        out.append(text, nCopied, lines[nHeader].nStart - nCopied);
        nCopied = nEndByte;
        bChanged = true;
        nHeader = FindSection(lines, section, nEnd);
    }
    out.append(text, nCopied, std::string::npos);
    return out;
}

std::string SetKey(const std::string& text, const std::vector<ProfileLine_st>& lines, std::string_view section,
                   std::string_view key, std::string_view value)
{
    const char* pEol = LineEnding(text);
    std::string sEntry(key);
    sEntry += '=';
    sEntry += value;

    const size_t nHeader = FindSection(lines, section);
    if (nHeader == kNone) {
        std::string out = text;
        if (!out.empty() && out.back() != '\n')
            out += pEol;
        out += '[';
        out += section;
        out += ']';
        out += pEol;
        out += sEntry;
        out += pEol;
        return out;
    }

    const size_t nKey = FindKey(lines, nHeader, key);
    if (nKey != kNone) {
        const ProfileLine_st& line = lines[nKey];
        return text.substr(0, line.nStart) + sEntry + text.substr(line.nStart + line.nLength);
    }

    // A new key goes after the section's last non-blank line, so the blank
    // lines that separate it from the next section stay where they are.
    size_t nAfter = nHeader;
    const size_t nEnd = SectionEnd(lines, nHeader);
    for (size_t i = nHeader + 1; i < nEnd; ++i) {
        if (lines[i].kind != TLineKind::Blank)
            nAfter = i;
    }
    const ProfileLine_st& last = lines[nAfter];
    if (!HasTerminator(last))
        return text + pEol + sEntry + pEol;
    return text.substr(0, last.nNext) + sEntry + pEol + text.substr(last.nNext);
}

} // namespace

bool ProfileFindString(const char* pSection, const char* pKey, std::string& sValue, const char* pFileName)
{
    if (pSection == nullptr || pKey == nullptr || pFileName == nullptr || *pFileName == '\0')
        return false;
    std::string text;
    bool bExists = false;
    if (!ReadWholeFile(LocalFileName(pFileName), text, bExists) || !bExists)
        return false;
    const std::vector<ProfileLine_st> lines = SplitLines(text);
    const size_t nHeader = FindSection(lines, Trim(pSection));
    if (nHeader == kNone)
        return false;
    const size_t nKey = FindKey(lines, nHeader, Trim(pKey));
    if (nKey == kNone)
        return false;
    sValue = std::string(Unquote(lines[nKey].value));
    return true;
}

uint32_t ProfileGetString(const char* pSection, const char* pKey, const char* pDefault, char* pBuffer,
                          uint32_t nSize, const char* pFileName)
{
    if (pBuffer == nullptr || nSize == 0)
        return 0;
    std::string sValue;
    if (!ProfileFindString(pSection, pKey, sValue, pFileName))
        sValue = pDefault != nullptr ? pDefault : "";
    const size_t nCopy = sValue.size() < nSize - 1 ? sValue.size() : nSize - 1;
    std::memcpy(pBuffer, sValue.data(), nCopy);
    pBuffer[nCopy] = '\0';
    return static_cast<uint32_t>(nCopy);
}

int32_t ProfileGetInt(const char* pSection, const char* pKey, int32_t nDefault, const char* pFileName)
{
    std::string sValue;
    if (!ProfileFindString(pSection, pKey, sValue, pFileName))
        return nDefault;
    size_t nPos = 0;
    while (nPos < sValue.size() && IsBlank(sValue[nPos]))
        ++nPos;
    bool bNegative = false;
    if (nPos < sValue.size() && (sValue[nPos] == '-' || sValue[nPos] == '+'))
        bNegative = sValue[nPos++] == '-';
    if (nPos >= sValue.size() || sValue[nPos] < '0' || sValue[nPos] > '9')
        return nDefault;
    // Accumulated in 64 bits and saturated, so no digit string can overflow.
    const int64_t nLimit = bNegative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    int64_t nMagnitude = 0;
    for (; nPos < sValue.size() && sValue[nPos] >= '0' && sValue[nPos] <= '9'; ++nPos) {
        nMagnitude = nMagnitude * 10 + (sValue[nPos] - '0');
        if (nMagnitude > nLimit)
            nMagnitude = nLimit;
    }
    return static_cast<int32_t>(bNegative ? -nMagnitude : nMagnitude);
}

bool ProfileWriteString(const char* pSection, const char* pKey, const char* pValue, const char* pFileName)
{
    if (pSection == nullptr || pFileName == nullptr || *pFileName == '\0')
        return false;
    const std::string_view section = Trim(pSection);
    if (!IsWritableSection(section))
        return false;
    if (pKey != nullptr && !IsWritableKey(pKey))
        return false;
    if (pKey != nullptr && pValue != nullptr && HasLineBreak(pValue))
        return false;

    const std::string sFileName = LocalFileName(pFileName);
    std::string text;
    bool bExists = false;
    if (!ReadWholeFile(sFileName, text, bExists))
        return false;
    const std::vector<ProfileLine_st> lines = SplitLines(text);

    std::string out;
    if (pKey == nullptr) {
        bool bChanged = false;
        out = EraseSection(text, lines, section, bChanged);
        if (!bChanged)
            return true;
    } else if (pValue == nullptr) {
        const size_t nHeader = FindSection(lines, section);
        const size_t nKey = nHeader == kNone ? kNone : FindKey(lines, nHeader, Trim(pKey));
        if (nKey == kNone)
            return true;
        out = text.substr(0, lines[nKey].nStart) + text.substr(lines[nKey].nNext);
    } else {
        out = SetKey(text, lines, section, Trim(pKey), pValue);
    }
    return ReplaceFileAtomically(sFileName, out);
}
