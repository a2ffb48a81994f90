#include "KVTJsonReader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "KVTJsonFormat.h"
#include "KVTJsonText.h"
#include "KVTTreeLoad.h"

namespace {

enum class TFrame { Top, Node, Children, LocString, Entries, Entry };

// The keys each kind of object knows, in one table so that a key is a small
// number while reading and a name again in messages.
const char* const kTopKeys[] = {"format", "format_version", "file_type", "file_version", "root"};
const char* const kNodeKeys[] = {"label",  "type",     "struct_id", "value",
                                 "fields", "elements", "file_type", "file_version"};
const char* const kLocStringKeys[] = {"strref", "strings"};
const char* const kEntryKeys[] = {"language", "gender", "text"};

enum TTopKey { kFormat, kFormatVersion, kTopFileType, kTopFileVersion, kRoot };
enum TNodeKey { kLabel, kType, kStructId, kValue, kFields, kElements, kFileType, kFileVersion };
enum TLocStringKey { kStrRef, kStrings };
enum TEntryKey { kLanguage, kGender, kText };

// Views of the names above, so that comparing needs no strlen; each view's
// data() is its name, zero byte included.
struct KeyTable_st {
    const std::string_view* pNames;
    int nCount;
};

template <size_t N> std::array<std::string_view, N> ViewsOf(const char* const (&names)[N])
{
    std::array<std::string_view, N> views;
    for (size_t i = 0; i < N; ++i)
        views[i] = names[i];
    return views;
}

const auto kTopViews = ViewsOf(kTopKeys);
const auto kNodeViews = ViewsOf(kNodeKeys);
const auto kLocStringViews = ViewsOf(kLocStringKeys);
const auto kEntryViews = ViewsOf(kEntryKeys);

KeyTable_st KeysOf(TFrame nKind)
{
    switch (nKind) {
    case TFrame::Top: return {kTopViews.data(), 5};
    case TFrame::Node: return {kNodeViews.data(), 8};
    case TFrame::LocString: return {kLocStringViews.data(), 2};
    case TFrame::Entry: return {kEntryViews.data(), 3};
    default: return {nullptr, 0};
    }
}

// Keys are a few bytes: compared inline rather than through a library call.
bool IsSameName(std::string_view sText, std::string_view sName)
{
    if (sText.size() != sName.size())
        return false;
    for (size_t i = 0; i < sText.size(); ++i) {
        if (sText[i] != sName[i])
            return false;
    }
    return true;
}

// The number of a node object's key, or -1. Node objects hold nearly every key
// of a document: their names differ in length or first byte, so one switch
// leaves at most one name to compare.
int NodeKey(std::string_view sKey)
{
    // A key of the name's length: an equality test of known length, which
    // the compiler turns into a few word compares.
    auto is = [&](const auto& name) { return std::memcmp(sKey.data(), name, sizeof name - 1) == 0; };
    switch (sKey.size()) {
    case 4: return is("type") ? kType : -1;
    case 5: return is("label") ? kLabel : is("value") ? kValue : -1;
    case 6: return is("fields") ? kFields : -1;
    case 8: return is("elements") ? kElements : -1;
    case 9: return is("struct_id") ? kStructId : is("file_type") ? kFileType : -1;
    case 12: return is("file_version") ? kFileVersion : -1;
    default: return -1;
    }
}

// The number of a key of the other objects, or -1.
int TableKey(const KeyTable_st& keys, std::string_view sKey)
{
    for (int i = 0; i < keys.nCount; ++i) {
        if (IsSameName(sKey, keys.pNames[i]))
            return i;
    }
    return -1;
}

bool IsArray(TFrame nKind) { return nKind == TFrame::Children || nKind == TFrame::Entries; }

// One object or array being read.
struct Frame_st {
    Frame_st(TFrame nKindIn, size_t nStartIn) : nKind(nKindIn), nStart(nStartIn) {}
    TFrame nKind;
    size_t nStart;         // offset of its "{" or "["
    int nKey = -1;         // objects: the key whose value comes next
    uint32_t nSeen = 0;    // objects: one bit per key met
    size_t nCount = 0;     // arrays: elements begun
    int32_t nLevel = 0;    // nodes and child arrays: the node's level (root 0)
    CKvtNodeBase* pNode = nullptr;       // nodes (once their type is known), locstrings
    CKvtNodeStruct* pParent = nullptr;   // nodes: the parent; child arrays: the owner
    std::string sText;                   // nodes: the label; entries: the text
    uint32_t nStructID = 0;
    int32_t nLanguage = 0;
    uint32_t nGender = 0;

    bool Seen(int nKey) const { return (nSeen >> nKey) & 1u; }
};

std::string EscapePointerToken(const std::string& sToken)
{
    std::string sOut;
    for (char c : sToken) {
        if (c == '~')
            sOut += "~0";
        else if (c == '/')
            sOut += "~1";
        else
            sOut += c;
    }
    return sOut;
}

template <typename T> std::string RangeText()
{
    return std::to_string(+std::numeric_limits<T>::min()) + " to " + std::to_string(+std::numeric_limits<T>::max());
}

// The text as RapidJSON's input stream. RapidJSON's own string stream is
// copied into a local while a token is read, so that Tell() inside a handler
// would still give the token's start; this one is used in place, so Tell()
// gives the token's end.
class CJsonInput {
public:
    typedef char Ch;
    explicit CJsonInput(const char* pText) : m_pHead(pText), m_pNext(pText) {}
    Ch Peek() const { return *m_pNext; }
    Ch Take() { return *m_pNext++; }
    size_t Tell() const { return static_cast<size_t>(m_pNext - m_pHead); }
    Ch* PutBegin() { return nullptr; }
    void Put(Ch) {}
    void Flush() {}
    size_t PutEnd(Ch*) { return 0; }

private:
    const char* m_pHead;
    const char* m_pNext;
};

// Builds the tree from the reader's events. Every handler returns false to
// stop the reader at the first fault, whose message it keeps.
class CTreeBuilder {
public:
    CTreeBuilder(const char* pText, size_t nSize, CJsonInput& stream, CKvtNodeTopLevelStruct* pRoot)
        : m_pText(pText), m_nSize(nSize), m_Stream(stream), m_pRoot(pRoot)
    {
    }

    bool Null() { return Done(Unexpected("null")); }
    bool Bool(bool) { return Done(Unexpected("true or false")); }
    // With numbers read as strings only RawNumber is called; these complete
    // the handler concept.
    bool Int(int) { return Done(Unexpected("a number")); }
    bool Uint(unsigned) { return Done(Unexpected("a number")); }
    bool Int64(int64_t) { return Done(Unexpected("a number")); }
    bool Uint64(uint64_t) { return Done(Unexpected("a number")); }
    bool Double(double) { return Done(Unexpected("a number")); }
    bool RawNumber(const char* pText, rapidjson::SizeType nLength, bool) { return Done(Number(pText, nLength)); }
    bool String(const char* pText, rapidjson::SizeType nLength, bool) { return Done(Text(pText, nLength)); }
    // The reader calls these four once it has taken the bracket.
    bool StartObject() { return Done(OpenObject()); }
    bool Key(const char* pText, rapidjson::SizeType nLength, bool) { return Done(ObjectKey(pText, nLength)); }
    bool EndObject(rapidjson::SizeType) { return Done(CloseObject()); }
    bool StartArray() { return Done(OpenArray()); }
    bool EndArray(rapidjson::SizeType)
    {
        m_Frames.pop_back();
        return Done(true);
    }

    bool Failed() const { return m_bFailed; }
    // The message for this builder's fault, or for a fault of the reader at
    // the offset.
    std::string Message() const { return m_sMessage; }
    std::string ReaderMessage(size_t nOffset, const char* pWhat) const
    {
        // The reader stops before the white space that precedes the
        // offending character; the message names the character.
        while (nOffset < m_nSize && std::strchr(" \t\r\n", m_pText[nOffset]) && m_pText[nOffset] != '\0')
            ++nOffset;
        return Locate(nOffset, Pointer(true)) + pWhat;
    }

private:
    // The reader has taken the token it reports (a bracket too): the stream
    // stands at its end.
    bool Done(bool bOk)
    {
        m_nLastEnd = m_Stream.Tell();
        return bOk;
    }

    // Where the token being handled begins: after the previous token, past
    // the white space and the "," or ":" between them.
    size_t TokenStart() const
    {
        size_t n = m_nLastEnd;
        while (n < m_nSize && std::strchr(" \t\r\n,:", m_pText[n]) && m_pText[n] != '\0')
            ++n;
        return n;
    }

    std::string Locate(size_t nOffset, const std::string& sPointer) const
    {
        size_t nLine = 1;
        size_t nColumn = 1;
        for (size_t i = 0; i < nOffset && i < m_nSize; ++i) {
            const auto c = static_cast<uint8_t>(m_pText[i]);
            if (c == '\n') {
                ++nLine;
                nColumn = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++nColumn; // columns count characters, not bytes
            }
        }
        return "line " + std::to_string(nLine) + ", column " + std::to_string(nColumn) + ", JSON Pointer \"" +
               sPointer + "\": ";
    }

    // The pointer of the value being read; without the innermost slot, that
    // of the innermost object or array itself.
    std::string Pointer(bool bWithSlot) const
    {
        std::string s;
        for (size_t i = 0; i < m_Frames.size(); ++i) {
            const Frame_st& frame = m_Frames[i];
            if (i + 1 == m_Frames.size() && !bWithSlot)
                break;
            if (IsArray(frame.nKind) && frame.nCount > 0) {
                s += '/';
                s += std::to_string(frame.nCount - 1);
            } else if (!IsArray(frame.nKind) && frame.nKey >= 0) {
                s += '/';
                s += EscapePointerToken(KeysOf(frame.nKind).pNames[frame.nKey].data());
            }
        }
        return s;
    }

    bool Fail(size_t nOffset, const std::string& sPointer, const std::string& sMessage)
    {
        if (!m_bFailed) {
            m_bFailed = true;
            m_sMessage = Locate(nOffset, sPointer) + sMessage;
        }
        return false;
    }
    // A fault of the value that begins here.
    bool FailValue(const std::string& sMessage) { return Fail(TokenStart(), Pointer(true), sMessage); }
    bool Unexpected(const char* pWhat)
    {
        BeginValue();
        return FailValue(std::string("unexpected ") + pWhat + " here");
    }

    // Counts an array's element; returns the slot the value fills.
    Frame_st* BeginValue()
    {
        if (m_Frames.empty())
            return nullptr;
        Frame_st& frame = m_Frames.back();
        if (IsArray(frame.nKind))
            ++frame.nCount;
        return &frame;
    }

    static const char* TypeNameOf(CKvtNodeBase* pNode) { return CKvtJsonFormat::TypeName(pNode->GetType()); }

    bool NeedType(Frame_st& frame)
    {
        if (frame.pNode)
            return true;
        return FailValue(std::string("\"type\" must come before \"") + kNodeKeys[frame.nKey] + "\"");
    }

    bool ObjectKey(const char* pText, size_t nLength)
    {
        Frame_st& frame = m_Frames.back();
        const std::string_view sKey(pText, nLength);
        const int nKey = frame.nKind == TFrame::Node ? NodeKey(sKey) : TableKey(KeysOf(frame.nKind), sKey);
        if (nKey < 0 || frame.Seen(nKey))
            return RefuseKey(sKey, nKey < 0);
        frame.nSeen |= 1u << nKey;
        frame.nKey = nKey;
        return true;
    }

    // Kept out of line: the messages' strings would otherwise cost every key
    // a larger stack frame.
    [[gnu::cold]] bool RefuseKey(std::string_view sKey, bool bUnknown)
    {
        const std::string sName(sKey);
        return Fail(TokenStart(), Pointer(false) + "/" + EscapePointerToken(sName),
                    bUnknown ? "unknown key \"" + sName + "\"" : "the key \"" + sName + "\" appears twice");
    }

    bool OpenObject()
    {
        const size_t nStart = m_Stream.Tell() - 1; // the bracket, taken already
        Frame_st* pSlot = BeginValue();
        if (!pSlot) {
            m_Frames.emplace_back(TFrame::Top, nStart);
            return true;
        }
        if (pSlot->nKind == TFrame::Children) {
            // The common case, a node in a field or element array, built in place.
            const int32_t nLevel = pSlot->nLevel + 1;
            // The load's own bound on depth: deeper trees are not documents.
            if (nLevel > CKvtTreeLoader::kMaxDepth)
                return FailValue("nodes nest deeper than " + std::to_string(CKvtTreeLoader::kMaxDepth) + " levels");
            CKvtNodeStruct* pParent = pSlot->pNode->GetStructNode();
            Frame_st& next = m_Frames.emplace_back(TFrame::Node, nStart);
            next.pParent = pParent;
            next.nLevel = nLevel;
            return true;
        }
        Frame_st next(TFrame::Node, nStart);
        switch (pSlot->nKind) {
        case TFrame::Top:
            if (pSlot->nKey != kRoot)
                return FailValue("unexpected object here");
            break;
        case TFrame::Node:
            if (pSlot->nKey != kValue)
                return FailValue("unexpected object here");
            if (!NeedType(*pSlot))
                return false;
            if (pSlot->pNode->GetType() != ftLOCSTRING)
                return FailValue(std::string("a ") + TypeNameOf(pSlot->pNode) + " value is not an object");
            next.nKind = TFrame::LocString;
            next.pNode = pSlot->pNode;
            static_cast<CKvtNodeLOCSTRING*>(next.pNode)->m_Value = COroLocString();
            break;
        case TFrame::Entries: next.nKind = TFrame::Entry; next.pNode = pSlot->pNode; break;
        default: return FailValue("unexpected object here");
        }
        m_Frames.push_back(std::move(next));
        return true;
    }

    bool OpenArray()
    {
        const size_t nStart = m_Stream.Tell() - 1; // the bracket, taken already
        Frame_st* pSlot = BeginValue();
        if (!pSlot)
            return FailValue("the document is an object");
        Frame_st next(TFrame::Children, nStart);
        if (pSlot->nKind == TFrame::Node && (pSlot->nKey == kFields || pSlot->nKey == kElements)) {
            if (!NeedType(*pSlot))
                return false;
            const TKvtFieldType nType = pSlot->pNode->GetType();
            const bool bList = nType == ftLIST;
            if (!pSlot->pNode->GetStructNode() || (pSlot->nKey == kElements) != bList)
                return FailValue(std::string("a ") + TypeNameOf(pSlot->pNode) + " node has no \"" +
                                 kNodeKeys[pSlot->nKey] + "\"");
            next.pNode = pSlot->pNode;
            next.nLevel = pSlot->nLevel;
        } else if (pSlot->nKind == TFrame::LocString && pSlot->nKey == kStrings) {
            next.nKind = TFrame::Entries;
            next.pNode = pSlot->pNode;
        } else {
            return FailValue("unexpected array here");
        }
        m_Frames.push_back(std::move(next));
        return true;
    }

    bool CloseObject()
    {
        Frame_st& frame = m_Frames.back();
        const KeyTable_st keys = KeysOf(frame.nKind);
        auto missing = [&](int nKey) {
            return Fail(frame.nStart, Pointer(false), std::string("the key \"") + keys.pNames[nKey].data() + "\" is missing");
        };
        switch (frame.nKind) {
        case TFrame::Top:
            for (int nKey = 0; nKey < keys.nCount; ++nKey)
                if (!frame.Seen(nKey))
                    return missing(nKey);
            break;
        case TFrame::Node: {
            if (!frame.Seen(kType))
                return missing(kType);
            if (!frame.Seen(kLabel))
                return missing(kLabel);
            const TKvtFieldType nType = frame.pNode->GetType();
            if (nType == ftSTRUCT && !frame.Seen(kStructId))
                return missing(kStructId);
            if (nType == ftLIST && !frame.Seen(kElements))
                return missing(kElements);
            if ((nType == ftSTRUCT || nType == ftTOPLEVELSTRUCT) && !frame.Seen(kFields))
                return missing(kFields);
            if (!frame.pNode->GetStructNode() && !frame.Seen(kValue))
                return missing(kValue);
            frame.pNode->m_sLabel = COroString(frame.sText.data(), static_cast<int32_t>(frame.sText.size()));
            frame.pNode->m_nStructID = frame.nStructID;
            break;
        }
        case TFrame::LocString:
            for (int nKey = 0; nKey < keys.nCount; ++nKey)
                if (!frame.Seen(nKey))
                    return missing(nKey);
            break;
        case TFrame::Entry:
            for (int nKey = 0; nKey < keys.nCount; ++nKey)
                if (!frame.Seen(nKey))
                    return missing(nKey);
            if (!AddEntry(frame))
                return false;
            break;
        default: break;
        }
        m_Frames.pop_back();
        return true;
    }

    // Stores the entry under the id the store held: id = language * 2 +
    // gender, the gender 255 counting as -1 (the split of a negative odd id).
    bool AddEntry(const Frame_st& frame)
    {
        const int32_t nGender = frame.nGender == 255 ? -1 : static_cast<int32_t>(frame.nGender);
        const int64_t nId64 = int64_t(frame.nLanguage) * 2 + nGender;
        const auto nId = static_cast<int32_t>(nId64);
        const bool bCanonical = nId64 == nId && nId / 2 == frame.nLanguage && nId % 2 == nGender;
        if (!bCanonical)
            return Fail(frame.nStart, Pointer(false),
                        "language " + std::to_string(frame.nLanguage) + " with gender " +
                            std::to_string(frame.nGender) + " is no entry a localized string holds");
        // A (language, gender) pair that AddString turns into this id: language
        // 0 takes no gender, so id 1 is reached through language -127,
        // gender 255 (-254 + 255).
        int32_t nAddLanguage = 0;
        uint8_t nAddGender = 0;
        if (nId % 2 == 0) {
            nAddLanguage = nId / 2;
        } else if (nId == 1) {
            nAddLanguage = -127;
            nAddGender = 255;
        } else {
            nAddLanguage = static_cast<int32_t>((int64_t(nId) - 1) / 2);
            nAddGender = 1;
        }
        COroLocString& value = static_cast<CKvtNodeLOCSTRING*>(frame.pNode)->m_Value;
        COroString sFound;
        if (value.GetString(nAddLanguage, sFound, nAddGender))
            return Fail(frame.nStart, Pointer(false), "a second entry for the same language and gender");
        if (frame.sText.empty()) {
            // An empty text adds no entry; one that was emptied stays listed.
            value.AddString(nAddLanguage, COroString("x"), nAddGender);
            value.AddString(nAddLanguage, COroString(), nAddGender);
        } else {
            value.AddString(nAddLanguage, frame.sText.data(), static_cast<int32_t>(frame.sText.size()), nAddGender);
        }
        return true;
    }

    // A byte text: at most nMax bytes (0: any number).
    bool Bytes(const char* pText, size_t nLength, size_t nMax, const char* pWhat, std::string& sOut)
    {
        if (!CKvtJsonText::Utf8ToBytes(pText, nLength, sOut))
            return FailValue(std::string("a ") + pWhat + " holds only the characters U+0001 to U+00FF");
        if (nMax > 0 && sOut.size() > nMax)
            return FailValue(std::string("a ") + pWhat + " holds at most " + std::to_string(nMax) + " bytes; this one has " +
                             std::to_string(sOut.size()));
        if (sOut.size() > 0x7FFFFFFF)
            return FailValue(std::string("the ") + pWhat + " is too long");
        return true;
    }

    bool Text(const char* pText, size_t nLength)
    {
        Frame_st* pSlot = BeginValue();
        if (!pSlot)
            return FailValue("the document is an object");
        Frame_st& frame = *pSlot;
        std::string sBytes;
        if (frame.nKind == TFrame::Top) {
            if (frame.nKey == kFormat) {
                if (std::string(pText, nLength) != CKvtJsonFormat::kFormatName)
                    return FailValue(std::string("the format is \"") + CKvtJsonFormat::kFormatName + "\"");
                return true;
            }
            if (frame.nKey == kTopFileType || frame.nKey == kTopFileVersion) {
                if (!Bytes(pText, nLength, 4, frame.nKey == kTopFileType ? "file type" : "file version", sBytes))
                    return false;
                (frame.nKey == kTopFileType ? m_pRoot->m_sFileType : m_pRoot->m_sVersion) =
                    COroString(sBytes.data(), static_cast<int32_t>(sBytes.size()));
                return true;
            }
        } else if (frame.nKind == TFrame::Node) {
            switch (frame.nKey) {
            case kLabel: return Bytes(pText, nLength, 16, "label", frame.sText);
            case kType: return SetType(frame, pText, nLength);
            case kValue: return NeedType(frame) && TextValue(frame.pNode, pText, nLength);
            case kFileType:
            case kFileVersion: {
                if (!NeedType(frame))
                    return false;
                if (frame.pNode->GetType() != ftTOPLEVELSTRUCT || frame.pNode == m_pRoot)
                    return FailValue(std::string("only a TOPLEVELSTRUCT below the root has a \"") +
                                     kNodeKeys[frame.nKey] + "\"");
                if (!Bytes(pText, nLength, 4, frame.nKey == kFileType ? "file type" : "file version", sBytes))
                    return false;
                auto* pCopy = static_cast<CKvtNodeTopLevelStruct*>(frame.pNode);
                (frame.nKey == kFileType ? pCopy->m_sFileType : pCopy->m_sVersion) =
                    COroString(sBytes.data(), static_cast<int32_t>(sBytes.size()));
                return true;
            }
            default: break;
            }
        } else if (frame.nKind == TFrame::Entry && frame.nKey == kText) {
            return Bytes(pText, nLength, 0, "text", frame.sText);
        }
        return FailValue("unexpected text here");
    }

    bool SetType(Frame_st& frame, const char* pText, size_t nLength)
    {
        TKvtFieldType nType = ftTOPLEVELSTRUCT;
        if (!CKvtJsonFormat::TypeFromName(pText, nLength, nType))
            return FailValue("unknown type name \"" + std::string(pText, nLength) + "\"");
        if (!frame.pParent) {
            if (nType != ftTOPLEVELSTRUCT)
                return FailValue("the root is a TOPLEVELSTRUCT");
            frame.pNode = m_pRoot;
            return true;
        }
        CKvtNodeBase* pNode = CreateKvtNode(nType);
        pNode->m_nIndex = frame.pParent->GetChildCount();
        frame.pParent->AddChild(pNode);
        frame.pNode = pNode;
        return true;
    }

    bool TextValue(CKvtNodeBase* pNode, const char* pText, size_t nLength)
    {
        std::string& sBytes = m_sBytes;
        switch (pNode->GetType()) {
        case ftSTRING:
            if (!Bytes(pText, nLength, 0, "STRING", sBytes))
                return false;
            static_cast<CKvtNodeSTRING*>(pNode)->m_Value = COroString(sBytes.data(), static_cast<int32_t>(sBytes.size()));
            return true;
        case ftRESREF:
            if (!Bytes(pText, nLength, 16, "RESREF", sBytes))
                return false;
            static_cast<CKvtNodeRESREF*>(pNode)->m_Value = CResRef(sBytes.data(), static_cast<uint32_t>(sBytes.size()));
            return true;
        case ftBINARY: {
            std::vector<uint8_t>& data = m_Binary;
            if (!CKvtJsonText::DecodeBase64(pText, nLength, data))
                return FailValue("a BINARY value is base64 text with padding");
            if (data.size() > 0xFFFFFFFFull)
                return FailValue("the BINARY value is too long");
            auto* pBinary = static_cast<CKvtNodeBINARY*>(pNode);
            delete[] pBinary->m_pData;
            pBinary->m_pData = nullptr;
            pBinary->m_nDataSize = 0;
            pBinary->m_nCapacity = 0;
            if (!data.empty()) {
                pBinary->m_pData = new uint8_t[data.size()];
                std::memcpy(pBinary->m_pData, data.data(), data.size());
                pBinary->m_nDataSize = static_cast<uint32_t>(data.size());
            }
            return true;
        }
        case ftFLOAT: return RealBits<float, uint32_t>(pNode, pText, nLength);
        case ftDOUBLE: return RealBits<double, uint64_t>(pNode, pText, nLength);
        default: return FailValue(std::string("a ") + TypeNameOf(pNode) + " value is not a text");
        }
    }

    // NaN and the infinities arrive as their bits: "0x" and one hex digit per
    // four bits.
    template <typename T, typename Bits> bool RealBits(CKvtNodeBase* pNode, const char* pText, size_t nLength)
    {
        Bits bits = 0;
        const size_t nDigits = sizeof(Bits) * 2;
        bool bOk = nLength == nDigits + 2 && pText[0] == '0' && (pText[1] == 'x' || pText[1] == 'X');
        if (bOk) {
            const std::from_chars_result result = std::from_chars(pText + 2, pText + nLength, bits, 16);
            bOk = result.ec == std::errc() && result.ptr == pText + nLength;
        }
        if (!bOk)
            return FailValue(std::string("a ") + TypeNameOf(pNode) + " text is \"0x\" and " + std::to_string(nDigits) +
                             " hex digits");
        T value;
        std::memcpy(&value, &bits, sizeof value);
        static_cast<CKvtNodeValue<T, sizeof(T) == 4 ? ftFLOAT : ftDOUBLE>*>(pNode)->m_Value = value;
        return true;
    }

    template <typename T> bool ParseInteger(const char* pText, size_t nLength, const char* pWhat, T& value)
    {
        const std::from_chars_result result = std::from_chars(pText, pText + nLength, value);
        if (result.ec == std::errc() && result.ptr == pText + nLength)
            return true;
        if (std::string_view(pText, nLength).find_first_of(".eE") != std::string_view::npos)
            return FailValue(std::string(pWhat) + " takes an integer");
        return FailValue(std::string(pWhat) + " " + std::string(pText, nLength) + " does not fit (" + RangeText<T>() +
                         ")");
    }

    template <typename T, TKvtFieldType Type> bool IntegerValue(CKvtNodeBase* pNode, const char* pText, size_t nLength)
    {
        return ParseInteger(pText, nLength, TypeNameOf(pNode), static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value);
    }

    template <typename T, TKvtFieldType Type> bool RealValue(CKvtNodeBase* pNode, const char* pText, size_t nLength)
    {
        T value = 0;
        const std::from_chars_result result = std::from_chars(pText, pText + nLength, value);
        if (result.ec != std::errc() || result.ptr != pText + nLength)
            return FailValue(std::string(TypeNameOf(pNode)) + " " + std::string(pText, nLength) + " does not fit");
        static_cast<CKvtNodeValue<T, Type>*>(pNode)->m_Value = value;
        return true;
    }

    bool NumberValue(CKvtNodeBase* pNode, const char* pText, size_t nLength)
    {
        switch (pNode->GetType()) {
        case ftBYTE: return IntegerValue<uint8_t, ftBYTE>(pNode, pText, nLength);
        case ftCHAR: return IntegerValue<int8_t, ftCHAR>(pNode, pText, nLength);
        case ftWORD: return IntegerValue<uint16_t, ftWORD>(pNode, pText, nLength);
        case ftSHORT: return IntegerValue<int16_t, ftSHORT>(pNode, pText, nLength);
        case ftDWORD: return IntegerValue<uint32_t, ftDWORD>(pNode, pText, nLength);
        case ftINT: return IntegerValue<int32_t, ftINT>(pNode, pText, nLength);
        case ftDWORD64: return IntegerValue<uint64_t, ftDWORD64>(pNode, pText, nLength);
        case ftINT64: return IntegerValue<int64_t, ftINT64>(pNode, pText, nLength);
        case ftFLOAT: return RealValue<float, ftFLOAT>(pNode, pText, nLength);
        case ftDOUBLE: return RealValue<double, ftDOUBLE>(pNode, pText, nLength);
        default: return FailValue(std::string("a ") + TypeNameOf(pNode) + " value is not a number");
        }
    }

    bool Number(const char* pText, size_t nLength)
    {
        Frame_st* pSlot = BeginValue();
        if (!pSlot)
            return FailValue("the document is an object");
        Frame_st& frame = *pSlot;
        if (frame.nKind == TFrame::Top && frame.nKey == kFormatVersion) {
            if (std::string(pText, nLength) != std::to_string(CKvtJsonFormat::kFormatVersion))
                return FailValue("this reader knows format version " + std::to_string(CKvtJsonFormat::kFormatVersion));
            return true;
        }
        if (frame.nKind == TFrame::Node && frame.nKey == kStructId)
            return ParseInteger(pText, nLength, "struct_id", frame.nStructID);
        if (frame.nKind == TFrame::Node && frame.nKey == kValue)
            return NeedType(frame) && NumberValue(frame.pNode, pText, nLength);
        if (frame.nKind == TFrame::LocString && frame.nKey == kStrRef)
            return ParseInteger(pText, nLength, "strref", static_cast<CKvtNodeLOCSTRING*>(frame.pNode)->m_Value.StrRef);
        if (frame.nKind == TFrame::Entry && frame.nKey == kLanguage)
            return ParseInteger(pText, nLength, "language", frame.nLanguage);
        if (frame.nKind == TFrame::Entry && frame.nKey == kGender) {
            if (!ParseInteger(pText, nLength, "gender", frame.nGender))
                return false;
            if (frame.nGender != 0 && frame.nGender != 1 && frame.nGender != 255)
                return FailValue("gender is 0, 1 or 255");
            return true;
        }
        return FailValue("unexpected number here");
    }

    const char* m_pText;
    size_t m_nSize;
    CJsonInput& m_Stream;
    CKvtNodeTopLevelStruct* m_pRoot;
    std::vector<Frame_st> m_Frames;
    size_t m_nLastEnd = 0;
    bool m_bFailed = false;
    std::string m_sMessage;
    // Reused for each value's bytes on their way into the node.
    std::string m_sBytes;
    std::vector<uint8_t> m_Binary;
};

} // namespace

std::unique_ptr<CKvtNodeTopLevelStruct> CKvtJsonReader::FromText(const char* pText, size_t nSize, std::string& sError)
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    CJsonInput stream(pText);
    CTreeBuilder builder(pText, nSize, stream, pRoot.get());
    rapidjson::Reader reader;
    // The recursive parse (faster than the iterative one) is bounded by the
    // builder: it refuses the first object or array that is not where the
    // form puts one, and nodes deeper than the load's deepest level, so the
    // reader never nests more than two calls per tree level.
    constexpr unsigned kFlags = rapidjson::kParseNumbersAsStringsFlag;
    const rapidjson::ParseResult result = reader.Parse<kFlags>(stream, builder);
    if (builder.Failed()) {
        sError = builder.Message();
        return nullptr;
    }
    if (result.IsError()) {
        sError = builder.ReaderMessage(result.Offset(), rapidjson::GetParseError_En(result.Code()));
        return nullptr;
    }
    // A whole document ends at a zero byte, which it cannot hold, so a zero
    // byte before the text's end follows the document: invalid JSON.
    if (stream.Tell() < nSize) {
        sError = builder.ReaderMessage(stream.Tell(), "a zero byte in the text");
        return nullptr;
    }
    return pRoot;
}

std::unique_ptr<CKvtNodeTopLevelStruct> CKvtJsonReader::FromFile(const char* pFileName, std::string& sError)
{
    std::FILE* pFile = std::fopen(pFileName, "rb");
    if (!pFile) {
        sError = std::string("Cannot open file ") + pFileName + ".";
        return nullptr;
    }
    // Sized once from the file: growing by doubling would hold up to three
    // times the text at the moment of a copy.
    std::string sText;
    if (std::fseek(pFile, 0, SEEK_END) == 0) {
        const long nSize = std::ftell(pFile);
        if (nSize > 0)
            sText.reserve(static_cast<size_t>(nSize));
        std::fseek(pFile, 0, SEEK_SET);
    }
    char block[1 << 16];
    size_t nRead = 0;
    while ((nRead = std::fread(block, 1, sizeof block, pFile)) > 0)
        sText.append(block, nRead);
    const bool bReadError = std::ferror(pFile) != 0;
    std::fclose(pFile);
    if (bReadError) {
        sError = std::string("Cannot read file ") + pFileName + ".";
        return nullptr;
    }
    return FromText(sText.c_str(), sText.size(), sError);
}

bool CKvtJsonReader::LooksLikeJson(const char* pText, size_t nSize)
{
    for (size_t i = 0; i < nSize; ++i) {
        if (!std::strchr(" \t\r\n", pText[i]) || pText[i] == '\0')
            return pText[i] == '{';
    }
    return false;
}
