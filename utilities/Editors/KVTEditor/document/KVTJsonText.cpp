#include "KVTJsonText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Each byte's base64 digit, or -1: a table, as a branch per digit would be
// mispredicted on every random byte.
constexpr std::array<int8_t, 256> kBase64Digits = [] {
    std::array<int8_t, 256> digits{};
    digits.fill(-1);
    for (int i = 0; i < 64; ++i)
        digits[static_cast<uint8_t>(kBase64[i])] = static_cast<int8_t>(i);
    return digits;
}();

int Base64Digit(char c) { return kBase64Digits[static_cast<uint8_t>(c)]; }

template <typename T> size_t ShortestText(T value, char* pOut)
{
    if (std::isfinite(value)) {
        const std::to_chars_result result = std::to_chars(pOut, pOut + CKvtJsonText::kRealTextCapacity, value);
        return static_cast<size_t>(result.ptr - pOut);
    }
    using Bits = std::conditional_t<sizeof(T) == 4, uint32_t, uint64_t>;
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    const size_t nDigits = sizeof(T) * 2;
    pOut[0] = '0';
    pOut[1] = 'x';
    for (size_t i = 0; i < nDigits; ++i)
        pOut[2 + i] = "0123456789abcdef"[(bits >> (4 * (nDigits - 1 - i))) & 15];
    return 2 + nDigits;
}

template <typename T> std::string ShortestText(T value)
{
    char text[CKvtJsonText::kRealTextCapacity];
    return std::string(text, ShortestText(value, text));
}

} // namespace

std::string CKvtJsonText::RealText(float value) { return ShortestText(value); }
std::string CKvtJsonText::RealText(double value) { return ShortestText(value); }
size_t CKvtJsonText::RealText(float value, char* pOut) { return ShortestText(value, pOut); }
size_t CKvtJsonText::RealText(double value, char* pOut) { return ShortestText(value, pOut); }

bool CKvtJsonText::Utf8ToBytes(const char* pUtf8, size_t nLength, std::string& sOut)
{
    // Most texts are ASCII without zero bytes: copied whole up to the first
    // byte that is not. Eight bytes are looked at together: when each is 1 to
    // 0x7F, neither the word nor the word less one in every byte has a high bit
    // (a zero byte borrows and sets its own).
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    size_t nPlain = 0;
    for (; nPlain + 8 <= nLength; nPlain += 8) {
        uint64_t nWord = 0;
        std::memcpy(&nWord, pUtf8 + nPlain, sizeof nWord);
        if (((nWord - kOnes) | nWord) & kHighBits)
            break;
    }
    while (nPlain < nLength && static_cast<uint8_t>(pUtf8[nPlain] - 1) < 0x7F)
        ++nPlain;
    sOut.assign(pUtf8, nPlain);
    if (nPlain == nLength)
        return true;
    sOut.reserve(nLength);
    for (size_t i = nPlain; i < nLength; ++i) {
        const auto c = static_cast<uint8_t>(pUtf8[i]);
        if (c == 0)
            return false;
        if (c < 0x80) {
            sOut.push_back(static_cast<char>(c));
            continue;
        }
        // Only U+0080 to U+00FF: lead byte C2 or C3 and one continuation byte.
        if ((c != 0xC2 && c != 0xC3) || i + 1 >= nLength)
            return false;
        const auto next = static_cast<uint8_t>(pUtf8[i + 1]);
        if ((next & 0xC0) != 0x80)
            return false;
        sOut.push_back(static_cast<char>(((c & 0x03) << 6) | (next & 0x3F)));
        ++i;
    }
    return true;
}

void CKvtJsonText::EncodeBase64(const uint8_t* pData, size_t nSize, std::string& sOut)
{
    sOut.resize((nSize + 2) / 3 * 4);
    char* pOut = sOut.data();
    size_t i = 0;
    for (; i + 3 <= nSize; i += 3) {
        const uint32_t n = (uint32_t(pData[i]) << 16) | (uint32_t(pData[i + 1]) << 8) | pData[i + 2];
        pOut[0] = kBase64[n >> 18];
        pOut[1] = kBase64[(n >> 12) & 63];
        pOut[2] = kBase64[(n >> 6) & 63];
        pOut[3] = kBase64[n & 63];
        pOut += 4;
    }
    if (i < nSize) {
        // One or two bytes left: two or three digits and the padding.
        const bool bTwo = i + 2 == nSize;
        const uint32_t n = (uint32_t(pData[i]) << 16) | (bTwo ? uint32_t(pData[i + 1]) << 8 : 0u);
        pOut[0] = kBase64[n >> 18];
        pOut[1] = kBase64[(n >> 12) & 63];
        pOut[2] = bTwo ? kBase64[(n >> 6) & 63] : '=';
        pOut[3] = '=';
    }
}

bool CKvtJsonText::DecodeBase64(const char* pText, size_t nLength, std::vector<uint8_t>& out)
{
    out.clear();
    if (nLength % 4 != 0)
        return false;
    out.resize(nLength / 4 * 3);
    uint8_t* pOut = out.data();
    size_t i = 0;
    // Whole groups of four digits before the last group, which may be padded.
    for (; i + 4 < nLength; i += 4) {
        const int a = Base64Digit(pText[i]), b = Base64Digit(pText[i + 1]);
        const int c = Base64Digit(pText[i + 2]), d = Base64Digit(pText[i + 3]);
        if ((a | b | c | d) < 0)
            return false;
        const uint32_t n = (uint32_t(a) << 18) | (uint32_t(b) << 12) | (uint32_t(c) << 6) | uint32_t(d);
        pOut[0] = static_cast<uint8_t>(n >> 16);
        pOut[1] = static_cast<uint8_t>(n >> 8);
        pOut[2] = static_cast<uint8_t>(n);
        pOut += 3;
    }
    if (i < nLength) {
        const int nPad = (pText[i + 3] == '=') + (pText[i + 2] == '=' && pText[i + 3] == '=');
        int digits[4] = {0, 0, 0, 0};
        for (int k = 0; k < 4 - nPad; ++k) {
            digits[k] = Base64Digit(pText[i + k]);
            if (digits[k] < 0)
                return false;
        }
        const uint32_t n = (uint32_t(digits[0]) << 18) | (uint32_t(digits[1]) << 12) | (uint32_t(digits[2]) << 6) |
                           uint32_t(digits[3]);
        // Bits below the last byte must be zero, or two texts would decode alike.
        if ((nPad == 1 && (n & 0xFF) != 0) || (nPad == 2 && (n & 0xFFFF) != 0))
            return false;
        *pOut++ = static_cast<uint8_t>(n >> 16);
        if (nPad < 2)
            *pOut++ = static_cast<uint8_t>(n >> 8);
        if (nPad < 1)
            *pOut++ = static_cast<uint8_t>(n);
    }
    out.resize(static_cast<size_t>(pOut - out.data()));
    return true;
}
