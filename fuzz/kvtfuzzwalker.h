#pragma once
// Walks a loaded CResKVT as widely as a caller can: every struct (reached or
// not), every field with every query and every typed reader, every list and
// element, then appends to the object and saves it. The work per input is
// capped so that any input finishes quickly.

#include <cstdint>
#include <string>

#include "reskvt.h"

class CKvtFuzzWalker {
public:
    // sScratchFile: where the walker may save the object and load it again.
    explicit CKvtFuzzWalker(std::string sScratchFile);
    void Walk(CResKVT& res);

private:
    void WalkStruct(CResKVT& res, const CKvtStructHandle& h);
    void WalkField(CResKVT& res, const CKvtStructHandle& h, int32_t nIndex);
    void ReadEveryType(CResKVT& res, const CKvtStructHandle& h, const char* pLabel);
    void WalkList(CResKVT& res, const CKvtStructHandle& h, const char* pLabel);
    void AppendAndSave(CResKVT& res);
    bool Spend(uint32_t nUnits);

    std::string m_sScratchFile;
    uint32_t m_nBudget = 0;
};
