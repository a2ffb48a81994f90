#include "KvtHostileShapes.h"

#include "KvtImageBuilder.h"
#include "TempDir.h"

namespace {

const uint32_t kLocString = 12;

// A struct of the fields, all with one data word, and a label each.
std::vector<uint8_t> OneStructOf(CKvtImageBuilder& builder, uint32_t nFields, uint32_t nType, uint32_t nData)
{
    std::vector<uint32_t> indices;
    for (uint32_t i = 0; i < nFields; ++i)
        indices.push_back(builder.AddField(nType, builder.AddLabel("f" + std::to_string(i)), nData));
    builder.AddStruct(0xFFFFFFFF, nFields == 1 ? 0 : builder.AddFieldIndices(indices), nFields);
    return builder.Build();
}

} // namespace

std::vector<uint8_t> CKvtHostileShapes::SharedValueFields(uint32_t nFields, uint32_t nType, uint32_t nValueBytes)
{
    CKvtImageBuilder builder;
    const uint32_t nValue = builder.AddFieldData(CKvtImageBuilder::StringValue(std::string(nValueBytes, 'v')));
    return OneStructOf(builder, nFields, nType, nValue);
}

std::vector<uint8_t> CKvtHostileShapes::ZeroTextLocStrings(uint32_t nFields, uint32_t nValueBytes)
{
    CKvtImageBuilder builder;
    // Declared size, StrRef, one entry (id 0) whose text fills the rest.
    const uint32_t nText = nValueBytes < 16 ? 0 : nValueBytes - 16;
    std::vector<uint8_t> value = CKvtImageBuilder::Word(8 + 8 + nText);
    AppendWord(value, 0xFFFFFFFF);
    AppendWord(value, 1);
    AppendWord(value, 0);
    AppendWord(value, nText);
    value.resize(value.size() + nText, 0);
    const uint32_t nValue = builder.AddFieldData(value);
    return OneStructOf(builder, nFields, kLocString, nValue);
}

std::vector<uint8_t> CKvtHostileShapes::ManyEntryLocString(uint32_t nEntries, bool bReplacing)
{
    std::vector<uint8_t> body;
    AppendWord(body, 7);
    AppendWord(body, nEntries);
    const uint32_t nHalf = nEntries / 2;
    for (uint32_t i = 0; i < nEntries; ++i) {
        // Ids from 2 on: 0 and 1 would be one entry (language 0 has no gender).
        const bool bReplace = bReplacing && i >= nHalf;
        AppendWord(body, 2 + (bReplace ? i - nHalf : i));
        const std::string sText = bReplace ? "yz" : std::string(1, static_cast<char>('a' + i % 26));
        AppendWord(body, static_cast<uint32_t>(sText.size()));
        AppendText(body, sText);
    }
    std::vector<uint8_t> value = CKvtImageBuilder::Word(static_cast<uint32_t>(body.size()));
    value.insert(value.end(), body.begin(), body.end());
    CKvtImageBuilder builder;
    return OneStructOf(builder, 1, kLocString, builder.AddFieldData(value));
}

std::vector<uint8_t> CKvtHostileShapes::SharedFieldArrayStructs(uint32_t nStructs, uint32_t nFields)
{
    CKvtImageBuilder builder;
    const uint32_t kList = 15, kInt = 5;
    std::vector<uint32_t> elements;
    for (uint32_t i = 0; i < nStructs; ++i)
        elements.push_back(1 + i);
    builder.AddField(kList, builder.AddLabel("list"), builder.AddListEntry(elements));
    const uint32_t nValue = builder.AddField(kInt, builder.AddLabel("v"), 7);
    builder.AddStruct(0xFFFFFFFF, 0, 1);
    const uint32_t nArray = builder.AddFieldIndices(std::vector<uint32_t>(nFields, nValue));
    for (uint32_t i = 0; i < nStructs; ++i)
        builder.AddStruct(i, nArray, nFields);
    return builder.Build();
}

std::vector<uint8_t> CKvtHostileShapes::SharedDamagedFieldStructs(uint32_t nStructs)
{
    CKvtImageBuilder builder;
    const uint32_t kList = 15, kString = 10;
    std::vector<uint32_t> elements;
    for (uint32_t i = 0; i < nStructs; ++i)
        elements.push_back(1 + i);
    builder.AddField(kList, builder.AddLabel("list"), builder.AddListEntry(elements));
    const uint32_t nValue =
        builder.AddField(kString, builder.AddLabel("name"), builder.AddFieldData(CKvtImageBuilder::Word(99)));
    builder.AddStruct(0xFFFFFFFF, 0, 1);
    for (uint32_t i = 0; i < nStructs; ++i)
        builder.AddStruct(i, nValue, 1);
    return builder.Build();
}

std::vector<CKvtHostileShapes::Shape_st> CKvtHostileShapes::BenchmarkShapes()
{
    return {
        {"shared-string", "3,000 STRING fields naming one 1 MB value", SharedValueFields(3000, 10, 1000000)},
        {"shared-binary", "3,000 BINARY fields naming one 1 MB value", SharedValueFields(3000, 13, 1000000)},
        {"zero-locstring", "1,000 LOCSTRING fields naming one 200,000-byte value of zero-byte text",
         ZeroTextLocStrings(1000, 200000)},
        {"many-entries", "one LOCSTRING of 100,000 one-byte entries with distinct ids",
         ManyEntryLocString(100000, false)},
        {"replacing-entries", "one LOCSTRING of 100,000 entries, the second half replacing the first",
         ManyEntryLocString(100000, true)},
        {"shared-fields", "50,000 structs naming one array of 50,000 INT fields (nodes up to the work budget)",
         SharedFieldArrayStructs(50000, 50000)},
    };
}

std::vector<CKvtHostileShapes::Shape_st> CKvtHostileShapes::SeedShapes()
{
    return {
        {"shared_strings", "", SharedValueFields(24, 10, 300)},
        {"shared_binaries", "", SharedValueFields(24, 13, 300)},
        {"zero_text_locstrings", "", ZeroTextLocStrings(16, 200)},
        {"many_entry_locstring", "", ManyEntryLocString(200, false)},
        {"replaced_entry_locstring", "", ManyEntryLocString(200, true)},
        {"shared_field_array", "", SharedFieldArrayStructs(40, 40)},
    };
}

bool CKvtHostileShapes::WriteSeeds(const std::string& sFolder)
{
    bool bOk = true;
    for (const Shape_st& shape : SeedShapes())
        bOk = WriteFileBytes(sFolder + "/" + shape.sName + ".kvt", shape.image) && bOk;
    return bOk;
}
