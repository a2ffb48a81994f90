#pragma once
// Byte texts in the JSON form: each byte stands for the code point of the same
// number (U+0001 to U+00FF), so any byte sequence without a zero byte survives
// the trip through JSON's Unicode strings. Also the base64 of binary values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CKvtJsonText {
public:
    // The UTF-8 of such a text back to its bytes; false for invalid UTF-8, a zero or a code point above U+00FF.
    static bool Utf8ToBytes(const char* pUtf8, size_t nLength, std::string& sOut);

    // The shortest decimal that reads back to the same bits; for NaN and the
    // infinities, which have no decimal, "0x" and the bits in hex.
    static std::string RealText(float value);
    static std::string RealText(double value);
    // The same into pOut, which has room for kRealTextCapacity characters;
    // returns the length.
    static constexpr size_t kRealTextCapacity = 32;
    static size_t RealText(float value, char* pOut);
    static size_t RealText(double value, char* pOut);

    // Standard base64 with padding.
    static void EncodeBase64(const uint8_t* pData, size_t nSize, std::string& sOut);
    // Strict: padded, no white space, no other characters; false otherwise.
    static bool DecodeBase64(const char* pText, size_t nLength, std::vector<uint8_t>& out);
};
