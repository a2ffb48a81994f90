#include "KVTJsonWriter.h"

#include <rapidjson/writer.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "KVTJsonFormat.h"
#include "KVTJsonText.h"

namespace {

// RapidJSON output stream: a block handed to the file when full (or appended
// to the text when there is no file). The writer reserves room before each
// value and then puts its characters unchecked (PutReserve and PutUnsafe
// below, found by argument-dependent lookup as for RapidJSON's own buffers).
class CJsonSink {
public:
    typedef char Ch;
    explicit CJsonSink(std::FILE* pFile) : m_pFile(pFile), m_Block(kBlock) { m_pNext = m_Block.data(); }
    void Put(char c)
    {
        Reserve(1);
        *m_pNext++ = c;
    }
    void PutUnchecked(char c) { *m_pNext++ = c; }
    void Reserve(size_t nCount)
    {
        if (static_cast<size_t>(m_Block.data() + m_Block.size() - m_pNext) >= nCount)
            return;
        FlushBlock();
        if (m_Block.size() < nCount) {
            m_Block.resize(nCount);
            m_pNext = m_Block.data();
        }
    }
    void Flush() {}
    void FlushBlock()
    {
        const size_t nSize = static_cast<size_t>(m_pNext - m_Block.data());
        if (m_pFile) {
            if (nSize > 0 && std::fwrite(m_Block.data(), 1, nSize, m_pFile) != nSize)
                m_bFailed = true;
        } else {
            m_sText.append(m_Block.data(), nSize);
        }
        m_pNext = m_Block.data();
    }
    std::string& Text() { return m_sText; }
    bool Failed() const { return m_bFailed; }

private:
    static constexpr size_t kBlock = 1 << 16;
    std::FILE* m_pFile;
    std::vector<char> m_Block;
    char* m_pNext;
    std::string m_sText;
    bool m_bFailed = false;
};

void PutReserve(CJsonSink& sink, size_t nCount) { sink.Reserve(nCount); }
void PutUnsafe(CJsonSink& sink, char c) { sink.PutUnchecked(c); }

// The SAX writer plus line breaks before the nodes of a field or element
// array: one node per line keeps line-based diffs of the text readable.
class CJsonLineWriter : public rapidjson::Writer<CJsonSink> {
public:
    explicit CJsonLineWriter(CJsonSink& sink) : rapidjson::Writer<CJsonSink>(sink) {}

    // Call inside an array, before the value that starts the line.
    void BreakLine(size_t nDepth)
    {
        Level* pLevel = level_stack_.Top<Level>();
        if (pLevel->valueCount > 0)
            os_->Put(',');
        // The writer's own prefix then puts no second comma; the count only
        // matters as "not the first" from here on.
        pLevel->valueCount = 0;
        os_->Put('\n');
        for (size_t i = 0; i < nDepth; ++i)
            os_->Put(' ');
    }
};

class CNodeWriter {
public:
    explicit CNodeWriter(CJsonSink& sink) : m_Sink(sink), m_Writer(sink) {}

    void Document(CKvtNodeTopLevelStruct* pRoot)
    {
        m_Writer.StartObject();
        m_Writer.Key("format", 6);
        m_Writer.String(CKvtJsonFormat::kFormatName);
        m_Writer.Key("format_version", 14);
        m_Writer.Int(CKvtJsonFormat::kFormatVersion);
        m_Writer.Key("file_type", 9);
        Bytes(pRoot->m_sFileType.CStr(), static_cast<size_t>(pRoot->m_sFileType.GetLength()));
        m_Writer.Key("file_version", 12);
        Bytes(pRoot->m_sVersion.CStr(), static_cast<size_t>(pRoot->m_sVersion.GetLength()));
        m_Writer.Key("root", 4);
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
        OpenNode(pRoot, true);
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
            if (CKvtNodeStruct* pStruct = OpenNode(pChild, false))
                stack.push_back(Frame_st{pStruct, 0});
        }
    }

    // Writes the node's object up to its child array (left open; the struct
    // node returned) or whole (null returned).
    CKvtNodeStruct* OpenNode(CKvtNodeBase* pNode, bool bRoot)
    {
        const TKvtFieldType nType = pNode->GetType();
        m_Writer.StartObject();
        m_Writer.Key("label", 5);
        Bytes(pNode->m_sLabel.CStr(), static_cast<size_t>(pNode->m_sLabel.GetLength()));
        m_Writer.Key("type", 4);
        m_Writer.String(CKvtJsonFormat::TypeName(nType));
        if (nType == ftSTRUCT || pNode->m_nStructID != 0) {
            m_Writer.Key("struct_id", 9);
            m_Writer.Uint(pNode->m_nStructID);
        }
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            if (nType == ftTOPLEVELSTRUCT && !bRoot) {
                // A copy of the root pasted below it keeps its header texts.
                auto* pCopy = static_cast<CKvtNodeTopLevelStruct*>(pNode);
                m_Writer.Key("file_type", 9);
                Bytes(pCopy->m_sFileType.CStr(), static_cast<size_t>(pCopy->m_sFileType.GetLength()));
                m_Writer.Key("file_version", 12);
                Bytes(pCopy->m_sVersion.CStr(), static_cast<size_t>(pCopy->m_sVersion.GetLength()));
            }
            if (nType == ftLIST)
                m_Writer.Key("elements", 8);
            else
                m_Writer.Key("fields", 6);
            m_Writer.StartArray();
            return pStruct;
        }
        m_Writer.Key("value", 5);
        Value(pNode);
        m_Writer.EndObject();
        return nullptr;
    }

    template <typename T, TKvtFieldType Type> static T ValueOf(CKvtNodeBase* pNode)
    {
        return static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value;
    }

    void Value(CKvtNodeBase* pNode)
    {
        switch (pNode->GetType()) {
        case ftBYTE: m_Writer.Uint(ValueOf<uint8_t, ftBYTE>(pNode)); break;
        case ftCHAR: m_Writer.Int(ValueOf<int8_t, ftCHAR>(pNode)); break;
        case ftWORD: m_Writer.Uint(ValueOf<uint16_t, ftWORD>(pNode)); break;
        case ftSHORT: m_Writer.Int(ValueOf<int16_t, ftSHORT>(pNode)); break;
        case ftDWORD: m_Writer.Uint(ValueOf<uint32_t, ftDWORD>(pNode)); break;
        case ftINT: m_Writer.Int(ValueOf<int32_t, ftINT>(pNode)); break;
        case ftDWORD64: m_Writer.Uint64(ValueOf<uint64_t, ftDWORD64>(pNode)); break;
        case ftINT64: m_Writer.Int64(ValueOf<int64_t, ftINT64>(pNode)); break;
        case ftFLOAT: Real(ValueOf<float, ftFLOAT>(pNode)); break;
        case ftDOUBLE: Real(ValueOf<double, ftDOUBLE>(pNode)); break;
        case ftSTRING: {
            const COroString& s = static_cast<CKvtNodeSTRING*>(pNode)->m_Value;
            Bytes(s.CStr(), static_cast<size_t>(s.GetLength()));
            break;
        }
        case ftRESREF: {
            const CResRef& ref = static_cast<CKvtNodeRESREF*>(pNode)->m_Value;
            Bytes(ref.GetResRef(), ref.GetLength());
            break;
        }
        case ftLOCSTRING: LocString(static_cast<CKvtNodeLOCSTRING*>(pNode)->m_Value); break;
        case ftBINARY: {
            auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
            CKvtJsonText::EncodeBase64(pBinary->m_pData, pBinary->m_pData ? pBinary->m_nDataSize : 0, m_sScratch);
            m_Writer.String(m_sScratch.data(), static_cast<rapidjson::SizeType>(m_sScratch.size()));
            break;
        }
        default: m_Writer.Null(); break;
        }
    }

    // The shortest decimal that reads back to the same bits; NaN and the
    // infinities, which JSON has no number for, as their bits in hex.
    template <typename T> void Real(T value)
    {
        const std::string sText = CKvtJsonText::RealText(value);
        if (std::isfinite(value))
            m_Writer.RawValue(sText.data(), sText.size(), rapidjson::kNumberType);
        else
            m_Writer.String(sText.data(), static_cast<rapidjson::SizeType>(sText.size()));
    }

    void LocString(const COroLocString& value)
    {
        m_Writer.StartObject();
        m_Writer.Key("strref", 6);
        m_Writer.Int(value.StrRef);
        m_Writer.Key("strings", 7);
        m_Writer.StartArray();
        const int32_t nCount = value.GetStringCount();
        for (int32_t i = 0; i < nCount; ++i) {
            int32_t nLanguage = 0;
            uint8_t nGender = 0;
            COroString sText;
            if (!value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender))
                break;
            m_Writer.StartObject();
            m_Writer.Key("language", 8);
            m_Writer.Int(nLanguage);
            m_Writer.Key("gender", 6);
            m_Writer.Uint(nGender);
            m_Writer.Key("text", 4);
            Bytes(sText.CStr(), static_cast<size_t>(sText.GetLength()));
            m_Writer.EndObject();
        }
        m_Writer.EndArray();
        m_Writer.EndObject();
    }

    void Bytes(const char* pBytes, size_t nLength)
    {
        size_t i = 0;
        while (i < nLength && static_cast<uint8_t>(pBytes[i]) < 0x80)
            ++i;
        if (i == nLength) {
            m_Writer.String(pBytes, static_cast<rapidjson::SizeType>(nLength));
            return;
        }
        CKvtJsonText::BytesToUtf8(pBytes, nLength, m_sScratch);
        m_Writer.String(m_sScratch.data(), static_cast<rapidjson::SizeType>(m_sScratch.size()));
    }

    CJsonSink& m_Sink;
    CJsonLineWriter m_Writer;
    std::string m_sScratch;
};

} // namespace

std::string CKvtJsonWriter::ToString(CKvtNodeTopLevelStruct* pRoot)
{
    auto pSink = std::make_unique<CJsonSink>(nullptr);
    CNodeWriter(*pSink).Document(pRoot);
    pSink->FlushBlock();
    return std::move(pSink->Text());
}

bool CKvtJsonWriter::ToFile(CKvtNodeTopLevelStruct* pRoot, std::FILE* pFile)
{
    auto pSink = std::make_unique<CJsonSink>(pFile);
    CNodeWriter(*pSink).Document(pRoot);
    pSink->FlushBlock();
    return !pSink->Failed() && std::fflush(pFile) == 0;
}
