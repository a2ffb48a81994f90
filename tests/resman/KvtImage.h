#pragma once
// Hand-made KVT file images for the tests. Sections are laid out one after the
// other like the writer does, and any header word can be overridden to build
// damaged files.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum TKvtHeaderWord {
    hwStructOffset,
    hwStructCount,
    hwFieldOffset,
    hwFieldCount,
    hwLabelOffset,
    hwLabelCount,
    hwFieldDataOffset,
    hwFieldDataSize,
    hwFieldIndicesOffset,
    hwFieldIndicesSize,
    hwListIndicesOffset,
    hwListIndicesSize,
};

void AppendU32(std::vector<uint8_t>& bytes, uint32_t nValue);
void AppendText(std::vector<uint8_t>& bytes, const std::string& sText);
uint32_t U32At(const std::vector<uint8_t>& bytes, size_t nOffset);
// The header word (0 = struct offset ... 11 = list indices size) of a file image.
uint32_t HeaderWord(const std::vector<uint8_t>& bytes, int nWord);

struct KvtImage {
    std::string fileType = "TEST";
    std::string version = "V3.2";
    std::vector<std::array<uint32_t, 3>> structs; // struct ID, data, field count
    std::vector<std::array<uint32_t, 3>> fields;  // type, label index, data
    std::vector<std::string> labels;              // each cut or zero-padded to 16 bytes
    std::vector<uint8_t> fieldData;
    std::vector<uint8_t> fieldIndices;
    std::vector<uint8_t> listIndices;
    std::map<int, uint32_t> overrides; // header words replacing the computed ones

    // Adds a field record and returns its index.
    uint32_t AddField(uint32_t nType, uint32_t nLabel, uint32_t nData);
    // Adds a label and returns its index.
    uint32_t AddLabel(const std::string& sLabel);
    // Appends 32-bit field indices to the field indices block; returns their offset.
    uint32_t AddFieldArray(const std::vector<uint32_t>& indices);
    // Appends a list entry (count, struct indices); returns its offset.
    uint32_t AddListEntry(const std::vector<uint32_t>& structIndices);

    std::vector<uint8_t> Bytes() const;
};
