#pragma once
// The names the JSON form uses (docs/json-form.md), shared by its writer and
// its reader.

#include <cstring>

#include "KVTTreeNodes.h"

class CKvtJsonFormat {
public:
    static constexpr const char* kFormatName = "KVT JSON";
    static constexpr int kFormatVersion = 1;

    // The enumerator's name without its "ft" prefix; null outside -1 to 15.
    static const char* TypeName(TKvtFieldType nType)
    {
        static const char* const kNames[] = {"TOPLEVELSTRUCT", "BYTE",    "CHAR",   "WORD",   "SHORT",  "DWORD",
                                             "INT",            "DWORD64", "INT64",  "FLOAT",  "DOUBLE", "STRING",
                                             "RESREF",         "LOCSTRING", "BINARY", "STRUCT", "LIST"};
        const int nIndex = static_cast<int>(nType) + 1;
        return (nIndex >= 0 && nIndex < 17) ? kNames[nIndex] : nullptr;
    }
    static bool TypeFromName(const char* pName, size_t nLength, TKvtFieldType& nType)
    {
        for (int n = -1; n <= 15; ++n) {
            const char* pKnown = TypeName(static_cast<TKvtFieldType>(n));
            if (std::strlen(pKnown) == nLength && std::memcmp(pKnown, pName, nLength) == 0) {
                nType = static_cast<TKvtFieldType>(n);
                return true;
            }
        }
        return false;
    }
};
