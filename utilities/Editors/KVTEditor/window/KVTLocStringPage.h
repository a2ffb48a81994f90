#pragma once
// The "COroLocString Data" page of the edit panel: the StrRef box, the
// language list, the text of the chosen language, Add and Delete. The page
// works on the session's localized-string node; while a panel control has the
// focus it does not redisplay the text, so that typing a language number
// does not replace the text being worked on.

#include <QModelIndex>
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtDocumentSession;
class CKvtNodeEditStep;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QString;

struct KvtLocStringControls_st {
    QLineEdit* eStrRef;
    QComboBox* cbGender;
    QComboBox* cbLangIDs;
    QPushButton* bOroLocStringAdd;
    QPushButton* bOroLocStringDelete;
    QPlainTextEdit* mOroLocStringValue;
};

class CKvtLocStringPage : public QObject {
public:
    CKvtLocStringPage(CKvtDocumentSession& session, const KvtLocStringControls_st& controls);

    // Rebuilds the page from the node: StrRef, one list item per entry, the
    // first item chosen and its text shown.
    void RefreshLocStrGui();
    // Shows the chosen language's text (unless a panel control is being
    // edited).
    void DisplayOroLocString();
    // Stores the typed text under the chosen language, replacing both genders.
    void SaveLocStrText();
    void bOroLocStringAddClick();
    void bOroLocStringDeleteClick();
    // Enter in the language box clicks Add.
    void cbLangIDsKeyPress();

    // A panel control lost the focus, and the panel has been applied: stores
    // the text.
    void PropOnExit();
    // Whether the language box or the text was typed in since the page
    // showed or stored them: a store would change the node.
    bool HasTypedText() const;
    // Called whenever the user types into the language box or the text.
    void SetOnTyped(std::function<void()> onTyped) { m_OnTyped = std::move(onTyped); }

private:
    // The user picked an item of the language list: its text is shown even
    // while the list has the focus, or the text of the language shown before
    // would be stored under the one picked.
    void LanguageChosen();
    void ShowLanguageText();
    // The language box's number, -1 when it holds none.
    int32_t ChosenLanguage() const;
    bool FindLanguageText(int32_t nLanguage, COroString& sText) const;
    // Re-captions the node's tree item after its entries changed.
    void RecaptionNode(CKvtNodeLOCSTRING* pNode);
    QModelIndex ItemOf(CKvtNodeLOCSTRING* pNode) const;
    // Whether the language holds exactly this text as its one entry (of
    // gender 0), or holds nothing and the text is empty: storing is then no
    // change.
    bool IsStoredAs(CKvtNodeLOCSTRING* pNode, int32_t nLanguage, const COroString& sText) const;
    // Each change of the entries is one undo step.
    std::unique_ptr<CKvtNodeEditStep> BeginEdit(CKvtNodeLOCSTRING* pNode);
    static QString StepText(const char* pFormat, int32_t nLanguage, CKvtNodeLOCSTRING* pNode);
    // Lists the item in the list's order (the tree's collation).
    void InsertLanguageItem(const QString& sItem);

    void RememberShown(int32_t nLanguage, const COroString& sText);
    void NotifyTyped() const;

    CKvtDocumentSession& m_Session;
    KvtLocStringControls_st m_Controls;
    // The language and text last shown or stored.
    int32_t m_nShownLanguage;
    COroString m_sShownText;
    std::function<void()> m_OnTyped;
};
