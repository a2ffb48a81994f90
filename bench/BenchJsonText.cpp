#include "BenchJsonText.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <vector>

namespace {

using CJsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

void WriteLocString(CJsonWriter& writer, const COroLocString& value)
{
    writer.StartObject();
    writer.Key("strref");
    writer.Int(value.StrRef);
    writer.Key("strings");
    writer.StartArray();
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nLanguage = 0;
        uint8_t nGender = 0;
        COroString sText;
        value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender);
        writer.StartObject();
        writer.Key("id");
        writer.Int(COroLocString::MakeId(nLanguage, nGender));
        writer.Key("text");
        writer.String(sText.CStr());
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
}

void WriteBinary(CJsonWriter& writer, const CKvtNodeBINARY* pNode)
{
    static const char kHex[] = "0123456789abcdef";
    std::string sHex;
    for (uint32_t i = 0; pNode->m_pData && i < pNode->m_nDataSize; ++i) {
        sHex += kHex[pNode->m_pData[i] >> 4];
        sHex += kHex[pNode->m_pData[i] & 15];
    }
    writer.String(sHex.c_str(), static_cast<rapidjson::SizeType>(sHex.size()));
}

template <typename T, TKvtFieldType Type> T ValueOf(CKvtNodeBase* pNode)
{
    return static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value;
}

void WriteLeaf(CJsonWriter& writer, CKvtNodeBase* pNode)
{
    switch (pNode->GetType()) {
    case ftBYTE: writer.Uint(ValueOf<uint8_t, ftBYTE>(pNode)); break;
    case ftCHAR: writer.Int(ValueOf<int8_t, ftCHAR>(pNode)); break;
    case ftWORD: writer.Uint(ValueOf<uint16_t, ftWORD>(pNode)); break;
    case ftSHORT: writer.Int(ValueOf<int16_t, ftSHORT>(pNode)); break;
    case ftDWORD: writer.Uint(ValueOf<uint32_t, ftDWORD>(pNode)); break;
    case ftINT: writer.Int(ValueOf<int32_t, ftINT>(pNode)); break;
    case ftDWORD64: writer.Uint64(ValueOf<uint64_t, ftDWORD64>(pNode)); break;
    case ftINT64: writer.Int64(ValueOf<int64_t, ftINT64>(pNode)); break;
    case ftFLOAT: writer.Double(ValueOf<float, ftFLOAT>(pNode)); break;
    case ftDOUBLE: writer.Double(ValueOf<double, ftDOUBLE>(pNode)); break;
    case ftSTRING: writer.String(ValueOf<COroString, ftSTRING>(pNode).CStr()); break;
    case ftRESREF: writer.String(pNode->GetEditText().CStr()); break;
    case ftLOCSTRING: WriteLocString(writer, ValueOf<COroLocString, ftLOCSTRING>(pNode)); break;
    case ftBINARY: WriteBinary(writer, static_cast<CKvtNodeBINARY*>(pNode)); break;
    default: writer.Null(); break;
    }
}

// One struct or list being written: its node and the next child.
struct JsonFrame_st {
    CKvtNodeStruct* pNode;
    int32_t nNext;
    bool bList;
};

void OpenContainer(CJsonWriter& writer, std::vector<JsonFrame_st>& stack, CKvtNodeBase* pNode, bool bList)
{
    if (bList) {
        writer.StartArray();
    } else {
        writer.StartObject();
        writer.Key("__id");
        writer.Uint(pNode->GetStructID());
    }
    stack.push_back(JsonFrame_st{pNode->GetStructNode(), 0, bList});
}

} // namespace

std::string MakeJsonText(CKvtNodeTopLevelStruct* pRoot)
{
    rapidjson::StringBuffer buffer;
    CJsonWriter writer(buffer);
    writer.StartObject();
    writer.Key("__type");
    writer.String(pRoot->m_sFileType.CStr());
    writer.Key("__version");
    writer.String(pRoot->m_sVersion.CStr());
    // An explicit stack: no recursion however deep the document is.
    std::vector<JsonFrame_st> stack{JsonFrame_st{pRoot, 0, false}};
    while (!stack.empty()) {
        JsonFrame_st& frame = stack.back();
        if (frame.nNext >= frame.pNode->GetChildCount()) {
            if (frame.bList)
                writer.EndArray();
            else
                writer.EndObject();
            stack.pop_back();
            continue;
        }
        CKvtNodeBase* pChild = frame.pNode->GetChild(frame.nNext++);
        const bool bInList = frame.bList;
        if (!bInList)
            writer.Key(pChild->m_sLabel.CStr());
        if (pChild->GetStructNode())
            OpenContainer(writer, stack, pChild, pChild->GetType() == ftLIST);
        else
            WriteLeaf(writer, pChild);
    }
    return std::string(buffer.GetString(), buffer.GetSize());
}
