// The leaves whose values live in the field data block: strings, resource
// names and localized strings.

#include "KVTNumberText.h"
#include "KVTTreeNodes.h"

namespace {

const int32_t kStringPreviewLength = 32;

} // namespace

// ---- STRING -----------------------------------------------------------------
bool CKvtNodeSTRING::Load(const CKvtStructHandle* pStruct, const char* pLabel)
{
    int32_t nOk = 0;
    m_Value = s_pCurrentRes->ReadSTRING(pStruct, pLabel, &nOk, COroString());
    return nOk != 0;
}

bool CKvtNodeSTRING::Save(const CKvtStructHandle* pStruct, const char* pLabel)
{
    return s_pCurrentRes->WriteSTRING(pStruct, m_Value, pLabel);
}

COroString CKvtNodeSTRING::GetTypeName() { return "[COroString]"; }
COroString CKvtNodeSTRING::GetEditText() { return m_Value; }

COroString CKvtNodeSTRING::GetPreviewText()
{
    if (m_Value.GetLength() <= kStringPreviewLength)
        return m_Value;
    return m_Value.SubString(0, kStringPreviewLength);
}

bool CKvtNodeSTRING::SetFromText(COroString sText)
{
    m_Value = sText;
    return true;
}

// ---- RESREF -----------------------------------------------------------------
bool CKvtNodeRESREF::Load(const CKvtStructHandle* pStruct, const char* pLabel)
{
    int32_t nOk = 0;
    m_Value = s_pCurrentRes->ReadRESREF(pStruct, pLabel, &nOk, CResRef());
    return nOk != 0;
}

bool CKvtNodeRESREF::Save(const CKvtStructHandle* pStruct, const char* pLabel)
{
    return s_pCurrentRes->WriteRESREF(pStruct, m_Value, pLabel);
}

COroString CKvtNodeRESREF::GetTypeName() { return "[CResRef]"; }

COroString CKvtNodeRESREF::GetEditText()
{
    return m_Value.GetResRefStr();
}

bool CKvtNodeRESREF::SetFromText(COroString sText)
{
    m_Value = CResRef(sText);
    return true;
}

COroString CKvtNodeRESREF::GetHelpText() { return "16 characters, no spaces etc."; }

// ---- LOCSTRING --------------------------------------------------------------
bool CKvtNodeLOCSTRING::Load(const CKvtStructHandle* pStruct, const char* pLabel)
{
    // Read in place: the same value as ReadLOCSTRING with an empty default,
    // without building and copying temporaries for every field.
    return s_pCurrentRes->ReadLOCSTRINGInto(pStruct, pLabel, m_Value);
}

bool CKvtNodeLOCSTRING::Save(const CKvtStructHandle* pStruct, const char* pLabel)
{
    return s_pCurrentRes->WriteLOCSTRING(pStruct, m_Value, pLabel);
}

COroString CKvtNodeLOCSTRING::GetTypeName() { return "[COroLocString]"; }

COroString CKvtNodeLOCSTRING::GetEditText()
{
    COroString s;
    s.Format("%d", m_Value.StrRef);
    return s;
}

COroString CKvtNodeLOCSTRING::GetPreviewText()
{
    COroString s;
    s.Format("%i strings", m_Value.GetStringCount());
    return s;
}

bool CKvtNodeLOCSTRING::SetFromText(COroString sText)
{
    int64_t n = 0;
    if (!ParseScanInteger(sText.CStr(), n)) {
        m_Value.StrRef = -1;
        return false;
    }
    m_Value.StrRef = static_cast<int32_t>(static_cast<uint32_t>(n));
    return true;
}

COroString CKvtNodeLOCSTRING::GetHelpText()
{
    return "Numerical value of StrRef.  Other data uses custom GUI.";
}

bool CKvtNodeLOCSTRING::HasSameValue(CKvtNodeBase* pSource)
{
    const COroLocString& other = static_cast<CKvtNodeLOCSTRING*>(pSource)->m_Value;
    if (m_Value.StrRef != other.StrRef || m_Value.GetStringCount() != other.GetStringCount())
        return false;
    // Entries in stored order: the order is saved too.
    for (int32_t i = 0; i < m_Value.GetStringCount(); ++i) {
        int32_t nLanguage = -1, nOtherLanguage = -1;
        COroString sText, sOtherText;
        uint8_t nGender = 0, nOtherGender = 0;
        const bool bRead = m_Value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender) != 0;
        const bool bOtherRead =
            other.GetStringByIndex(static_cast<uint32_t>(i), nOtherLanguage, sOtherText, nOtherGender) != 0;
        if (bRead != bOtherRead || nLanguage != nOtherLanguage || nGender != nOtherGender || sText != sOtherText)
            return false;
    }
    return true;
}
