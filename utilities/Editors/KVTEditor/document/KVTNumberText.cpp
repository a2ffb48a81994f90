#include "KVTNumberText.h"

#include <cerrno>
#include <cstdlib>

namespace {

// Runs one strto* conversion; errno is left as the caller had it, since an
// out-of-range value is not an error here (it saturates, as scanf's does).
template <typename TValue, typename TConvert>
bool Convert(const char* pText, TValue& value, TConvert convert)
{
    if (!pText)
        return false;
    char* pEnd = nullptr;
    const int nSavedErrno = errno;
    const TValue converted = convert(pText, &pEnd);
    errno = nSavedErrno;
    if (pEnd == pText)
        return false;
    value = converted;
    return true;
}

} // namespace

bool ParseScanInteger(const char* pText, int64_t& nValue)
{
    // Read as an unsigned 64-bit number (a minus sign negates it modulo 2^64),
    // so that every 64-bit pattern an edit text shows reads back as itself:
    // 18446744073709551615 and -1 are the same bits, and so are
    // -9223372036854775808 and 9223372036854775808.
    return Convert(pText, nValue, [](const char* p, char** pEnd) -> int64_t {
        return static_cast<int64_t>(std::strtoull(p, pEnd, 0));
    });
}

bool ParseScanReal(const char* pText, float& fValue)
{
    return Convert(pText, fValue, [](const char* p, char** pEnd) { return std::strtof(p, pEnd); });
}

bool ParseScanReal(const char* pText, double& fValue)
{
    return Convert(pText, fValue, [](const char* p, char** pEnd) { return std::strtod(p, pEnd); });
}
