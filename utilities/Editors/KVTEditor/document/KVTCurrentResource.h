#pragma once
// The resource that the running load or save walk reads from or writes to.
// The node types' read and write functions reach it through s_pCurrentRes;
// a walk sets it for exactly its own duration through CKvtCurrentResource,
// so that it is null outside every walk, also after an early return or an
// exception.

class CResKVT;

extern CResKVT* s_pCurrentRes;

class CKvtCurrentResource {
public:
    explicit CKvtCurrentResource(CResKVT* pRes) : m_pOuter(s_pCurrentRes) { s_pCurrentRes = pRes; }
    ~CKvtCurrentResource() { s_pCurrentRes = m_pOuter; }
    CKvtCurrentResource(const CKvtCurrentResource&) = delete;
    CKvtCurrentResource& operator=(const CKvtCurrentResource&) = delete;

private:
    CResKVT* m_pOuter;
};
