// Names and display formats of the numeric leaves; reading, writing and
// parsing are shared by their template.

#include <cinttypes>

#include "KVTTreeNodes.h"

namespace {

template <typename TValue>
COroString Formatted(const char* pFormat, TValue value)
{
    COroString s;
    s.Format(pFormat, value);
    return s;
}

} // namespace

COroString CKvtNodeBYTE::GetTypeName() { return "[BYTE]"; }
COroString CKvtNodeBYTE::GetEditText() { return Formatted("%hu", static_cast<unsigned short>(m_Value)); }

COroString CKvtNodeCHAR::GetTypeName() { return "[CHAR]"; }
COroString CKvtNodeCHAR::GetEditText() { return Formatted("%hd", static_cast<short>(m_Value)); }

COroString CKvtNodeWORD::GetTypeName() { return "[WORD]"; }
COroString CKvtNodeWORD::GetEditText() { return Formatted("%hu", static_cast<unsigned short>(m_Value)); }

COroString CKvtNodeSHORT::GetTypeName() { return "[SHORT]"; }
COroString CKvtNodeSHORT::GetEditText() { return Formatted("%hd", static_cast<short>(m_Value)); }

COroString CKvtNodeDWORD::GetTypeName() { return "[DWORD]"; }
COroString CKvtNodeDWORD::GetEditText() { return Formatted("%u", static_cast<unsigned>(m_Value)); }

COroString CKvtNodeINT::GetTypeName() { return "[INT]"; }
COroString CKvtNodeINT::GetEditText() { return Formatted("%d", static_cast<int>(m_Value)); }

COroString CKvtNodeDWORD64::GetTypeName() { return "[DWORD64]"; }
COroString CKvtNodeDWORD64::GetEditText() { return Formatted("%" PRIu64, m_Value); }

COroString CKvtNodeINT64::GetTypeName() { return "[INT64]"; }
COroString CKvtNodeINT64::GetEditText() { return Formatted("%" PRId64, m_Value); }

COroString CKvtNodeFLOAT::GetTypeName() { return "[FLOAT]"; }
COroString CKvtNodeFLOAT::GetEditText() { return Formatted("%.12f", static_cast<double>(m_Value)); }

COroString CKvtNodeDOUBLE::GetTypeName() { return "[DOUBLE]"; }
COroString CKvtNodeDOUBLE::GetEditText() { return Formatted("%.24g", m_Value); }
