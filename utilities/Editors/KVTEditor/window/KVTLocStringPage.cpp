#include "KVTLocStringPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <memory>
#include <string_view>

#include "KVTControlText.h"
#include "KVTDocumentSession.h"
#include "KVTNumberText.h"
#include "KVTPanelText.h"
#include "KVTTreeModel.h"
#include "KVTUndoCommands.h"
#include "collation.h"

CKvtLocStringPage::CKvtLocStringPage(CKvtDocumentSession& session, const KvtLocStringControls_st& controls)
    : m_Session(session), m_Controls(controls), m_nShownLanguage(-1)
{
    // Only what the user does counts as a change of the boxes: the page's
    // own filling of them redisplays explicitly.
    connect(m_Controls.cbLangIDs->lineEdit(), &QLineEdit::textEdited, this, [this]() { DisplayOroLocString(); });
    connect(m_Controls.cbLangIDs, &QComboBox::activated, this, [this]() { LanguageChosen(); });
    connect(m_Controls.cbGender, &QComboBox::activated, this, [this]() { DisplayOroLocString(); });
    connect(m_Controls.bOroLocStringAdd, &QPushButton::clicked, this, [this]() { bOroLocStringAddClick(); });
    connect(m_Controls.bOroLocStringDelete, &QPushButton::clicked, this, [this]() { bOroLocStringDeleteClick(); });
    connect(m_Controls.cbLangIDs->lineEdit(), &QLineEdit::textEdited, this, [this]() { NotifyTyped(); });
    connect(m_Controls.mOroLocStringValue, &QPlainTextEdit::textChanged, this, [this]() { NotifyTyped(); });
}

void CKvtLocStringPage::NotifyTyped() const
{
    if (m_OnTyped)
        m_OnTyped();
}

void CKvtLocStringPage::RememberShown(int32_t nLanguage, const COroString& sText)
{
    m_nShownLanguage = nLanguage;
    m_sShownText = sText;
}

bool CKvtLocStringPage::HasTypedText() const
{
    const int32_t nLanguage = ChosenLanguage();
    return m_Session.LocStrNode() && nLanguage >= 0 &&
           (nLanguage != m_nShownLanguage || MemoText(*m_Controls.mOroLocStringValue) != m_sShownText);
}

int32_t CKvtLocStringPage::ChosenLanguage() const
{
    const COroString sText = ComboText(*m_Controls.cbLangIDs);
    return PanelIntegerOrDefault(std::string_view(sText.CStr(), static_cast<size_t>(sText.GetLength())), -1);
}

bool CKvtLocStringPage::FindLanguageText(int32_t nLanguage, COroString& sText) const
{
    CKvtNodeLOCSTRING* pNode = m_Session.LocStrNode();
    if (!pNode || nLanguage < 0)
        return false;
    const COroLocString& value = pNode->m_Value;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nEntryLanguage = -1;
        COroString sEntry;
        uint8_t nGender = 0;
        if (value.GetStringByIndex(static_cast<uint32_t>(i), nEntryLanguage, sEntry, nGender) &&
            nEntryLanguage == nLanguage) {
            sText = sEntry;
            return true;
        }
    }
    return false;
}

void CKvtLocStringPage::InsertLanguageItem(const QString& sItem)
{
    QComboBox& list = *m_Controls.cbLangIDs;
    const QByteArray item = sItem.toLatin1();
    // Before the first item that sorts after the new one, so that an equal
    // item goes after its equals, as a sorted list adds it.
    int nLow = 0;
    int nHigh = list.count();
    while (nLow < nHigh) {
        const int nMiddle = nLow + (nHigh - nLow) / 2;
        if (CollateCompare(list.itemText(nMiddle).toLatin1().constData(), item.constData()) <= 0)
            nLow = nMiddle + 1;
        else
            nHigh = nMiddle;
    }
    list.insertItem(nLow, sItem);
}

void CKvtLocStringPage::RefreshLocStrGui()
{
    QComboBox& list = *m_Controls.cbLangIDs;
    list.clear();
    list.setCurrentIndex(-1);
    list.clearEditText();
    RememberShown(-1, COroString());
    m_Controls.mOroLocStringValue->clear();
    m_Controls.eStrRef->clear();
    CKvtNodeLOCSTRING* pNode = m_Session.LocStrNode();
    if (!pNode)
        return;
    SetBoxText(*m_Controls.eStrRef, pNode->GetEditText());
    const COroLocString& value = pNode->m_Value;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nLanguage = -1;
        COroString sText;
        uint8_t nGender = 0;
        if (value.GetStringByIndex(static_cast<uint32_t>(i), nLanguage, sText, nGender))
            InsertLanguageItem(QString::number(nLanguage));
    }
    if (list.count() > 0)
        list.setCurrentIndex(0);
    // The page is shown afresh even where the memo keeps the focus: what it
    // held belonged to the language chosen before, and would otherwise pass
    // for text typed for the first one.
    ShowLanguageText();
}

void CKvtLocStringPage::DisplayOroLocString()
{
    if (m_Session.IsLocStrEditing())
        return;
    ShowLanguageText();
}

void CKvtLocStringPage::LanguageChosen()
{
    // A pick reported while the list is losing the focus is the list's own
    // tidying up after the text was typed, not a choice.
    if (m_Controls.cbLangIDs->hasFocus())
        ShowLanguageText();
}

void CKvtLocStringPage::ShowLanguageText()
{
    QPlainTextEdit& memo = *m_Controls.mOroLocStringValue;
    COroString sText;
    const int32_t nLanguage = ChosenLanguage();
    const bool bFound = FindLanguageText(nLanguage, sText);
    // Remembered first: the memo reports its new text as typed at once.
    RememberShown(nLanguage, sText);
    if (bFound) {
        SetMemoText(memo, sText);
        memo.setEnabled(true);
        UseWindowColour(memo);
    } else {
        memo.clear();
        memo.setEnabled(false);
        UseButtonFaceColour(memo);
    }
}

void CKvtLocStringPage::SaveLocStrText()
{
    CKvtNodeLOCSTRING* pNode = m_Session.LocStrNode();
    if (!pNode || m_Session.IsReplaying())
        return;
    // Storing an untyped text again would still change the node (both
    // genders become one entry, which moves last): only typed text is stored.
    const int32_t nLanguage = ChosenLanguage();
    if (HasTypedText()) {
        const COroString sText = MemoText(*m_Controls.mOroLocStringValue);
        // Storing the text a language holds already would only move its entry
        // to the end: a change nobody made, and an undo step that would cut
        // off every redo.
        if (!IsStoredAs(pNode, nLanguage, sText)) {
            std::unique_ptr<CKvtNodeEditStep> pStep = BeginEdit(pNode);
            COroString sOld;
            if (FindLanguageText(nLanguage, sOld))
                pNode->m_Value.RemoveString(nLanguage);
            // An empty text stores nothing, so clearing a text removes the language.
            pNode->m_Value.AddString(nLanguage, sText, 0);
            RecaptionNode(pNode);
            m_Session.EndNodeEdit(std::move(pStep), StepText("Store Language %1 of %2", nLanguage, pNode));
        }
        RememberShown(nLanguage, sText);
    }
    m_Session.RefreshGui();
}

bool CKvtLocStringPage::IsStoredAs(CKvtNodeLOCSTRING* pNode, int32_t nLanguage, const COroString& sText) const
{
    const COroLocString& value = pNode->m_Value;
    int32_t nEntries = 0;
    bool bSame = false;
    for (int32_t i = 0; i < value.GetStringCount(); ++i) {
        int32_t nEntryLanguage = -1;
        COroString sEntry;
        uint8_t nGender = 0;
        if (value.GetStringByIndex(static_cast<uint32_t>(i), nEntryLanguage, sEntry, nGender) &&
            nEntryLanguage == nLanguage) {
            ++nEntries;
            bSame = nGender == 0 && sEntry == sText;
        }
    }
    // An empty text for a language without entries stores nothing either;
    // for one with an entry it removes the language.
    return nEntries == 0 ? sText.GetLength() == 0 : nEntries == 1 && bSame && sText.GetLength() > 0;
}

std::unique_ptr<CKvtNodeEditStep> CKvtLocStringPage::BeginEdit(CKvtNodeLOCSTRING* pNode)
{
    return m_Session.BeginNodeEdit(pNode, ItemOf(pNode));
}

QString CKvtLocStringPage::StepText(const char* pFormat, int32_t nLanguage, CKvtNodeLOCSTRING* pNode)
{
    const COroString& sLabel = pNode->m_sLabel;
    return QString::fromLatin1(pFormat).arg(nLanguage).arg(
        QString::fromLatin1(sLabel.GetLength() > 0 ? sLabel.CStr() : pNode->GetTypeName().CStr()));
}

void CKvtLocStringPage::bOroLocStringAddClick()
{
    CKvtNodeLOCSTRING* pNode = m_Session.LocStrNode();
    if (!pNode)
        return;
    QComboBox& list = *m_Controls.cbLangIDs;
    // Read as scanf's "%i" reads into a 32-bit number; no number is 0.
    int64_t nRead = 0;
    const int32_t nLanguage =
        ParseScanInteger(ComboText(list).CStr(), nRead) ? static_cast<int32_t>(static_cast<uint32_t>(nRead)) : 0;
    const QString sItem = QString::number(nLanguage);
    list.setEditText(sItem);
    if (list.findText(sItem, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        // Empties the text of a stored language; creates nothing otherwise.
        if (nLanguage >= 0) {
            std::unique_ptr<CKvtNodeEditStep> pStep = BeginEdit(pNode);
            pNode->m_Value.AddString(nLanguage, COroString(), 0);
            RecaptionNode(pNode);
            pStep->AbsorbNextEdit();
            if (m_Session.EndNodeEdit(std::move(pStep), StepText("Add Language %1 to %2", nLanguage, pNode)))
                m_Session.RefreshGui();
        }
        // The memo's text is not stored under the new language yet: the
        // next exit stores it even untyped (an emptied entry is then removed
        // by an empty text, as the file cannot hold it).
        RememberShown(-1, COroString());
        // A negative number is listed although it can never be stored.
        InsertLanguageItem(sItem);
        list.setEditText(sItem);
    }
    QPlainTextEdit& memo = *m_Controls.mOroLocStringValue;
    memo.setEnabled(true);
    UseWindowColour(memo);
    // The box that loses the focus now stores the memo's text under the new
    // language.
    memo.setFocus(Qt::OtherFocusReason);
}

void CKvtLocStringPage::bOroLocStringDeleteClick()
{
    CKvtNodeLOCSTRING* pNode = m_Session.LocStrNode();
    if (!pNode)
        return;
    const int32_t nLanguage = ChosenLanguage();
    if (nLanguage >= 0) {
        // A deleted language is a change to save like any other.
        std::unique_ptr<CKvtNodeEditStep> pStep = BeginEdit(pNode);
        pNode->m_Value.RemoveString(nLanguage);
        RecaptionNode(pNode);
        if (m_Session.EndNodeEdit(std::move(pStep), StepText("Delete Language %1 of %2", nLanguage, pNode)))
            m_Session.RefreshGui();
    }
    RefreshLocStrGui();
}

QModelIndex CKvtLocStringPage::ItemOf(CKvtNodeLOCSTRING* pNode) const
{
    // The selected item, unless a rebuild of the view (the Preview toggle)
    // has cleared the selection while the page still shows the node.
    CKvtTreeModel& model = m_Session.TreeModel();
    const QModelIndex item = m_Session.SelectedItem();
    return model.NodeAt(item) == pNode ? item : model.FindItem(pNode);
}

void CKvtLocStringPage::RecaptionNode(CKvtNodeLOCSTRING* pNode)
{
    // With Preview on, the caption counts the entries, and the panel
    // captioned the item before the page changed them.
    const QModelIndex item = ItemOf(pNode);
    if (item.isValid())
        m_Session.TreeModel().UpdateCaption(item);
}

void CKvtLocStringPage::cbLangIDsKeyPress()
{
    m_Controls.bOroLocStringAdd->click();
}

void CKvtLocStringPage::PropOnExit()
{
    SaveLocStrText();
}
