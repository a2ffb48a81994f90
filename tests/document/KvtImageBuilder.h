#pragma once
// Builds KVT file images by hand, with the sections in any order and any
// content, so tests can feed the reader files our own writer never makes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CKvtImageBuilder {
public:
    enum TSection { Structs, Fields, Labels, FieldData, FieldIndices, ListIndices };

    explicit CKvtImageBuilder(const std::string& sFileType = "TEST", const std::string& sVersion = "V3.2");

    // Appends records; each returns the new record's index.
    uint32_t AddStruct(uint32_t nStructID, uint32_t nData, uint32_t nFieldCount);
    uint32_t AddField(uint32_t nType, uint32_t nLabelIndex, uint32_t nData);
    uint32_t AddLabel(const std::string& sLabel);
    // Append raw bytes to a block; each returns the offset where they start.
    uint32_t AddFieldData(const std::vector<uint8_t>& bytes);
    uint32_t AddFieldIndices(const std::vector<uint32_t>& indices);
    uint32_t AddListIndices(const std::vector<uint32_t>& words);

    // The image with the sections in the given order (all six must be named).
    std::vector<uint8_t> Build(const std::array<TSection, 6>& order = {Structs, Fields, Labels, FieldData,
                                                                      FieldIndices, ListIndices}) const;

    static std::vector<uint8_t> Word(uint32_t n);
    static std::vector<uint8_t> StringValue(const std::string& s);

private:
    std::string m_sFileType;
    std::string m_sVersion;
    std::vector<uint8_t> m_Structs, m_Fields, m_Labels, m_FieldData, m_FieldIndices, m_ListIndices;
    uint32_t m_nStructs = 0, m_nFields = 0, m_nLabels = 0;
};

void AppendWord(std::vector<uint8_t>& bytes, uint32_t n);
uint32_t ReadWord(const std::vector<uint8_t>& bytes, size_t nOffset);
