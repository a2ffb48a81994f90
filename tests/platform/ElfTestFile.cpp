#include "ElfTestFile.h"

namespace {

void Align(std::vector<uint8_t>& file, size_t nAlignment)
{
    while (file.size() % nAlignment != 0)
        file.push_back(0);
}

} // namespace

void PutElfField(std::vector<uint8_t>& file, const ElfTestLayout_st& layout, uint64_t nOffset, size_t nBytes,
                 uint64_t nValue)
{
    if (file.size() < nOffset + nBytes)
        file.resize(nOffset + nBytes);
    for (size_t i = 0; i < nBytes; ++i) {
        const size_t nIndex = layout.bBigEndian ? nBytes - 1 - i : i;
        file[nOffset + nIndex] = static_cast<uint8_t>(nValue >> (8 * i));
    }
}

uint64_t SectionHeaderField(const ElfTestLayout_st& layout, uint64_t nIndex, uint64_t nField64, uint64_t nField32)
{
    return layout.nTableOffset + nIndex * layout.nEntrySize + (layout.b64 ? nField64 : nField32);
}

std::vector<uint8_t> MakeElfFile(const std::vector<ElfTestSection_st>& sections, ElfTestLayout_st& layout)
{
    const size_t nHeaderSize = layout.b64 ? 64 : 52;
    layout.nEntrySize = layout.b64 ? 64 : 40;
    std::vector<uint8_t> file(nHeaderSize, 0);
    file[0] = 0x7F;
    file[1] = 'E';
    file[2] = 'L';
    file[3] = 'F';
    file[4] = layout.b64 ? 2 : 1;
    file[5] = layout.bBigEndian ? 2 : 1;
    file[6] = 1;  // EV_CURRENT

    std::string sNames(1, '\0');
    std::vector<uint32_t> nameOffsets;
    layout.dataOffsets.clear();
    for (const ElfTestSection_st& section : sections) {
        Align(file, 4);
        layout.dataOffsets.push_back(file.size());
        file.insert(file.end(), section.bytes.begin(), section.bytes.end());
        nameOffsets.push_back(static_cast<uint32_t>(sNames.size()));
        sNames += section.sName;
        sNames += '\0';
    }
    const uint32_t nNamesName = static_cast<uint32_t>(sNames.size());
    sNames += ".shstrtab";
    sNames += '\0';
    const uint64_t nNamesOffset = file.size();
    file.insert(file.end(), sNames.begin(), sNames.end());
    Align(file, 8);

    layout.nTableOffset = file.size();
    layout.nNamesIndex = sections.size() + 1;
    const uint64_t nCount = sections.size() + 2;  // the null section, the given ones, the names
    file.resize(file.size() + nCount * layout.nEntrySize, 0);
    auto putHeader = [&](uint64_t nIndex, uint32_t nName, uint32_t nType, uint64_t nOffset, uint64_t nSize) {
        const size_t nWord = layout.b64 ? 8 : 4;
        PutElfField(file, layout, SectionHeaderField(layout, nIndex, 0, 0), 4, nName);
        PutElfField(file, layout, SectionHeaderField(layout, nIndex, 4, 4), 4, nType);
        PutElfField(file, layout, SectionHeaderField(layout, nIndex, 24, 16), nWord, nOffset);
        PutElfField(file, layout, SectionHeaderField(layout, nIndex, 32, 20), nWord, nSize);
    };
    for (size_t i = 0; i < sections.size(); ++i)
        putHeader(i + 1, nameOffsets[i], sections[i].nType, layout.dataOffsets[i], sections[i].bytes.size());
    putHeader(layout.nNamesIndex, nNamesName, 3 /* SHT_STRTAB */, nNamesOffset, sNames.size());

    PutElfField(file, layout, 16, 2, 2);  // e_type: executable
    if (layout.b64) {
        PutElfField(file, layout, 0x28, 8, layout.nTableOffset);
        PutElfField(file, layout, 0x34, 2, 64);
        PutElfField(file, layout, 0x3A, 2, layout.nEntrySize);
        PutElfField(file, layout, 0x3C, 2, nCount);
        PutElfField(file, layout, 0x3E, 2, layout.nNamesIndex);
    } else {
        PutElfField(file, layout, 0x20, 4, layout.nTableOffset);
        PutElfField(file, layout, 0x28, 2, 52);
        PutElfField(file, layout, 0x2E, 2, layout.nEntrySize);
        PutElfField(file, layout, 0x30, 2, nCount);
        PutElfField(file, layout, 0x32, 2, layout.nNamesIndex);
    }
    return file;
}
