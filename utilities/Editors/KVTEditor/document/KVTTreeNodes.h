#pragma once
// The document: one node per field and per list element of a KVT file. Nodes
// hold no parent pointer; a struct node owns its children.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <concepts>
#include <type_traits>

#include "KVTCurrentResource.h"
#include "KVTNumberText.h"
#include "kelplist.h"
#include "orolocstring.h"
#include "orostring.h"
#include "ororesman.h"
#include "reskvt.h"

enum TKvtFieldType : int32_t {
    ftTOPLEVELSTRUCT = -1,
    ftBYTE = 0,
    ftCHAR = 1,
    ftWORD = 2,
    ftSHORT = 3,
    ftDWORD = 4,
    ftINT = 5,
    ftDWORD64 = 6,
    ftINT64 = 7,
    ftFLOAT = 8,
    ftDOUBLE = 9,
    ftSTRING = 10,
    ftRESREF = 11,
    ftLOCSTRING = 12,
    ftBINARY = 13,
    ftSTRUCT = 14,
    ftLIST = 15,
};

class CKvtNodeStruct;

class CKvtNodeBase {
public:
    explicit CKvtNodeBase(TKvtFieldType nType);
    virtual ~CKvtNodeBase();
    CKvtNodeBase(const CKvtNodeBase&) = delete;
    CKvtNodeBase& operator=(const CKvtNodeBase&) = delete;

    virtual bool Load(const CKvtStructHandle* pStruct, const char* pLabel) = 0;
    virtual bool Save(const CKvtStructHandle* pStruct, const char* pLabel) = 0;
    virtual CKvtNodeStruct* GetStructNode();
    virtual COroString GetTypeName() = 0;
    virtual COroString GetEditText() = 0;
    virtual COroString GetPreviewText() = 0;
    virtual bool SetFromText(COroString sText) = 0;
    virtual COroString GetHelpText();
    virtual void SetStructID(uint32_t nStructID);
    virtual uint32_t GetStructID();
    virtual TKvtFieldType GetType();
    // Copies this node's own state from a node of the same class (children too
    // for struct nodes). Called on fresh nodes only.
    virtual CKvtNodeBase* CopyFrom(CKvtNodeBase* pSource);
    // Whether this node holds exactly the value of pSource, a node of the same
    // class (label, index, struct ID and children aside).
    virtual bool HasSameValue(CKvtNodeBase* pSource);

    int32_t m_nIndex;
    COroString m_sLabel;
    uint32_t m_nStructID;

protected:
    const TKvtFieldType m_nType;
};

// Struct and list nodes: the children in order, owned.
class CKvtNodeStruct : public CKvtNodeBase {
public:
    explicit CKvtNodeStruct(TKvtFieldType nType);
    ~CKvtNodeStruct() override;

    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override;
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override;
    CKvtNodeStruct* GetStructNode() override;
    COroString GetTypeName() override;
    COroString GetEditText() override;
    COroString GetPreviewText() override;
    bool SetFromText(COroString sText) override;
    COroString GetHelpText() override;
    CKvtNodeBase* CopyFrom(CKvtNodeBase* pSource) override;

    void AddChild(CKvtNodeBase* pChild);
    // Puts the child at position nIndex (0 to the child count).
    void InsertChild(int32_t nIndex, CKvtNodeBase* pChild);
    // The child's position, or -1 when it is not a child of this node.
    int32_t IndexOfChild(const CKvtNodeBase* pChild) const;
    // Makes room for nMore children beyond those held, so that a walk that
    // knows how many children follow grows the array once, not step by step.
    void ReserveChildren(int32_t nMore);
    // Detaches the child; the caller owns it afterwards.
    void RemoveChild(CKvtNodeBase* pChild);
    int32_t GetChildCount() const;
    CKvtNodeBase* GetChild(int32_t nIndex);
    // One more than the largest non-negative index among the children, or 0.
    void AssignNextIndex(CKvtNodeBase* pChild);

    // Copies what this node holds besides its children (used by the deep copy,
    // which clones the children itself).
    virtual void CopyOwnState(CKvtNodeStruct* pSource);

protected:
    List<CKvtNodeBase*> m_Children;
};

// The document root: the top-level struct plus the header's type and version.
class CKvtNodeTopLevelStruct : public CKvtNodeStruct {
public:
    CKvtNodeTopLevelStruct();
    ~CKvtNodeTopLevelStruct() override;

    COroString GetTypeName() override;
    COroString GetEditText() override;
    COroString GetPreviewText() override;
    bool SetFromText(COroString sText) override;
    COroString GetHelpText() override;
    CKvtNodeBase* CopyFrom(CKvtNodeBase* pSource) override;
    void CopyOwnState(CKvtNodeStruct* pSource) override;
    bool HasSameValue(CKvtNodeBase* pSource) override;

    // Fills this fresh root from a KVT file; false when the file was refused
    // (*pRefused then true, the root untouched) or when a field could not be
    // read (the tree then holds everything that could be read).
    bool LoadDocument(const char* pFileName, bool* pRefused = nullptr);
    // The same from bytes in memory (the name only appears in messages).
    bool LoadDocumentFromMemory(const uint8_t* pData, size_t nSize, const char* pName, bool* pRefused = nullptr);
    // Writes the tree as a new KVT file. The file is replaced only when the
    // whole save succeeded; otherwise it stays exactly as it was.
    bool SaveDocument(const char* pFileName);

    COroString m_sFileType;
    COroString m_sVersion;
};

// A leaf holding one value of type T.
template <typename T, TKvtFieldType Type>
class CKvtNodeValue : public CKvtNodeBase {
public:
    CKvtNodeValue() : CKvtNodeBase(Type), m_Value() {}
    CKvtNodeBase* CopyFrom(CKvtNodeBase* pSource) override
    {
        CKvtNodeBase::CopyFrom(pSource);
        m_Value = static_cast<CKvtNodeValue*>(pSource)->m_Value;
        return this;
    }
    bool HasSameValue(CKvtNodeBase* pSource) override
    {
        const T& other = static_cast<CKvtNodeValue*>(pSource)->m_Value;
        // Numbers compare by their bits: a NaN equals itself, -0.0 differs from 0.0.
        if constexpr (std::is_arithmetic_v<T>)
            return std::memcmp(&m_Value, &other, sizeof(T)) == 0;
        else if constexpr (std::equality_comparable<T>)
            return m_Value == other;
        else
            return false; // a value class without == compares itself (LOCSTRING)
    }
    COroString GetPreviewText() override { return GetEditText(); }

    T m_Value;
};

// The numeric leaves: values read and written through the typed calls of the
// current resource and parsed like scanf's "%i" (integers keep the low bits
// of what was read) or "%f"/"%lg". Each class adds its name and its format.
template <typename T, TKvtFieldType Type, T (CResKVT::*Read)(const CKvtStructHandle*, const char*, int32_t*, T),
          bool (CResKVT::*Write)(const CKvtStructHandle*, T, const char*)>
class CKvtNodeNumber : public CKvtNodeValue<T, Type> {
public:
    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override
    {
        int32_t nOk = 0;
        this->m_Value = (s_pCurrentRes->*Read)(pStruct, pLabel, &nOk, T());
        return nOk != 0;
    }
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override
    {
        return (s_pCurrentRes->*Write)(pStruct, this->m_Value, pLabel);
    }
    bool SetFromText(COroString sText) override
    {
        if constexpr (std::is_floating_point_v<T>) {
            return ParseScanReal(sText.CStr(), this->m_Value);
        } else {
            int64_t n = 0;
            if (!ParseScanInteger(sText.CStr(), n))
                return false;
            this->m_Value = static_cast<T>(static_cast<std::make_unsigned_t<T>>(n));
            return true;
        }
    }
    COroString GetHelpText() override { return "Just type the numerical\rvalue of the data."; }
};

#define KVT_DECLARE_NUMBER_NODE(Name, ValueType)                                                                       \
    class CKvtNode##Name                                                                                               \
        : public CKvtNodeNumber<ValueType, ft##Name, &CResKVT::Read##Name, &CResKVT::Write##Name> {                    \
    public:                                                                                                            \
        COroString GetTypeName() override;                                                                             \
        COroString GetEditText() override;                                                                             \
    }

KVT_DECLARE_NUMBER_NODE(BYTE, uint8_t);
KVT_DECLARE_NUMBER_NODE(CHAR, int8_t);
KVT_DECLARE_NUMBER_NODE(WORD, uint16_t);
KVT_DECLARE_NUMBER_NODE(SHORT, int16_t);
KVT_DECLARE_NUMBER_NODE(DWORD, uint32_t);
KVT_DECLARE_NUMBER_NODE(INT, int32_t);
KVT_DECLARE_NUMBER_NODE(DWORD64, uint64_t);
KVT_DECLARE_NUMBER_NODE(INT64, int64_t);
KVT_DECLARE_NUMBER_NODE(FLOAT, float);
KVT_DECLARE_NUMBER_NODE(DOUBLE, double);

class CKvtNodeSTRING : public CKvtNodeValue<COroString, ftSTRING> {
public:
    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override;
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override;
    COroString GetTypeName() override;
    COroString GetEditText() override;
    COroString GetPreviewText() override;
    bool SetFromText(COroString sText) override;
};

class CKvtNodeRESREF : public CKvtNodeValue<CResRef, ftRESREF> {
public:
    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override;
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override;
    COroString GetTypeName() override;
    COroString GetEditText() override;
    bool SetFromText(COroString sText) override;
    COroString GetHelpText() override;
};

class CKvtNodeLOCSTRING : public CKvtNodeValue<COroLocString, ftLOCSTRING> {
public:
    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override;
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override;
    COroString GetTypeName() override;
    COroString GetEditText() override;
    COroString GetPreviewText() override;
    bool SetFromText(COroString sText) override;
    COroString GetHelpText() override;
    bool HasSameValue(CKvtNodeBase* pSource) override;
};

class CKvtNodeBINARY : public CKvtNodeBase {
public:
    CKvtNodeBINARY();
    ~CKvtNodeBINARY() override;

    bool Load(const CKvtStructHandle* pStruct, const char* pLabel) override;
    bool Save(const CKvtStructHandle* pStruct, const char* pLabel) override;
    COroString GetTypeName() override;
    COroString GetEditText() override;
    COroString GetPreviewText() override;
    bool SetFromText(COroString sText) override;
    COroString GetHelpText() override;
    CKvtNodeBase* CopyFrom(CKvtNodeBase* pSource) override;
    bool HasSameValue(CKvtNodeBase* pSource) override;

    uint8_t* m_pData;
    uint32_t m_nDataSize;
    // The bytes m_pData has room for, when SpliceBinaryValue left room past
    // the value for typed bytes; 0 means exactly m_nDataSize. Code that puts
    // a buffer of its own into m_pData sets it to 0.
    uint32_t m_nCapacity;
};

// The walks between a struct node and the struct it mirrors in s_pCurrentRes.
bool LoadStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct);
bool SaveStructFields(CKvtNodeStruct* pNode, const CKvtStructHandle* pStruct);

// A fresh node of the type, or null for a type outside -1 to 15.
CKvtNodeBase* CreateKvtNode(TKvtFieldType nType);
// A deep copy of the subtree (null, with a warning, for a null source).
CKvtNodeBase* CloneKvtNode(CKvtNodeBase* pSource);
