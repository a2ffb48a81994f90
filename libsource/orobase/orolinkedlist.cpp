#include "orolinkedlist.h"

#include "orobase.h"

COroLinkedListInternal::COroLinkedListInternal() : m_pHead(nullptr), m_pTail(nullptr), m_nCount(0) {}

COroLinkedListInternal::~COroLinkedListInternal()
{
    // Only the nodes belong to the list; the owners release the elements.
    COroLinkedListNode* pNode = m_pHead;
    while (pNode) {
        COroLinkedListNode* pNext = pNode->next;
        delete pNode;
        pNode = pNext;
    }
}

OroPosition COroLinkedListInternal::AddHead(void* pElement)
{
    COroLinkedListNode* pNode = new COroLinkedListNode{nullptr, m_pHead, pElement};
    if (m_pHead)
        m_pHead->prev = pNode;
    else
        m_pTail = pNode;
    m_pHead = pNode;
    ++m_nCount;
    return pNode;
}

OroPosition COroLinkedListInternal::AddTail(void* pElement)
{
    COroLinkedListNode* pNode = new COroLinkedListNode{m_pTail, nullptr, pElement};
    if (m_pTail)
        m_pTail->next = pNode;
    else
        m_pHead = pNode;
    m_pTail = pNode;
    ++m_nCount;
    return pNode;
}

void* COroLinkedListInternal::GetHead() const
{
    return m_pHead ? m_pHead->element : nullptr;
}

void* COroLinkedListInternal::GetNext(OroPosition& pos) const
{
    if (!pos) {
        OroWarning("orolinkedlistinternal", 243, "COroLinkedListInternal::GetNext() Position paramter is NULL");
        return nullptr;
    }
    pos = pos->next;
    return pos ? pos->element : nullptr;
}

void* COroLinkedListInternal::Remove(OroPosition pos)
{
    if (!pos) {
        OroWarning("orolinkedlistinternal", 295, "COroLinkedListInternal::Remove() Position paramter is NULL");
        return nullptr;
    }
    if (pos->prev)
        pos->prev->next = pos->next;
    if (pos->next)
        pos->next->prev = pos->prev;
    if (pos == m_pTail)
        m_pTail = pos->prev;
    if (pos == m_pHead)
        m_pHead = pos->next;
    void* pElement = pos->element;
    delete pos;
    --m_nCount;
    return pElement;
}

void* COroLinkedListInternal::RemoveHead()
{
    if (!m_pHead) {
        OroWarning("orolinkedlistinternal", 345, "COroLinkedListInternal::RemoveHead() Removing from empty List");
        return nullptr;
    }
    COroLinkedListNode* pOld = m_pHead;
    m_pHead = pOld->next;
    if (m_pHead)
        m_pHead->prev = nullptr;
    else
        m_pTail = nullptr;
    void* pElement = pOld->element;
    delete pOld;
    --m_nCount;
    return pElement;
}
