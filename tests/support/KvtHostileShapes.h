#pragma once
// File images an attacker would craft to make a small file cost a lot to
// open or save: many records sharing one large value, localized strings of
// many entries. Shared by the tests (which assert what a load may allocate),
// the fuzz seed makers and the benchmark's rows for such files.

#include <cstdint>
#include <string>
#include <vector>

class CKvtHostileShapes {
public:
    // One struct of nFields fields of the type (STRING 10 or BINARY 13), each
    // with a label of its own, whose records all name one value of nValueBytes
    // non-zero bytes.
    static std::vector<uint8_t> SharedValueFields(uint32_t nFields, uint32_t nType, uint32_t nValueBytes);
    // One struct of nFields LOCSTRING fields naming one value of nValueBytes
    // declared bytes: a single entry whose text is nothing but zero bytes.
    static std::vector<uint8_t> ZeroTextLocStrings(uint32_t nFields, uint32_t nValueBytes);
    // One LOCSTRING field of nEntries one-byte entries with distinct ids;
    // when bReplacing, every entry after the first half gives an entry of
    // the first half a two-byte text instead.
    static std::vector<uint8_t> ManyEntryLocString(uint32_t nEntries, bool bReplacing);

    // A list of nStructs structs that all name one array of nFields field
    // indices, each naming one INT field: nStructs × nFields nodes (as far
    // as the load's work budget goes) from a few bytes per struct and field.
    static std::vector<uint8_t> SharedFieldArrayStructs(uint32_t nStructs, uint32_t nFields);
    // A list of nStructs structs that all name one STRING field whose stored
    // length runs past the field data: each element fails to read it, a
    // warning of its own each (16 bytes per element).
    static std::vector<uint8_t> SharedDamagedFieldStructs(uint32_t nStructs);

    struct Shape_st {
        std::string sName;
        std::string sDescription;
        std::vector<uint8_t> image;
    };
    // Each shape at the size of the benchmark's rows.
    static std::vector<Shape_st> BenchmarkShapes();
    // Small forms of the shapes for the fuzzers' seed corpora.
    static std::vector<Shape_st> SeedShapes();
    // Writes the seed shapes into the folder as NAME.kvt; false on a failure.
    static bool WriteSeeds(const std::string& sFolder);
};
