#pragma once
// The node value edit panel: shows the selected node in the boxes beside the
// tree and applies what the user typed back to it. There is no Apply button;
// the window applies the panel when the selection is about to move, when a
// panel control loses the focus and on Enter in the value, label and StrRef
// boxes. Applying parses through the node's own SetFromText, checks the
// label among the siblings, shows what the node now holds, beeps when that
// differs from what was typed, re-captions the tree item and records one
// undo step when the node changed.

#include <QMetaObject>
#include <functional>
#include <string_view>
#include <vector>

#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtDocumentSession;
class CKvtLocStringPage;
class QAction;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPlainTextEdit;
class QTabWidget;
class QWidget;

struct KvtEditPanelControls_st {
    QLineEdit* eNType;
    QLabel* lType;
    QLabel* lFieldID;
    QLineEdit* eFieldID;
    QLineEdit* eNIndex;
    QTabWidget* pcDataPage;
    QWidget* tsFieldTab;
    QWidget* tsLocStringTab;
    QWidget* tsBinaryTab;
    QLabel* lFormatHelp;
    QPlainTextEdit* eValue;
    QLineEdit* eStrRef;
    QAction* miHexView;
};

// The texts of the panel's boxes, as shown or as typed. The value is the
// StrRef box's text for a localized string, else the value memo's.
struct KvtPanelTexts_st {
    COroString sValue;
    COroString sType;
    COroString sLabel;
    COroString sIndex;
};

class CKvtEditPanel {
public:
    // The panel fills the localized-string page when it shows such a node.
    CKvtEditPanel(CKvtDocumentSession& session, CKvtLocStringPage& locStringPage,
                  const KvtEditPanelControls_st& controls);
    ~CKvtEditPanel();
    CKvtEditPanel(const CKvtEditPanel&) = delete;
    CKvtEditPanel& operator=(const CKvtEditPanel&) = delete;

    // Fills the panel from the selected item (empties the boxes when there
    // is none).
    void DisplayNodeData();
    // Applies what the user typed into the boxes since the node was shown;
    // a box not typed in is left alone, so that looking at a node never
    // changes it (a FLOAT's "%.12f" text would read back as another value).
    // False when the label check refused the typed label (the rest is
    // applied all the same).
    bool SetDataFromEdits();
    // Whether a box holds text typed since the node was shown.
    bool HasTypedText() const;
    // Called whenever the user types into a box.
    void SetOnTyped(std::function<void()> onTyped) { m_OnTyped = std::move(onTyped); }
    // Enter in the value memo: applies; true when the key is consumed. A
    // number takes no line break; other values get the memo's own line
    // break at the caret, which is put back where it was.
    bool ValueKeyDown();
    // The panel's part of the window refresh: the label caption, the one
    // page that fits the node and which boxes are editable.
    void RefreshNodeGui();

private:
    bool IsValidFieldID(const QModelIndex& item, const COroString& sLabel) const;
    void ShowValueAsHex(CKvtNodeBase* pNode);
    void ShowNodeBoxes(CKvtNodeBase* pNode);
    COroString BoxTexts() const;
    KvtPanelTexts_st CurrentTexts(CKvtNodeBase* pNode) const;
    // Remembers what the boxes show for the node (null: no node shown).
    void RememberShownTexts(CKvtNodeBase* pNode);
    void NotifyTyped() const;
    void ShowOnlyPage(QWidget* pPage);
    void ClearPanelTexts();

    CKvtDocumentSession& m_Session;
    CKvtLocStringPage& m_LocStringPage;
    KvtEditPanelControls_st m_Controls;
    // Applying shows a box, and a box moves the focus: a nested apply of the
    // same panel must not run while the first is half done.
    bool m_bApplying;
    // The node the boxes were filled for and what they showed.
    CKvtNodeBase* m_pShownNode;
    KvtPanelTexts_st m_Shown;
    std::function<void()> m_OnTyped;
    std::vector<QMetaObject::Connection> m_Connections;
};
