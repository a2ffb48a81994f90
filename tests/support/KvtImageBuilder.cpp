#include "KvtImageBuilder.h"

#include <cstring>

namespace {

void AppendPadded(std::vector<uint8_t>& bytes, const std::string& s, size_t nWidth)
{
    const size_t nStart = bytes.size();
    bytes.resize(nStart + nWidth, 0);
    std::memcpy(bytes.data() + nStart, s.data(), s.size() < nWidth ? s.size() : nWidth);
}

void AppendRecords(std::vector<uint8_t>& bytes, const std::vector<std::array<uint32_t, 3>>& records)
{
    for (const auto& record : records)
        for (uint32_t n : record)
            AppendWord(bytes, n);
}

} // namespace

void AppendWord(std::vector<uint8_t>& bytes, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(n >> (8 * i)));
}

void AppendText(std::vector<uint8_t>& bytes, const std::string& sText)
{
    bytes.insert(bytes.end(), sText.begin(), sText.end());
}

uint32_t ReadWord(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | bytes.at(nOffset + static_cast<size_t>(i));
    return n;
}

uint32_t HeaderWord(const std::vector<uint8_t>& bytes, int nWord)
{
    return ReadWord(bytes, 8 + 4 * static_cast<size_t>(nWord));
}

CKvtImageBuilder::CKvtImageBuilder(const std::string& sFileType, const std::string& sVersion)
    : m_sFileType(sFileType), m_sVersion(sVersion)
{
}

uint32_t CKvtImageBuilder::AddStruct(uint32_t nStructID, uint32_t nData, uint32_t nFieldCount)
{
    m_Structs.push_back({nStructID, nData, nFieldCount});
    return static_cast<uint32_t>(m_Structs.size() - 1);
}

uint32_t CKvtImageBuilder::AddField(uint32_t nType, uint32_t nLabelIndex, uint32_t nData)
{
    m_Fields.push_back({nType, nLabelIndex, nData});
    return static_cast<uint32_t>(m_Fields.size() - 1);
}

uint32_t CKvtImageBuilder::AddLabel(const std::string& sLabel)
{
    m_Labels.push_back(sLabel);
    return static_cast<uint32_t>(m_Labels.size() - 1);
}

uint32_t CKvtImageBuilder::AddFieldData(const std::vector<uint8_t>& bytes)
{
    const uint32_t nOffset = static_cast<uint32_t>(m_FieldData.size());
    m_FieldData.insert(m_FieldData.end(), bytes.begin(), bytes.end());
    return nOffset;
}

uint32_t CKvtImageBuilder::AddFieldIndices(const std::vector<uint32_t>& indices)
{
    const uint32_t nOffset = static_cast<uint32_t>(m_FieldIndices.size());
    for (uint32_t n : indices)
        AppendWord(m_FieldIndices, n);
    return nOffset;
}

uint32_t CKvtImageBuilder::AddListIndices(const std::vector<uint32_t>& words)
{
    const uint32_t nOffset = static_cast<uint32_t>(m_ListIndices.size());
    for (uint32_t n : words)
        AppendWord(m_ListIndices, n);
    return nOffset;
}

uint32_t CKvtImageBuilder::AddListEntry(const std::vector<uint32_t>& structIndices)
{
    const uint32_t nOffset = AddListIndices({static_cast<uint32_t>(structIndices.size())});
    AddListIndices(structIndices);
    return nOffset;
}

std::vector<uint8_t> CKvtImageBuilder::Word(uint32_t n)
{
    std::vector<uint8_t> bytes;
    AppendWord(bytes, n);
    return bytes;
}

std::vector<uint8_t> CKvtImageBuilder::StringValue(const std::string& s)
{
    std::vector<uint8_t> bytes = Word(static_cast<uint32_t>(s.size()));
    AppendText(bytes, s);
    return bytes;
}

std::vector<uint8_t> CKvtImageBuilder::Build(const std::array<TSection, 6>& order) const
{
    std::array<std::vector<uint8_t>, 6> sections;
    AppendRecords(sections[Structs], m_Structs);
    AppendRecords(sections[Fields], m_Fields);
    for (const std::string& sLabel : m_Labels)
        AppendPadded(sections[Labels], sLabel, 16);
    sections[FieldData] = m_FieldData;
    sections[FieldIndices] = m_FieldIndices;
    sections[ListIndices] = m_ListIndices;

    // Each section has an offset word and a count word: records for the first
    // three, bytes for the blocks.
    std::array<uint32_t, 12> words{};
    words[hwStructCount] = static_cast<uint32_t>(m_Structs.size());
    words[hwFieldCount] = static_cast<uint32_t>(m_Fields.size());
    words[hwLabelCount] = static_cast<uint32_t>(m_Labels.size());
    words[hwFieldDataSize] = static_cast<uint32_t>(m_FieldData.size());
    words[hwFieldIndicesSize] = static_cast<uint32_t>(m_FieldIndices.size());
    words[hwListIndicesSize] = static_cast<uint32_t>(m_ListIndices.size());
    uint32_t nOffset = 56;
    for (TSection section : order) {
        words[2 * section] = nOffset;
        nOffset += static_cast<uint32_t>(sections[section].size());
    }
    for (const auto& [nWord, nValue] : m_Overrides)
        words.at(static_cast<size_t>(nWord)) = nValue;

    std::vector<uint8_t> image;
    AppendPadded(image, m_sFileType, 4);
    AppendPadded(image, m_sVersion, 4);
    for (uint32_t n : words)
        AppendWord(image, n);
    for (TSection section : order)
        image.insert(image.end(), sections[section].begin(), sections[section].end());
    return image;
}
