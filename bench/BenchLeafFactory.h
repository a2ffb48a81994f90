#pragma once
// Leaf nodes with values shaped like real data: integers across their range,
// fractional reals, strings of 5 to 40 characters, lower-case resource names,
// localized strings with one to three languages and short binary blocks.

#include <string>

#include "RandomSource.h"
#include "KVTTreeNodes.h"

class CBenchLeafFactory {
public:
    explicit CBenchLeafFactory(CRandomSource& random) : m_Random(random) {}

    // A leaf type as mixed documents hold them: about one field in twenty a
    // localized string, one in thirty a binary block, the rest spread over
    // the twelve plain types.
    TKvtFieldType PickLeafType();
    // Any leaf type but the localized string, evenly.
    TKvtFieldType PickPlainLeafType();

    // A new leaf of the type holding a random value.
    CKvtNodeBase* MakeLeaf(TKvtFieldType nType);

    std::string MakeText(int32_t nMinLength, int32_t nMaxLength);

private:
    void FillLocString(COroLocString& value);
    void FillBinary(CKvtNodeBINARY* pNode);

    CRandomSource& m_Random;
};
