#include "KvtImage.h"

#include <cstring>

void AppendU32(std::vector<uint8_t>& bytes, uint32_t nValue)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(nValue >> (8 * i)));
}

void AppendText(std::vector<uint8_t>& bytes, const std::string& sText)
{
    bytes.insert(bytes.end(), sText.begin(), sText.end());
}

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t nOffset)
{
    uint32_t nValue = 0;
    for (int i = 3; i >= 0; --i)
        nValue = (nValue << 8) | bytes.at(nOffset + i);
    return nValue;
}

uint32_t HeaderWord(const std::vector<uint8_t>& bytes, int nWord)
{
    return U32At(bytes, 8 + 4 * nWord);
}

uint32_t KvtImage::AddField(uint32_t nType, uint32_t nLabel, uint32_t nData)
{
    fields.push_back({nType, nLabel, nData});
    return static_cast<uint32_t>(fields.size() - 1);
}

uint32_t KvtImage::AddLabel(const std::string& sLabel)
{
    labels.push_back(sLabel);
    return static_cast<uint32_t>(labels.size() - 1);
}

uint32_t KvtImage::AddFieldArray(const std::vector<uint32_t>& indices)
{
    const uint32_t nOffset = static_cast<uint32_t>(fieldIndices.size());
    for (uint32_t n : indices)
        AppendU32(fieldIndices, n);
    return nOffset;
}

uint32_t KvtImage::AddListEntry(const std::vector<uint32_t>& structIndices)
{
    const uint32_t nOffset = static_cast<uint32_t>(listIndices.size());
    AppendU32(listIndices, static_cast<uint32_t>(structIndices.size()));
    for (uint32_t n : structIndices)
        AppendU32(listIndices, n);
    return nOffset;
}

std::vector<uint8_t> KvtImage::Bytes() const
{
    std::vector<uint8_t> body;
    uint32_t words[12];
    const uint32_t nBase = 56;
    words[hwStructOffset] = nBase;
    words[hwStructCount] = static_cast<uint32_t>(structs.size());
    for (const auto& record : structs)
        for (uint32_t n : record)
            AppendU32(body, n);
    words[hwFieldOffset] = nBase + static_cast<uint32_t>(body.size());
    words[hwFieldCount] = static_cast<uint32_t>(fields.size());
    for (const auto& record : fields)
        for (uint32_t n : record)
            AppendU32(body, n);
    words[hwLabelOffset] = nBase + static_cast<uint32_t>(body.size());
    words[hwLabelCount] = static_cast<uint32_t>(labels.size());
    for (const std::string& sLabel : labels) {
        char entry[16] = {};
        std::memcpy(entry, sLabel.data(), sLabel.size() < 16 ? sLabel.size() : 16);
        body.insert(body.end(), entry, entry + 16);
    }
    words[hwFieldDataOffset] = nBase + static_cast<uint32_t>(body.size());
    words[hwFieldDataSize] = static_cast<uint32_t>(fieldData.size());
    body.insert(body.end(), fieldData.begin(), fieldData.end());
    words[hwFieldIndicesOffset] = nBase + static_cast<uint32_t>(body.size());
    words[hwFieldIndicesSize] = static_cast<uint32_t>(fieldIndices.size());
    body.insert(body.end(), fieldIndices.begin(), fieldIndices.end());
    words[hwListIndicesOffset] = nBase + static_cast<uint32_t>(body.size());
    words[hwListIndicesSize] = static_cast<uint32_t>(listIndices.size());
    body.insert(body.end(), listIndices.begin(), listIndices.end());
    for (const auto& [nWord, nValue] : overrides)
        words[nWord] = nValue;

    std::vector<uint8_t> bytes;
    char type[4] = {};
    std::memcpy(type, fileType.data(), fileType.size() < 4 ? fileType.size() : 4);
    bytes.insert(bytes.end(), type, type + 4);
    char ver[4] = {};
    std::memcpy(ver, version.data(), version.size() < 4 ? version.size() : 4);
    bytes.insert(bytes.end(), ver, ver + 4);
    for (uint32_t n : words)
        AppendU32(bytes, n);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}
