#pragma once
// The names the JSON form uses (docs/json-form.md), shared by its writer and
// its reader.

#include <string_view>

#include "KVTTreeNodes.h"

class CKvtJsonFormat {
public:
    static constexpr const char* kFormatName = "KVT JSON";
    static constexpr int kFormatVersion = 1;

    // The enumerator's name without its "ft" prefix; null outside -1 to 15.
    static const char* TypeName(TKvtFieldType nType)
    {
        const int nIndex = static_cast<int>(nType) + 1;
        return (nIndex >= 0 && nIndex < kTypeCount) ? kTypeNames[nIndex].data() : nullptr;
    }
    static bool TypeFromName(const char* pName, size_t nLength, TKvtFieldType& nType)
    {
        const std::string_view sName(pName, nLength);
        for (int i = 0; i < kTypeCount; ++i) {
            if (kTypeNames[i] == sName) {
                nType = static_cast<TKvtFieldType>(i - 1);
                return true;
            }
        }
        return false;
    }

private:
    static constexpr int kTypeCount = 17;
    // By type number + 1; views of literals, so each ends in a zero byte.
    static constexpr std::string_view kTypeNames[kTypeCount] = {
        "TOPLEVELSTRUCT", "BYTE",   "CHAR",   "WORD",   "SHORT",     "DWORD",  "INT",    "DWORD64", "INT64",
        "FLOAT",          "DOUBLE", "STRING", "RESREF", "LOCSTRING", "BINARY", "STRUCT", "LIST"};
};
