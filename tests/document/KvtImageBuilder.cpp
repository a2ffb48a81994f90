#include "KvtImageBuilder.h"

#include <cstring>

void AppendWord(std::vector<uint8_t>& bytes, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(n >> (8 * i)));
}

uint32_t ReadWord(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | bytes.at(nOffset + static_cast<size_t>(i));
    return n;
}

CKvtImageBuilder::CKvtImageBuilder(const std::string& sFileType, const std::string& sVersion)
    : m_sFileType(sFileType), m_sVersion(sVersion)
{
}

uint32_t CKvtImageBuilder::AddStruct(uint32_t nStructID, uint32_t nData, uint32_t nFieldCount)
{
    AppendWord(m_Structs, nStructID);
    AppendWord(m_Structs, nData);
    AppendWord(m_Structs, nFieldCount);
    return m_nStructs++;
}

uint32_t CKvtImageBuilder::AddField(uint32_t nType, uint32_t nLabelIndex, uint32_t nData)
{
    AppendWord(m_Fields, nType);
    AppendWord(m_Fields, nLabelIndex);
    AppendWord(m_Fields, nData);
    return m_nFields++;
}

uint32_t CKvtImageBuilder::AddLabel(const std::string& sLabel)
{
    char name[16] = {};
    std::memcpy(name, sLabel.data(), sLabel.size() < 16 ? sLabel.size() : 16);
    m_Labels.insert(m_Labels.end(), name, name + 16);
    return m_nLabels++;
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

std::vector<uint8_t> CKvtImageBuilder::Word(uint32_t n)
{
    std::vector<uint8_t> bytes;
    AppendWord(bytes, n);
    return bytes;
}

std::vector<uint8_t> CKvtImageBuilder::StringValue(const std::string& s)
{
    std::vector<uint8_t> bytes = Word(static_cast<uint32_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    return bytes;
}

std::vector<uint8_t> CKvtImageBuilder::Build(const std::array<TSection, 6>& order) const
{
    const std::vector<uint8_t>* sections[6] = {&m_Structs,   &m_Fields,       &m_Labels,
                                               &m_FieldData, &m_FieldIndices, &m_ListIndices};
    const uint32_t counts[6] = {m_nStructs,
                                m_nFields,
                                m_nLabels,
                                static_cast<uint32_t>(m_FieldData.size()),
                                static_cast<uint32_t>(m_FieldIndices.size()),
                                static_cast<uint32_t>(m_ListIndices.size())};
    uint32_t offsets[6] = {};
    uint32_t nOffset = 56;
    for (TSection section : order) {
        offsets[section] = nOffset;
        nOffset += static_cast<uint32_t>(sections[section]->size());
    }
    std::vector<uint8_t> image;
    std::string sType = (m_sFileType + "    ").substr(0, 4);
    std::string sVersion = (m_sVersion + "    ").substr(0, 4);
    image.insert(image.end(), sType.begin(), sType.end());
    image.insert(image.end(), sVersion.begin(), sVersion.end());
    for (int i = 0; i < 6; ++i) {
        AppendWord(image, offsets[i]);
        AppendWord(image, counts[i]);
    }
    for (TSection section : order)
        image.insert(image.end(), sections[section]->begin(), sections[section]->end());
    return image;
}
