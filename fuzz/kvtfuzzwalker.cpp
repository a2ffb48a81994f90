#include "kvtfuzzwalker.h"

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Units of work per input: one per field visited, list element read or struct walked.
constexpr uint32_t kBudget = 20000;
// At most this many bytes are handed to ReadBINARY (the size is backed by the
// input, but the walk need not copy more to test the bounds).
constexpr uint32_t kMaxBinary = 1 << 16;

} // namespace

CKvtFuzzWalker::CKvtFuzzWalker(std::string sScratchFile) : m_sScratchFile(std::move(sScratchFile)) {}

bool CKvtFuzzWalker::Spend(uint32_t nUnits)
{
    if (m_nBudget < nUnits) {
        m_nBudget = 0;
        return false;
    }
    m_nBudget -= nUnits;
    return true;
}

void CKvtFuzzWalker::Walk(CResKVT& res)
{
    m_nBudget = kBudget;
    COroString sType, sVersion;
    res.GetFileTypeAndVersion(sType, sVersion);
    CKvtStructHandle top;
    res.GetTopLevelStruct(&top);
    // Every struct record, also those no field or list reaches, plus the first
    // indices past the table.
    const uint32_t nStructs = res.GetStructCount();
    for (uint32_t s = 0; s <= nStructs && Spend(1); ++s)
        WalkStruct(res, CKvtStructHandle{s});
    const CKvtStructHandle beyond{0xFFFFFFFFu};
    WalkStruct(res, beyond);
    AppendAndSave(res);
}

void CKvtFuzzWalker::WalkStruct(CResKVT& res, const CKvtStructHandle& h)
{
    res.GetStructID(&h);
    res.GetFieldCount(&h);
    const int32_t nFields = res.GetAddressableFieldCount(&h);
    for (int32_t i = -1; i <= nFields && Spend(1); ++i)
        WalkField(res, h, i);
    // A label that is not there searches the whole struct: charge for that.
    if (nFields > 0 && Spend(static_cast<uint32_t>(nFields))) {
        res.GetFieldIndexByLabel(&h, "");
        res.GetFieldIndexByLabel(&h, "no such label here");
    }
}

void CKvtFuzzWalker::WalkField(CResKVT& res, const CKvtStructHandle& h, int32_t nIndex)
{
    res.GetFieldType(&h, nullptr, nIndex);
    res.GetFieldSize(&h, nullptr, nIndex);
    const char* pFound = res.GetFieldLabel(&h, nIndex);
    if (pFound == nullptr)
        return;
    // The result buffer is overwritten by the next GetFieldLabel: keep a copy.
    char label[17];
    std::memcpy(label, pFound, sizeof(label));
    res.GetFieldIndexByLabel(&h, label);
    res.GetFieldType(&h, label, nIndex);
    ReadEveryType(res, h, label);
    CKvtStructHandle held;
    if (res.GetStructField(&held, &h, label)) {
        res.GetStructID(&held);
        res.GetFieldCount(&held);
        res.GetAddressableFieldCount(&held);
    }
    WalkList(res, h, label);
}

void CKvtFuzzWalker::ReadEveryType(CResKVT& res, const CKvtStructHandle& h, const char* pLabel)
{
    int32_t bOk = 0;
    res.ReadBYTE(&h, pLabel, &bOk, 0);
    res.ReadCHAR(&h, pLabel, &bOk, 0);
    res.ReadWORD(&h, pLabel, &bOk, 0);
    res.ReadSHORT(&h, pLabel, &bOk, 0);
    res.ReadDWORD(&h, pLabel, &bOk, 0);
    res.ReadINT(&h, pLabel, &bOk, 0);
    res.ReadDWORD64(&h, pLabel, &bOk, 0);
    res.ReadINT64(&h, pLabel, &bOk, 0);
    res.ReadFLOAT(&h, pLabel, &bOk, 0.0f);
    res.ReadDOUBLE(&h, pLabel, &bOk, 0.0);
    res.ReadSTRING(&h, pLabel, &bOk, COroString());
    res.ReadRESREF(&h, pLabel, &bOk, CResRef());
    res.ReadLOCSTRING(&h, pLabel, &bOk, COroLocString());
    uint32_t nSize = res.GetFieldSize(&h, pLabel, -1);
    if (nSize > kMaxBinary)
        nSize = kMaxBinary;
    std::vector<uint8_t> buffer(nSize);
    res.ReadBINARY(&h, nSize != 0 ? buffer.data() : nullptr, nSize, pLabel, &bOk, nullptr);
}

void CKvtFuzzWalker::WalkList(CResKVT& res, const CKvtStructHandle& h, const char* pLabel)
{
    CKvtListHandle list;
    if (!res.GetList(&list, &h, pLabel))
        return;
    const int32_t nCount = res.GetListCount(&list);
    const int32_t nElements = res.GetAddressableListCount(&list);
    for (int32_t j = -1; j <= nElements && Spend(1); ++j) {
        CKvtStructHandle element;
        if (res.GetListElement(&element, &list, j))
            res.GetStructID(&element);
    }
    CKvtStructHandle element;
    res.GetListElement(&element, &list, nCount);
}

void CKvtFuzzWalker::AppendAndSave(CResKVT& res)
{
    // The writer must cope with whatever the loader accepted.
    CKvtStructHandle top{0};
    CKvtStructHandle inner, element;
    CKvtListHandle list;
    res.WriteINT(&top, 1, "fuzz_int");
    res.WriteSTRING(&top, "fuzz", "fuzz_string");
    if (res.AddStructField(&inner, &top, "fuzz_struct", 7))
        res.WriteBYTE(&inner, 1, "b");
    if (res.AddList(&list, &top, "fuzz_list")) {
        res.AddListElement(&element, &list, 1);
        res.WriteINT(&top, 2, "fuzz_after"); // moves the top-level array when it is not last
        res.AddListElement(&element, &list, 2);
    }
    const CKvtStructHandle last{res.GetStructCount() > 0 ? res.GetStructCount() - 1 : 0};
    res.WriteDOUBLE(&last, 1.0, "fuzz_last");
    if (!res.SaveToFile(m_sScratchFile.c_str()))
        return;
    // Whatever the writer saves must load again.
    CResKVT again;
    if (!again.GetFileData(m_sScratchFile.c_str()))
        std::abort();
}
