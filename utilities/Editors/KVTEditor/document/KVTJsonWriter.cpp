#include "KVTJsonWriter.h"

#include <rapidjson/internal/itoa.h>
#include <rapidjson/writer.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "KVTJsonFormat.h"
#include "KVTJsonSink.h"
#include "KVTJsonText.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Per byte: 0 when it stands for itself, the letter after the backslash when
// it is escaped, 1 when it takes two UTF-8 bytes. The same escapes as
// RapidJSON's writer: short ones where JSON has them, \u00XX for the other
// control characters.
constexpr std::array<char, 256> MakeEscapes()
{
    std::array<char, 256> escapes{};
    for (int c = 0; c < 0x20; ++c)
        escapes[static_cast<size_t>(c)] = 'u';
    escapes['\b'] = 'b';
    escapes['\f'] = 'f';
    escapes['\n'] = 'n';
    escapes['\r'] = 'r';
    escapes['\t'] = 't';
    escapes['"'] = '"';
    escapes['\\'] = '\\';
    for (int c = 0x80; c < 0x100; ++c)
        escapes[static_cast<size_t>(c)] = 1;
    return escapes;
}
constexpr std::array<char, 256> kEscapes = MakeEscapes();

// The type names and their lengths, by type number + 1.
struct TypeName_st {
    const char* pName;
    size_t nLength;
};
const std::array<TypeName_st, 17> kTypeNames = []() {
    std::array<TypeName_st, 17> names{};
    for (int n = -1; n <= 15; ++n) {
        const char* pName = CKvtJsonFormat::TypeName(static_cast<TKvtFieldType>(n));
        names[static_cast<size_t>(n + 1)] = TypeName_st{pName, std::strlen(pName)};
    }
    return names;
}();

// An unknown type (never in a tree) gets an empty name.
TypeName_st TypeNameOf(TKvtFieldType nType)
{
    const auto nIndex = static_cast<size_t>(static_cast<int>(nType) + 1);
    return nIndex < kTypeNames.size() ? kTypeNames[nIndex] : TypeName_st{"", 0};
}

// Room a text of n bytes can take inside a JSON string.
constexpr size_t EscapedRoom(size_t nLength) { return 6 * nLength; }

// Each byte as the code point of its number, escaped; no quotes.
char* EscapeBytes(const char* pBytes, size_t nLength, char* pOut)
{
    for (size_t i = 0; i < nLength; ++i) {
        const auto c = static_cast<uint8_t>(pBytes[i]);
        const char cEscape = kEscapes[c];
        if (cEscape == 0) {
            *pOut++ = static_cast<char>(c);
        } else if (c >= 0x80) {
            *pOut++ = static_cast<char>(0xC0 | (c >> 6));
            *pOut++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *pOut++ = '\\';
            *pOut++ = cEscape;
            if (cEscape == 'u') {
                *pOut++ = '0';
                *pOut++ = '0';
                *pOut++ = kHexDigits[c >> 4];
                *pOut++ = kHexDigits[c & 15];
            }
        }
    }
    return pOut;
}

template <size_t N> char* Literal(char* pOut, const char (&text)[N])
{
    std::memcpy(pOut, text, N - 1);
    return pOut + N - 1;
}

// A byte text as a JSON string, quotes included, in parts: the block never
// has to hold six times a long text.
void WriteByteString(CKvtJsonSink& sink, const char* pBytes, size_t nLength)
{
    constexpr size_t kPart = 4096;
    sink.Put('"');
    while (nLength > 0) {
        const size_t nPart = nLength < kPart ? nLength : kPart;
        sink.Advance(EscapeBytes(pBytes, nPart, sink.Claim(EscapedRoom(nPart))));
        pBytes += nPart;
        nLength -= nPart;
    }
    sink.Put('"');
}

// The SAX writer, plus line breaks before the nodes of a field or element
// array (one node per line keeps line-based diffs of the text readable) and
// values whose text the caller puts into the sink itself.
class CJsonLineWriter : public rapidjson::Writer<CKvtJsonSink> {
public:
    explicit CJsonLineWriter(CKvtJsonSink& sink) : rapidjson::Writer<CKvtJsonSink>(sink) {}

    // A key or string of characters JSON takes unescaped (the form's own
    // keys and type names), copied whole.
    void PlainString(const char* pText, size_t nLength)
    {
        Prefix(rapidjson::kStringType);
        char* pOut = os_->Claim(nLength + 2);
        *pOut++ = '"';
        std::memcpy(pOut, pText, nLength);
        pOut += nLength;
        *pOut++ = '"';
        os_->Advance(pOut);
    }

    // A byte text (each byte the code point of its number) as a string.
    void ByteString(const char* pBytes, size_t nLength)
    {
        Prefix(rapidjson::kStringType);
        WriteByteString(*os_, pBytes, nLength);
    }

    // Places a value whose whole text the caller then writes to the sink.
    void BeginOwnValue(rapidjson::Type type) { Prefix(type); }

    // Call inside an array, before the value that starts the line.
    void BreakLine(size_t nDepth)
    {
        Level* pLevel = level_stack_.Top<Level>();
        char* pOut = os_->Claim(2 + nDepth);
        if (pLevel->valueCount > 0)
            *pOut++ = ',';
        // The writer's own prefix then puts no second comma; the count only
        // matters as "not the first" from here on.
        pLevel->valueCount = 0;
        *pOut++ = '\n';
        std::memset(pOut, ' ', nDepth);
        os_->Advance(pOut + nDepth);
    }
};

class CNodeWriter {
public:
    explicit CNodeWriter(CKvtJsonSink& sink) : m_Sink(sink), m_Writer(sink) {}

    void Document(CKvtNodeTopLevelStruct* pRoot)
    {
        m_Writer.StartObject();
        Key("format");
        m_Writer.String(CKvtJsonFormat::kFormatName);
        Key("format_version");
        m_Writer.Int(CKvtJsonFormat::kFormatVersion);
        Key("file_type");
        Bytes(pRoot->m_sFileType);
        Key("file_version");
        Bytes(pRoot->m_sVersion);
        Key("root");
        Tree(pRoot);
        m_Writer.EndObject();
        m_Sink.Put('\n');
    }

private:
    struct Frame_st {
        CKvtNodeStruct* pNode;
        int32_t nNext;
    };

    // Depth first with an explicit stack: a node's line, then its children's.
    void Tree(CKvtNodeTopLevelStruct* pRoot)
    {
        std::vector<Frame_st> stack;
        OpenStruct(pRoot, true);
        stack.push_back(Frame_st{pRoot, 0});
        while (!stack.empty()) {
            Frame_st& frame = stack.back();
            if (frame.nNext >= frame.pNode->GetChildCount()) {
                m_Writer.EndArray();
                m_Writer.EndObject();
                stack.pop_back();
                continue;
            }
            CKvtNodeBase* pChild = frame.pNode->GetChild(frame.nNext++);
            m_Writer.BreakLine(stack.size());
            if (CKvtNodeStruct* pStruct = pChild->GetStructNode()) {
                OpenStruct(pChild, false);
                stack.push_back(Frame_st{pStruct, 0});
            } else {
                Leaf(pChild);
            }
        }
    }

    // A struct's or list's object up to its child array, left open.
    void OpenStruct(CKvtNodeBase* pNode, bool bRoot)
    {
        const TKvtFieldType nType = pNode->GetType();
        m_Writer.StartObject();
        Key("label");
        Bytes(pNode->m_sLabel);
        Key("type");
        const TypeName_st typeName = TypeNameOf(nType);
        m_Writer.PlainString(typeName.pName, typeName.nLength);
        if (nType == ftSTRUCT || pNode->m_nStructID != 0) {
            Key("struct_id");
            m_Writer.Uint(pNode->m_nStructID);
        }
        if (nType == ftTOPLEVELSTRUCT && !bRoot) {
            // A copy of the root pasted below it keeps its header texts.
            auto* pCopy = static_cast<CKvtNodeTopLevelStruct*>(pNode);
            Key("file_type");
            Bytes(pCopy->m_sFileType);
            Key("file_version");
            Bytes(pCopy->m_sVersion);
        }
        if (nType == ftLIST)
            Key("elements");
        else
            Key("fields");
        m_Writer.StartArray();
    }

    // A leaf is nearly every node: its object goes into the sink in one
    // piece (RapidJSON's own number conversions for the integers), and the
    // writer only places it in the array.
    void Leaf(CKvtNodeBase* pNode)
    {
        const TKvtFieldType nType = pNode->GetType();
        const COroString& sLabel = pNode->m_sLabel;
        const auto nLabel = static_cast<size_t>(sLabel.GetLength());
        const TypeName_st typeName = TypeNameOf(nType);
        m_Writer.BeginOwnValue(rapidjson::kObjectType);
        char* pOut = m_Sink.Claim(kLeafRoom + typeName.nLength + EscapedRoom(nLabel));
        pOut = Literal(pOut, "{\"label\":\"");
        pOut = EscapeBytes(sLabel.CStr(), nLabel, pOut);
        pOut = Literal(pOut, "\",\"type\":\"");
        std::memcpy(pOut, typeName.pName, typeName.nLength);
        pOut += typeName.nLength;
        if (pNode->m_nStructID != 0) {
            pOut = Literal(pOut, "\",\"struct_id\":");
            pOut = rapidjson::internal::u32toa(pNode->m_nStructID, pOut);
            pOut = Literal(pOut, ",\"value\":");
        } else {
            pOut = Literal(pOut, "\",\"value\":");
        }
        if (char* pEnd = ScalarValue(pNode, nType, pOut)) {
            *pEnd++ = '}';
            m_Sink.Advance(pEnd);
            return;
        }
        m_Sink.Advance(pOut);
        LongValue(pNode, nType);
        m_Sink.Put('}');
    }

    // Room for a leaf's object beside its label and type name: the keys,
    // a struct ID and the longest scalar value.
    static constexpr size_t kLeafRoom = 96 + CKvtJsonText::kRealTextCapacity;

    template <typename T, TKvtFieldType Type> static T ValueOf(CKvtNodeBase* pNode)
    {
        return static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value;
    }

    // Writes a number's text at pOut; null for the types whose value may be
    // long (texts, localized strings, binary).
    static char* ScalarValue(CKvtNodeBase* pNode, TKvtFieldType nType, char* pOut)
    {
        using namespace rapidjson::internal;
        switch (nType) {
        case ftBYTE: return u32toa(ValueOf<uint8_t, ftBYTE>(pNode), pOut);
        case ftCHAR: return i32toa(ValueOf<int8_t, ftCHAR>(pNode), pOut);
        case ftWORD: return u32toa(ValueOf<uint16_t, ftWORD>(pNode), pOut);
        case ftSHORT: return i32toa(ValueOf<int16_t, ftSHORT>(pNode), pOut);
        case ftDWORD: return u32toa(ValueOf<uint32_t, ftDWORD>(pNode), pOut);
        case ftINT: return i32toa(ValueOf<int32_t, ftINT>(pNode), pOut);
        case ftDWORD64: return u64toa(ValueOf<uint64_t, ftDWORD64>(pNode), pOut);
        case ftINT64: return i64toa(ValueOf<int64_t, ftINT64>(pNode), pOut);
        case ftFLOAT: return Real(ValueOf<float, ftFLOAT>(pNode), pOut);
        case ftDOUBLE: return Real(ValueOf<double, ftDOUBLE>(pNode), pOut);
        case ftSTRING:
        case ftRESREF:
        case ftLOCSTRING:
        case ftBINARY: return nullptr;
        default: return Literal(pOut, "null");
        }
    }

    // The shortest decimal that reads back to the same bits; NaN and the
    // infinities, which JSON has no number for, as a string of their bits.
    template <typename T> static char* Real(T value, char* pOut)
    {
        if (std::isfinite(value))
            return pOut + CKvtJsonText::RealText(value, pOut);
        *pOut++ = '"';
        pOut += CKvtJsonText::RealText(value, pOut);
        *pOut++ = '"';
        return pOut;
    }

    void LongValue(CKvtNodeBase* pNode, TKvtFieldType nType)
    {
        switch (nType) {
        case ftSTRING: Text(static_cast<CKvtNodeSTRING*>(pNode)->m_Value); break;
        case ftRESREF: {
            const CResRef& ref = static_cast<CKvtNodeRESREF*>(pNode)->m_Value;
            WriteByteString(m_Sink, ref.GetResRef(), ref.GetLength());
            break;
        }
        case ftLOCSTRING: LocString(static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value); break;
        case ftBINARY: {
            auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
            CKvtJsonText::EncodeBase64(pBinary->m_pData, pBinary->m_pData ? pBinary->m_nDataSize : 0, m_sScratch);
            m_Sink.Put('"');
            m_Sink.Append(m_sScratch.data(), m_sScratch.size());
            m_Sink.Put('"');
            break;
        }
        default: break;
        }
    }

    void LocString(const COroLocString& value)
    {
        char* pOut = m_Sink.Claim(32);
        pOut = Literal(pOut, "{\"strref\":");
        pOut = rapidjson::internal::i32toa(value.StrRef, pOut);
        pOut = Literal(pOut, ",\"strings\":[");
        m_Sink.Advance(pOut);
        const int32_t nCount = value.GetStringCount();
        for (int32_t i = 0; i < nCount; ++i) {
            int32_t nLanguage = 0;
            uint8_t nGender = 0;
            if (!value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, m_sEntryText, nGender))
                break;
            pOut = m_Sink.Claim(48);
            if (i > 0)
                *pOut++ = ',';
            pOut = Literal(pOut, "{\"language\":");
            pOut = rapidjson::internal::i32toa(nLanguage, pOut);
            pOut = Literal(pOut, ",\"gender\":");
            pOut = rapidjson::internal::u32toa(nGender, pOut);
            pOut = Literal(pOut, ",\"text\":");
            m_Sink.Advance(pOut);
            Text(m_sEntryText);
            m_Sink.Put('}');
        }
        m_Sink.Advance(Literal(m_Sink.Claim(2), "]}"));
    }

    void Text(const COroString& sText) { WriteByteString(m_Sink, sText.CStr(), static_cast<size_t>(sText.GetLength())); }

    void Bytes(const COroString& sText) { m_Writer.ByteString(sText.CStr(), static_cast<size_t>(sText.GetLength())); }

    template <size_t N> void Key(const char (&name)[N]) { m_Writer.PlainString(name, N - 1); }

    CKvtJsonSink& m_Sink;
    CJsonLineWriter m_Writer;
    std::string m_sScratch;
    COroString m_sEntryText;
};

} // namespace

std::string CKvtJsonWriter::ToString(CKvtNodeTopLevelStruct* pRoot)
{
    auto pSink = std::make_unique<CKvtJsonSink>(nullptr);
    CNodeWriter(*pSink).Document(pRoot);
    pSink->FlushBlock();
    return std::move(pSink->Text());
}

bool CKvtJsonWriter::ToFile(CKvtNodeTopLevelStruct* pRoot, std::FILE* pFile)
{
    auto pSink = std::make_unique<CKvtJsonSink>(pFile);
    CNodeWriter(*pSink).Document(pRoot);
    pSink->FlushBlock();
    return !pSink->Failed() && std::fflush(pFile) == 0;
}
