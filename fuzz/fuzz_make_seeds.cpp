// Writes the seed corpus of fuzz_reskvt with the KVT writer: small files that
// between them hold every type code, lists, nesting, shared and long labels,
// and abandoned bytes. Usage: fuzz_make_seeds OUTPUT_FOLDER

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "KvtHostileShapes.h"
#include "ororesman.h"
#include "reskvt.h"

namespace {

using TBuild = std::function<bool(CResKVT&, CKvtStructHandle&)>;

bool EveryType(CResKVT& res, CKvtStructHandle& top)
{
    CKvtStructHandle inner, element;
    CKvtListHandle list;
    COroLocString loc;
    loc.StrRef = 1234;
    loc.AddString(0, "zero", 0);
    loc.AddString(3, "three", 1);
    const uint8_t blob[6] = {0, 1, 2, 3, 0xFE, 0xFF};
    bool bOk = res.WriteBYTE(&top, 255, "byte") && res.WriteCHAR(&top, -1, "char") &&
               res.WriteWORD(&top, 65535, "word") && res.WriteSHORT(&top, -2, "short") &&
               res.WriteDWORD(&top, 0xDEADBEEF, "dword") && res.WriteINT(&top, -3, "int") &&
               res.WriteDWORD64(&top, 0x0123456789ABCDEFull, "dword64") && res.WriteINT64(&top, -4, "int64") &&
               res.WriteFLOAT(&top, 1.5f, "float") && res.WriteDOUBLE(&top, -2.25, "double") &&
               res.WriteSTRING(&top, "text", "string") && res.WriteRESREF(&top, CResRef("resname"), "resref") &&
               res.WriteLOCSTRING(&top, loc, "locstring") && res.WriteBINARY(&top, blob, sizeof(blob), "binary") &&
               res.AddStructField(&inner, &top, "struct", 5) && res.WriteINT(&inner, 6, "inner") &&
               res.AddList(&list, &top, "list");
    for (uint32_t i = 0; bOk && i < 3; ++i)
        bOk = res.AddListElement(&element, &list, i) && res.WriteINT(&element, i, "n");
    return bOk;
}

bool ByteAndString(CResKVT& res, CKvtStructHandle& top)
{
    return res.WriteBYTE(&top, 5, "A") && res.WriteSTRING(&top, "x", "Name");
}

bool NestedLists(CResKVT& res, CKvtStructHandle& top)
{
    CKvtStructHandle outer, inner;
    CKvtListHandle outerList, innerList;
    if (!res.AddList(&outerList, &top, "outer"))
        return false;
    for (uint32_t i = 0; i < 3; ++i) {
        if (!res.AddListElement(&outer, &outerList, i) || !res.AddList(&innerList, &outer, "inner"))
            return false;
        for (uint32_t j = 0; j <= i; ++j)
            if (!res.AddListElement(&inner, &innerList, 10 * i + j) || !res.WriteWORD(&inner, 7, "w"))
                return false;
    }
    return res.AddList(&innerList, &top, "empty");
}

bool SharedAndLongLabels(CResKVT& res, CKvtStructHandle& top)
{
    CKvtStructHandle inner;
    return res.WriteINT(&top, 1, "same") && res.WriteSTRING(&top, "second", "same") &&
           res.WriteINT(&top, 16, "ABCDEFGHIJKLMNOP") && res.WriteINT(&top, 17, "abcdefghijklmnopq") &&
           res.AddStructField(&inner, &top, "same", 3) && res.WriteINT(&inner, 1, "same");
}

bool AbandonedBytes(CResKVT& res, CKvtStructHandle& top)
{
    // Interleaved building leaves abandoned copies; the large blob keeps them
    // below 1 % of the file, so they stay in the saved file.
    CKvtStructHandle inner, element;
    CKvtListHandle first, second;
    std::vector<uint8_t> blob(4000, 0x41);
    bool bOk = res.WriteBINARY(&top, blob.data(), static_cast<uint32_t>(blob.size()), "blob") &&
               res.WriteBYTE(&top, 1, "a") && res.AddStructField(&inner, &top, "s", 1) &&
               res.WriteBYTE(&inner, 2, "x") && res.WriteBYTE(&inner, 3, "y") && res.WriteBYTE(&top, 4, "c") &&
               res.AddList(&first, &top, "first") && res.AddList(&second, &top, "second");
    for (uint32_t i = 0; bOk && i < 2; ++i)
        bOk = res.AddListElement(&element, &first, i) && res.AddListElement(&element, &second, i);
    return bOk;
}

bool WideStruct(CResKVT& res, CKvtStructHandle& top)
{
    // More than eight fields: lookups go through the per-struct index.
    for (int i = 0; i < 24; ++i)
        if (!res.WriteINT(&top, i, ("f" + std::to_string(i % 20)).c_str()))
            return false;
    return true;
}

bool LocStrings(CResKVT& res, CKvtStructHandle& top)
{
    COroLocString empty;
    COroLocString many;
    many.StrRef = -1;
    for (int32_t nLanguage = 0; nLanguage < 5; ++nLanguage)
        many.AddString(nLanguage, "text", 1);
    many.AddString(-1, "negative", 0);
    return res.WriteLOCSTRING(&top, empty, "empty") && res.WriteLOCSTRING(&top, many, "many");
}

bool DeepChain(CResKVT& res, CKvtStructHandle& top)
{
    CKvtStructHandle current = top;
    for (uint32_t i = 0; i < 20; ++i) {
        CKvtStructHandle next;
        if (!res.AddStructField(&next, &current, "child", i) || !res.WriteBYTE(&next, 1, "depth"))
            return false;
        current = next;
    }
    return true;
}

bool Binaries(CResKVT& res, CKvtStructHandle& top)
{
    const uint8_t bytes[40] = {1, 2, 3};
    return res.WriteBINARY(&top, nullptr, 0, "empty") && res.WriteBINARY(&top, bytes, sizeof(bytes), "some") &&
           res.WriteSTRING(&top, COroString(), "emptyString") && res.WriteRESREF(&top, CResRef(), "emptyRef");
}

bool Empty(CResKVT&, CKvtStructHandle&)
{
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    g_pOroResMan = new COroResMan;
    const std::vector<std::pair<std::string, TBuild>> seeds = {
        {"empty", Empty},
        {"byte_and_string", ByteAndString},
        {"every_type", EveryType},
        {"nested_lists", NestedLists},
        {"shared_labels", SharedAndLongLabels},
        {"abandoned", AbandonedBytes},
        {"wide_struct", WideStruct},
        {"locstrings", LocStrings},
        {"deep_chain", DeepChain},
        {"binaries", Binaries},
    };
    int nStatus = 0;
    for (const auto& [sName, build] : seeds) {
        CResKVT res;
        CKvtStructHandle top;
        const std::string sPath = std::string(argv[1]) + "/" + sName + ".kvt";
        if (!res.CreateNew(&top, "SEED") || !build(res, top) || !res.SaveToFile(sPath.c_str())) {
            std::fprintf(stderr, "could not write %s\n", sPath.c_str());
            nStatus = 1;
        }
    }
    // Crafted files the writer never makes: records sharing one value,
    // localized strings of many entries.
    if (!CKvtHostileShapes::WriteSeeds(argv[1])) {
        std::fprintf(stderr, "could not write the crafted seeds into %s\n", argv[1]);
        nStatus = 1;
    }
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    return nStatus;
}
