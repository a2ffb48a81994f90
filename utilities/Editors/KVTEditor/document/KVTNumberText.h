#pragma once
// Number parsing with the conventions of scanf: leading white space skipped,
// the longest numeric prefix read, what follows ignored. Each returns false,
// leaving the value alone, when no number starts the text.

#include <cstdint>

// "%i": optional sign, then decimal, hexadecimal after 0x/0X, or octal after a
// leading 0, taken modulo 2^64 (values beyond 64 bits saturate); callers keep
// the low bits they need.
bool ParseScanInteger(const char* pText, int64_t& nValue);
// "%f" and "%lg".
bool ParseScanReal(const char* pText, float& fValue);
bool ParseScanReal(const char* pText, double& fValue);
