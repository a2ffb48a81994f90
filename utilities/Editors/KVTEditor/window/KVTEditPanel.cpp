#include "KVTEditPanel.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "KVTControlText.h"
#include "KVTDialogs.h"
#include "KVTDocumentSession.h"
#include "KVTLocStringPage.h"
#include "KVTPanelText.h"
#include "KVTTreeModel.h"
#include "KVTUndoCommands.h"
#include "bcglobal.h"

namespace {

const char* const kInvalidLabelText = "Invalid value.  Please enter another value.";

// The Type box shows a struct's ID, every other node its type code.
COroString TypeBoxText(CKvtNodeBase* pNode)
{
    const uint32_t nBits =
        pNode->GetType() == ftSTRUCT ? pNode->GetStructID() : static_cast<uint32_t>(pNode->GetType());
    return COroString(FormatTypeBoxText(nBits).c_str());
}

COroString IndexText(const CKvtNodeBase* pNode)
{
    COroString sText;
    sText.Format("%d", pNode->m_nIndex);
    return sText;
}

bool IsIntegerType(TKvtFieldType nType)
{
    return nType >= ftBYTE && nType <= ftINT64;
}

bool IsNumberType(TKvtFieldType nType)
{
    return nType >= ftBYTE && nType <= ftDOUBLE;
}

} // namespace

CKvtEditPanel::CKvtEditPanel(CKvtDocumentSession& session, CKvtLocStringPage& locStringPage,
                             const KvtEditPanelControls_st& controls)
    : m_Session(session), m_LocStringPage(locStringPage), m_Controls(controls), m_bApplying(false),
      m_pShownNode(nullptr)
{
    const auto typed = [this]() { NotifyTyped(); };
    m_Connections.push_back(QObject::connect(m_Controls.eValue, &QPlainTextEdit::textChanged, typed));
    for (QLineEdit* pBox : {m_Controls.eNType, m_Controls.eFieldID, m_Controls.eNIndex, m_Controls.eStrRef})
        m_Connections.push_back(QObject::connect(pBox, &QLineEdit::textEdited, typed));
}

CKvtEditPanel::~CKvtEditPanel()
{
    // The controls outlive the panel.
    for (const QMetaObject::Connection& connection : m_Connections)
        QObject::disconnect(connection);
}

void CKvtEditPanel::NotifyTyped() const
{
    if (m_OnTyped)
        m_OnTyped();
}

KvtPanelTexts_st CKvtEditPanel::CurrentTexts(CKvtNodeBase* pNode) const
{
    const bool bLocString = pNode && pNode->GetType() == ftLOCSTRING;
    return {bLocString ? BoxText(*m_Controls.eStrRef) : MemoText(*m_Controls.eValue), BoxText(*m_Controls.eNType),
            BoxText(*m_Controls.eFieldID), BoxText(*m_Controls.eNIndex)};
}

void CKvtEditPanel::RememberShownTexts(CKvtNodeBase* pNode)
{
    m_pShownNode = pNode;
    m_Shown = CurrentTexts(pNode);
    // Filling the boxes reported them as changed; now they are not.
    NotifyTyped();
}

bool CKvtEditPanel::HasTypedText() const
{
    // The shown node is only looked at while it is the selected one: after
    // the document is closed the pointer is stale.
    if (!m_pShownNode || m_Session.SelectedNode() != m_pShownNode)
        return false;
    const KvtPanelTexts_st current = CurrentTexts(m_pShownNode);
    return (current.sValue != m_Shown.sValue || current.sType != m_Shown.sType || current.sLabel != m_Shown.sLabel ||
            current.sIndex != m_Shown.sIndex);
}

void CKvtEditPanel::ClearPanelTexts()
{
    m_Controls.eValue->clear();
    m_Controls.eNType->clear();
    m_Controls.eFieldID->clear();
    m_Controls.eNIndex->clear();
    m_Controls.lType->clear();
}

void CKvtEditPanel::ShowNodeBoxes(CKvtNodeBase* pNode)
{
    SetBoxText(*m_Controls.eNType, TypeBoxText(pNode));
    SetBoxText(*m_Controls.eFieldID, pNode->m_sLabel);
    SetBoxText(*m_Controls.eNIndex, IndexText(pNode));
}

COroString CKvtEditPanel::BoxTexts() const
{
    return BoxText(*m_Controls.eNType) + BoxText(*m_Controls.eFieldID) + BoxText(*m_Controls.eNIndex);
}

void CKvtEditPanel::DisplayNodeData()
{
    m_Session.SetLocStrNode(nullptr);
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    if (!pNode) {
        // The pages keep what they showed; only the boxes are emptied.
        ClearPanelTexts();
        RememberShownTexts(nullptr);
        return;
    }
    SetMemoText(*m_Controls.eValue, pNode->GetEditText());
    ShowNodeBoxes(pNode);
    m_Controls.lType->setText(QString::fromLatin1(TypeCodeToName(pNode->GetType())));
    ShowValueAsHex(pNode);
    SetLabelText(*m_Controls.lFormatHelp, COroString("Data format: ") + pNode->GetHelpText());
    if (pNode->GetType() == ftLOCSTRING) {
        m_Session.SetLocStrNode(static_cast<CKvtNodeLOCSTRING*>(pNode));
        m_Controls.pcDataPage->setCurrentWidget(m_Controls.tsLocStringTab);
    } else {
        m_Controls.pcDataPage->setCurrentWidget(m_Controls.tsFieldTab);
    }
    m_LocStringPage.RefreshLocStrGui();
    RememberShownTexts(pNode);
}

void CKvtEditPanel::ShowValueAsHex(CKvtNodeBase* pNode)
{
    if (!m_Controls.miHexView->isChecked() || !pNode || !IsIntegerType(pNode->GetType()))
        return;
    std::string sHex;
    if (FormatValueAsHex(MemoText(*m_Controls.eValue).CStr(), sHex))
        SetMemoText(*m_Controls.eValue, COroString(sHex.c_str()));
}

bool CKvtEditPanel::IsValidFieldID(const QModelIndex& item, const COroString& sLabel) const
{
    CKvtTreeModel& model = m_Session.TreeModel();
    CKvtNodeBase* pNode = model.NodeAt(item);
    const std::string_view sOwnLabel(pNode->m_sLabel.CStr(), static_cast<size_t>(pNode->m_sLabel.GetLength()));
    const std::string_view sNewLabel(sLabel.CStr(), static_cast<size_t>(sLabel.GetLength()));
    // The siblings are only walked when the answer depends on them: leaving
    // a node under a parent with a million children stays cheap.
    std::vector<std::string_view> siblings;
    CKvtNodeBase* pParent = model.ParentNodeAt(item);
    CKvtNodeStruct* pSiblings = pParent ? pParent->GetStructNode() : nullptr;
    const bool bNeedsSiblings =
        !sNewLabel.empty() && sNewLabel != sOwnLabel && sNewLabel.size() <= static_cast<size_t>(kMaxFieldIdLength);
    if (pSiblings && bNeedsSiblings) {
        siblings.reserve(static_cast<size_t>(pSiblings->GetChildCount()));
        for (int32_t i = 0; i < pSiblings->GetChildCount(); ++i) {
            CKvtNodeBase* pSibling = pSiblings->GetChild(i);
            if (pSibling != pNode)
                siblings.emplace_back(pSibling->m_sLabel.CStr(), static_cast<size_t>(pSibling->m_sLabel.GetLength()));
        }
    }
    return IsValidFieldIdText(sNewLabel, sOwnLabel, siblings);
}

bool CKvtEditPanel::SetDataFromEdits()
{
    const QModelIndex item = m_Session.SelectedItem();
    CKvtNodeBase* pNode = m_Session.TreeModel().NodeAt(item);
    // Boxes filled for another node (or for none) hold nothing for this one;
    // while a step is undone or redone the boxes may show the state it leaves.
    if (!pNode || m_bApplying || m_Session.IsReplaying() || pNode != m_pShownNode)
        return true;
    const bool bLocString = pNode->GetType() == ftLOCSTRING;

    // What the panel shows before, and what the node itself would show.
    const KvtPanelTexts_st typed = CurrentTexts(pNode);
    const bool bValueTyped = typed.sValue != m_Shown.sValue;
    const bool bTypeTyped = typed.sType != m_Shown.sType;
    const bool bLabelTyped = typed.sLabel != m_Shown.sLabel;
    const bool bIndexTyped = typed.sIndex != m_Shown.sIndex;
    if (!bValueTyped && !bTypeTyped && !bLabelTyped && !bIndexTyped)
        return true;
    m_bApplying = true;
    // One apply is one undo step, however many boxes it changes.
    std::unique_ptr<CKvtNodeEditStep> pStep = m_Session.BeginNodeEdit(pNode, item);
    const COroString sTyped = typed.sValue + typed.sType + typed.sLabel + typed.sIndex;

    const bool bLabelOk = !bLabelTyped || IsValidFieldID(item, typed.sLabel);
    if (!bLabelOk) {
        KvtMessageBox_st box;
        box.sText = kInvalidLabelText;
        box.sTitle = g_sTitle.CStr();
        m_Session.Dialogs().MessageBox(box);
        // The rest is still applied, with the old label.
        SetBoxText(*m_Controls.eFieldID, pNode->m_sLabel);
        m_Controls.eFieldID->end(false);
    }

    const bool bValueOk = !bValueTyped || pNode->SetFromText(typed.sValue);
    if (pNode->GetType() == ftSTRUCT && bTypeTyped) {
        const auto nStructID = static_cast<int32_t>(pNode->GetStructID());
        pNode->SetStructID(static_cast<uint32_t>(PanelIntegerOrDefault(
            std::string_view(typed.sType.CStr(), static_cast<size_t>(typed.sType.GetLength())), nStructID)));
    }
    if (bLabelTyped && bLabelOk)
        pNode->m_sLabel = typed.sLabel;
    if (bIndexTyped) {
        pNode->m_nIndex = PanelIntegerOrDefault(
            std::string_view(typed.sIndex.CStr(), static_cast<size_t>(typed.sIndex.GetLength())), pNode->m_nIndex);
    }

    // Show what the node holds now.
    SetMemoText(*m_Controls.eValue, pNode->GetEditText());
    if (bLocString) {
        SetBoxText(*m_Controls.eStrRef, pNode->GetEditText());
        m_LocStringPage.DisplayOroLocString();
    }
    ShowNodeBoxes(pNode);
    ShowValueAsHex(pNode);
    const COroString sShown = (bLocString ? BoxText(*m_Controls.eStrRef) : MemoText(*m_Controls.eValue)) + BoxTexts();
    RememberShownTexts(pNode);

    // Rejected, or not shown as typed (300 in a BYTE shows 44).
    if (!bValueOk || sTyped != sShown)
        m_Session.Dialogs().Beep();
    m_Session.TreeModel().UpdateCaption(item);
    m_bApplying = false;
    // Only a change of the node is a change of the document: 007 typed for 7
    // leaves it as it was.
    if (m_Session.EndNodeEdit(std::move(pStep)))
        m_Session.RefreshGui();
    return bLabelOk;
}

bool CKvtEditPanel::ValueKeyDown()
{
    QPlainTextEdit& memo = *m_Controls.eValue;
    const int nCaret = memo.textCursor().position();
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    const bool bNumber = pNode && IsNumberType(pNode->GetType());
    SetDataFromEdits();
    if (bNumber)
        return true;
    QTextCursor cursor = memo.textCursor();
    // The shown text may be shorter than the typed one.
    cursor.setPosition(std::min(nCaret, std::max(0, memo.document()->characterCount() - 1)));
    memo.setTextCursor(cursor);
    return false;
}

void CKvtEditPanel::ShowOnlyPage(QWidget* pPage)
{
    QTabWidget& pages = *m_Controls.pcDataPage;
    pages.setTabVisible(pages.indexOf(pPage), true);
    pages.setCurrentWidget(pPage);
    for (QWidget* pOther : {m_Controls.tsFieldTab, m_Controls.tsLocStringTab, m_Controls.tsBinaryTab}) {
        if (pOther != pPage)
            pages.setTabVisible(pages.indexOf(pOther), false);
    }
}

void CKvtEditPanel::RefreshNodeGui()
{
    const QModelIndex item = m_Session.SelectedItem();
    CKvtNodeBase* pNode = m_Session.TreeModel().NodeAt(item);
    if (!pNode)
        return;
    const TKvtFieldType nType = pNode->GetType();

    // Localized-string, binary and root nodes keep the caption as it was.
    if (nType == ftLIST)
        m_Controls.lFieldID->setText(QStringLiteral("List Name: "));
    else if ((nType >= ftBYTE && nType <= ftRESREF) || nType == ftSTRUCT)
        m_Controls.lFieldID->setText(QStringLiteral("Field ID: "));

    if (nType == ftLOCSTRING)
        ShowOnlyPage(m_Controls.tsLocStringTab);
    else if (nType == ftBINARY)
        ShowOnlyPage(m_Controls.tsBinaryTab);
    else
        ShowOnlyPage(m_Controls.tsFieldTab);

    // Only a struct's ID (the "<User Defined>" types) can be typed.
    QLineEdit& typeBox = *m_Controls.eNType;
    const bool bTypeEditable = std::strcmp(TypeCodeToName(nType), "<User Defined>") == 0;
    typeBox.setReadOnly(!bTypeEditable);
    if (bTypeEditable)
        UseWindowColour(typeBox);
    else
        UseButtonFaceColour(typeBox);

    if (m_Session.TreeModel().ParentNodeAt(item)) {
        m_Controls.eFieldID->setReadOnly(false);
        UseWindowColour(*m_Controls.eFieldID);
    }
}
