#include "versionblockbuilder.h"

#include <cstdlib>

namespace {

constexpr uint16_t kTypeBinary = 0;
constexpr uint16_t kTypeText = 1;
constexpr size_t kMaxNodeLength = 0xFFFF;

struct BuildNode_st {
    std::string sKey;
    uint16_t nType = kTypeText;
    uint16_t nValueLength = 0;  // units for text, bytes for binary
    std::vector<uint8_t> value;
    std::vector<BuildNode_st> children;
};

void PutWord(std::vector<uint8_t>& out, uint16_t n)
{
    out.push_back(static_cast<uint8_t>(n & 0xFF));
    out.push_back(static_cast<uint8_t>(n >> 8));
}

void PutDword(std::vector<uint8_t>& out, uint32_t n)
{
    PutWord(out, static_cast<uint16_t>(n & 0xFFFF));
    PutWord(out, static_cast<uint16_t>(n >> 16));
}

void PutText(std::vector<uint8_t>& out, const std::string& sText)
{
    for (char c : sText)
        PutWord(out, static_cast<unsigned char>(c));
    PutWord(out, 0);
}

void PadTo4(std::vector<uint8_t>& out)
{
    while (out.size() % 4 != 0)
        out.push_back(0);
}

// Appends the node at a 4-aligned offset; false when it is too long.
bool Emit(const BuildNode_st& node, std::vector<uint8_t>& out)
{
    PadTo4(out);
    const size_t nStart = out.size();
    PutWord(out, 0);  // wLength, filled in below
    PutWord(out, node.nValueLength);
    PutWord(out, node.nType);
    PutText(out, node.sKey);
    PadTo4(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const BuildNode_st& child : node.children) {
        if (!Emit(child, out))
            return false;
    }
    const size_t nLength = out.size() - nStart;
    if (nLength > kMaxNodeLength)
        return false;
    out[nStart] = static_cast<uint8_t>(nLength & 0xFF);
    out[nStart + 1] = static_cast<uint8_t>(nLength >> 8);
    return true;
}

BuildNode_st TextNode(const std::string& sKey, const std::string& sValue)
{
    BuildNode_st node;
    node.sKey = sKey;
    PutText(node.value, sValue);
    node.nValueLength = static_cast<uint16_t>(node.value.size() / 2 > 0xFFFF ? 0xFFFF : node.value.size() / 2);
    return node;
}

BuildNode_st FixedFileInfo(const uint16_t version[4])
{
    BuildNode_st root;
    root.sKey = "VS_VERSION_INFO";
    root.nType = kTypeBinary;
    const uint32_t nMost = (static_cast<uint32_t>(version[0]) << 16) | version[1];
    const uint32_t nLeast = (static_cast<uint32_t>(version[2]) << 16) | version[3];
    PutDword(root.value, 0xFEEF04BD);  // signature
    PutDword(root.value, 0x00010000);  // structure version 1.0
    PutDword(root.value, nMost);       // file version
    PutDword(root.value, nLeast);
    PutDword(root.value, nMost);       // product version
    PutDword(root.value, nLeast);
    PutDword(root.value, 0x3F);        // flags mask
    PutDword(root.value, 0);           // flags
    PutDword(root.value, 0x00040004);  // operating system (32-bit Windows NT)
    PutDword(root.value, 1);           // file type: application
    PutDword(root.value, 0);           // subtype
    PutDword(root.value, 0);           // date
    PutDword(root.value, 0);
    root.nValueLength = static_cast<uint16_t>(root.value.size());
    return root;
}

} // namespace

std::vector<uint8_t> BuildVersionBlock(const VersionInfo_st& info)
{
    BuildNode_st root = FixedFileInfo(info.fileVersion);

    BuildNode_st stringInfo;
    stringInfo.sKey = "StringFileInfo";
    BuildNode_st translation;
    translation.sKey = "Translation";
    translation.nType = kTypeBinary;
    for (const VersionStringTable_st& table : info.tables) {
        BuildNode_st tableNode;
        tableNode.sKey = table.sLanguageCodePage;
        for (const auto& [sKey, sValue] : table.strings)
            tableNode.children.push_back(TextNode(sKey, sValue));
        stringInfo.children.push_back(tableNode);

        const unsigned long nCode = std::strtoul(table.sLanguageCodePage.c_str(), nullptr, 16);
        PutWord(translation.value, static_cast<uint16_t>(nCode >> 16));     // language
        PutWord(translation.value, static_cast<uint16_t>(nCode & 0xFFFF));  // code page
    }
    translation.nValueLength = static_cast<uint16_t>(translation.value.size());
    BuildNode_st varInfo;
    varInfo.sKey = "VarFileInfo";
    varInfo.children.push_back(translation);

    root.children.push_back(stringInfo);
    root.children.push_back(varInfo);
    std::vector<uint8_t> out;
    if (!Emit(root, out))
        out.clear();
    return out;
}
