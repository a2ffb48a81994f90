#pragma once
// Builds KVT file images by hand so tests can feed the reader files our own
// writer never makes: sections in any order, any record contents, and any
// header word overridden to describe a damaged file.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The twelve header words after the file type and version.
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

class CKvtImageBuilder {
public:
    enum TSection { Structs, Fields, Labels, FieldData, FieldIndices, ListIndices };

    explicit CKvtImageBuilder(const std::string& sFileType = "TEST", const std::string& sVersion = "V3.2");

    // Appends records; each returns the new record's index.
    uint32_t AddStruct(uint32_t nStructID, uint32_t nData, uint32_t nFieldCount);
    uint32_t AddField(uint32_t nType, uint32_t nLabelIndex, uint32_t nData);
    uint32_t AddLabel(const std::string& sLabel);
    // Append to a block; each returns the byte offset where the new bytes start.
    uint32_t AddFieldData(const std::vector<uint8_t>& bytes);
    uint32_t AddFieldIndices(const std::vector<uint32_t>& indices);
    uint32_t AddListIndices(const std::vector<uint32_t>& words);
    // A list entry: the count, then the struct indices.
    uint32_t AddListEntry(const std::vector<uint32_t>& structIndices);

    // The image with the sections in the given order (all six must be named).
    // Type and version are cut or zero-padded to four bytes, labels to sixteen.
    std::vector<uint8_t> Build(const std::array<TSection, 6>& order = {Structs, Fields, Labels, FieldData,
                                                                      FieldIndices, ListIndices}) const;

    static std::vector<uint8_t> Word(uint32_t n);
    static std::vector<uint8_t> StringValue(const std::string& s);

    std::string m_sFileType;
    std::string m_sVersion;
    std::vector<std::array<uint32_t, 3>> m_Structs; // struct ID, data, field count
    std::vector<std::array<uint32_t, 3>> m_Fields;  // type, label index, data
    std::vector<std::string> m_Labels;
    std::vector<uint8_t> m_FieldData;
    std::vector<uint8_t> m_FieldIndices;
    std::vector<uint8_t> m_ListIndices;
    std::map<int, uint32_t> m_Overrides; // header words (TKvtHeaderWord) replacing the computed ones
};

void AppendWord(std::vector<uint8_t>& bytes, uint32_t n);
void AppendText(std::vector<uint8_t>& bytes, const std::string& sText);
uint32_t ReadWord(const std::vector<uint8_t>& bytes, size_t nOffset);
// A header word of a file image.
uint32_t HeaderWord(const std::vector<uint8_t>& bytes, int nWord);
