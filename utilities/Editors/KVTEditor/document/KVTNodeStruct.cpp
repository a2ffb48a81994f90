#include <utility>
#include <vector>

#include "KVTTreeNodes.h"

CKvtNodeStruct::CKvtNodeStruct(TKvtFieldType nType) : CKvtNodeBase(nType) {}

CKvtNodeStruct::~CKvtNodeStruct()
{
    // Deleting a deep subtree must not recurse once per level: children of
    // struct nodes are detached and deleted from an explicit stack instead.
    std::vector<CKvtNodeBase*> pending;
    for (int32_t i = m_Children.GetNum() - 1; i >= 0; --i)
        pending.push_back(m_Children[i]);
    while (m_Children.GetNum() > 0)
        m_Children.RemoveAt(m_Children.GetNum() - 1);
    while (!pending.empty()) {
        CKvtNodeBase* pNode = pending.back();
        pending.pop_back();
        if (CKvtNodeStruct* pStruct = pNode->GetStructNode()) {
            for (int32_t i = pStruct->m_Children.GetNum() - 1; i >= 0; --i)
                pending.push_back(pStruct->m_Children[i]);
            while (pStruct->m_Children.GetNum() > 0)
                pStruct->m_Children.RemoveAt(pStruct->m_Children.GetNum() - 1);
        }
        delete pNode;
    }
}

bool CKvtNodeStruct::Load(const CKvtStructHandle*, const char*)
{
    return true;  // the load walk reads the children
}

bool CKvtNodeStruct::Save(const CKvtStructHandle*, const char*)
{
    return true;  // the save walk writes the children
}

CKvtNodeStruct* CKvtNodeStruct::GetStructNode()
{
    return this;
}

COroString CKvtNodeStruct::GetTypeName()
{
    COroString s;
    if (m_nType == ftSTRUCT)
        s.Format("[User-defined Struct: %i]", static_cast<int32_t>(m_nStructID));
    else if (m_nType == ftLIST)
        s = "[List]";
    else
        s = "[Unknown Struct]";
    return s;
}

COroString CKvtNodeStruct::GetEditText()
{
    return COroString();
}

COroString CKvtNodeStruct::GetPreviewText()
{
    return "...";
}

bool CKvtNodeStruct::SetFromText(COroString)
{
    return true;
}

COroString CKvtNodeStruct::GetHelpText()
{
    return "No settings available.";
}

CKvtNodeBase* CKvtNodeStruct::CopyFrom(CKvtNodeBase* pSource)
{
    CKvtNodeBase::CopyFrom(pSource);
    // Clone the subtree breadth-wise from an explicit list of (source, copy)
    // pairs so that deep trees do not deepen the call stack.
    std::vector<std::pair<CKvtNodeStruct*, CKvtNodeStruct*>> pending{{pSource->GetStructNode(), this}};
    while (!pending.empty()) {
        auto [pFrom, pTo] = pending.back();
        pending.pop_back();
        for (int32_t i = 0; i < pFrom->GetChildCount(); ++i) {
            CKvtNodeBase* pChild = pFrom->GetChild(i);
            CKvtNodeBase* pNewKvtNode = CreateKvtNode(pChild->GetType());
            if (!pNewKvtNode)
                OroAssert("KVTTreeNodes", 201, "pNewKvtNode");
            CKvtNodeStruct* pChildStruct = pChild->GetStructNode();
            if (pChildStruct)
                pNewKvtNode->GetStructNode()->CopyOwnState(pChildStruct);
            else
                pNewKvtNode->CopyFrom(pChild);
            pTo->AddChild(pNewKvtNode);
            if (pChildStruct)
                pending.emplace_back(pChildStruct, pNewKvtNode->GetStructNode());
        }
    }
    return this;
}

void CKvtNodeStruct::CopyOwnState(CKvtNodeStruct* pSource)
{
    CKvtNodeBase::CopyFrom(pSource);
}

void CKvtNodeStruct::AddChild(CKvtNodeBase* pChild)
{
    m_Children.Add(pChild);
}

void CKvtNodeStruct::InsertChild(int32_t nIndex, CKvtNodeBase* pChild)
{
    m_Children.InsertAt(nIndex, pChild);
}

int32_t CKvtNodeStruct::IndexOfChild(const CKvtNodeBase* pChild) const
{
    for (int32_t i = 0; i < m_Children.GetNum(); ++i) {
        if (m_Children[i] == pChild)
            return i;
    }
    return -1;
}

void CKvtNodeStruct::RemoveChild(CKvtNodeBase* pChild)
{
    m_Children.Remove(pChild);
}

void CKvtNodeStruct::ReserveChildren(int32_t nMore)
{
    if (nMore <= 0)
        return;
    const int64_t nWanted = static_cast<int64_t>(m_Children.GetNum()) + nMore;
    if (nWanted <= m_Children.GetArraySize() || nWanted > INT32_MAX)
        return;
    m_Children.SetSize(static_cast<int32_t>(nWanted));
}

int32_t CKvtNodeStruct::GetChildCount() const
{
    return m_Children.GetNum();
}

CKvtNodeBase* CKvtNodeStruct::GetChild(int32_t nIndex)
{
    return m_Children[nIndex];
}

void CKvtNodeStruct::AssignNextIndex(CKvtNodeBase* pChild)
{
    int32_t nLargest = -1;
    for (int32_t i = 0; i < m_Children.GetNum(); ++i) {
        if (m_Children[i]->m_nIndex > nLargest)
            nLargest = m_Children[i]->m_nIndex;
    }
    pChild->m_nIndex = nLargest + 1;
}

// ---- The root ---------------------------------------------------------------

CKvtNodeTopLevelStruct::CKvtNodeTopLevelStruct() : CKvtNodeStruct(ftTOPLEVELSTRUCT) {}

CKvtNodeTopLevelStruct::~CKvtNodeTopLevelStruct() = default;

COroString CKvtNodeTopLevelStruct::GetTypeName()
{
    return "[TopLevelStruct]";
}

COroString CKvtNodeTopLevelStruct::GetEditText()
{
    return m_sFileType + "\r\n" + m_sVersion;
}

COroString CKvtNodeTopLevelStruct::GetPreviewText()
{
    return COroString("Type:") + m_sFileType + " Ver:" + m_sVersion;
}

bool CKvtNodeTopLevelStruct::SetFromText(COroString sText)
{
    const int32_t nLength = sText.GetLength();
    const int32_t nTypeLength = nLength < 4 ? nLength : 4;
    m_sFileType = sText.SubString(0, nTypeLength);
    int32_t nPos = nTypeLength;
    while (nPos < nLength) {
        const char c = sText[nPos];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            break;
        ++nPos;
    }
    m_sVersion = sText.SubString(nPos, 4);
    return true;
}

COroString CKvtNodeTopLevelStruct::GetHelpText()
{
    return "1st line: 4 chars FileType.  2nd line:\r4 chars Version.";
}

CKvtNodeBase* CKvtNodeTopLevelStruct::CopyFrom(CKvtNodeBase* pSource)
{
    CKvtNodeStruct::CopyFrom(pSource);
    CopyOwnState(pSource->GetStructNode());
    return this;
}

void CKvtNodeTopLevelStruct::CopyOwnState(CKvtNodeStruct* pSource)
{
    CKvtNodeStruct::CopyOwnState(pSource);
    auto* pRoot = static_cast<CKvtNodeTopLevelStruct*>(pSource);
    m_sFileType = pRoot->m_sFileType;
    m_sVersion = pRoot->m_sVersion;
}

bool CKvtNodeTopLevelStruct::HasSameValue(CKvtNodeBase* pSource)
{
    auto* pRoot = static_cast<CKvtNodeTopLevelStruct*>(pSource);
    return m_sFileType == pRoot->m_sFileType && m_sVersion == pRoot->m_sVersion;
}
