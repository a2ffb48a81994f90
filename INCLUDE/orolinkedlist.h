#pragma once
// COroLinkedList<T>: a doubly linked list of element pointers. The list owns
// its nodes, never the elements they point to.

#include <cstdint>

struct COroLinkedListNode {
    COroLinkedListNode* prev;
    COroLinkedListNode* next;
    void* element;
};

using OroPosition = COroLinkedListNode*;

class COroLinkedListInternal {
public:
    COroLinkedListInternal();
    ~COroLinkedListInternal();
    COroLinkedListInternal(const COroLinkedListInternal&) = delete;
    COroLinkedListInternal& operator=(const COroLinkedListInternal&) = delete;

    OroPosition AddHead(void* pElement);
    OroPosition AddTail(void* pElement);
    OroPosition GetHeadPos() const { return m_pHead; }
    OroPosition GetTailPos() const { return m_pTail; }
    void* GetHead() const;
    void* GetNext(OroPosition& pos) const;
    void* Remove(OroPosition pos);
    void* RemoveHead();
    bool IsEmpty() const { return m_pHead == nullptr; }
    int32_t GetCount() const { return m_nCount; }

private:
    COroLinkedListNode* m_pHead;
    COroLinkedListNode* m_pTail;
    int32_t m_nCount;
};

template <typename T>
class COroLinkedList {
public:
    COroLinkedList() : m_pInternal(new COroLinkedListInternal) {}
    ~COroLinkedList() { delete m_pInternal; }
    COroLinkedList(const COroLinkedList&) = delete;
    COroLinkedList& operator=(const COroLinkedList&) = delete;

    OroPosition AddHead(T* pElement) { return m_pInternal->AddHead(pElement); }
    OroPosition AddTail(T* pElement) { return m_pInternal->AddTail(pElement); }
    OroPosition GetHeadPos() const { return m_pInternal->GetHeadPos(); }
    OroPosition GetTailPos() const { return m_pInternal->GetTailPos(); }
    T* GetHead() const { return static_cast<T*>(m_pInternal->GetHead()); }
    // Advances pos first, then returns the element at the new position.
    T* GetNext(OroPosition& pos) const { return static_cast<T*>(m_pInternal->GetNext(pos)); }
    T* Remove(OroPosition pos) { return static_cast<T*>(m_pInternal->Remove(pos)); }
    T* RemoveHead() { return static_cast<T*>(m_pInternal->RemoveHead()); }
    bool IsEmpty() const { return m_pInternal->IsEmpty(); }
    int32_t GetCount() const { return m_pInternal->GetCount(); }

private:
    COroLinkedListInternal* m_pInternal;
};
