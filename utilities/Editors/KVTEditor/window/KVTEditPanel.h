#pragma once
// The node value edit panel: shows the selected node in the boxes beside the
// tree and applies what the user typed back to it. There is no Apply button;
// the window applies the panel when the selection is about to move, when a
// panel control loses the focus and on Enter in the value, label and StrRef
// boxes. Applying parses through the node's own SetFromText, checks the
// label among the siblings, shows what the node now holds, beeps when that
// differs from what was typed, re-captions the tree item and records one
// undo step when the node changed.

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

class CKvtEditPanel {
public:
    // The panel fills the localized-string page when it shows such a node.
    CKvtEditPanel(CKvtDocumentSession& session, CKvtLocStringPage& locStringPage,
                  const KvtEditPanelControls_st& controls);
    CKvtEditPanel(const CKvtEditPanel&) = delete;
    CKvtEditPanel& operator=(const CKvtEditPanel&) = delete;

    // Fills the panel from the selected item (empties the boxes when there
    // is none).
    void DisplayNodeData();
    // Applies the panel to the selected item's node.
    void SetDataFromEdits();
    // Enter in the value memo: applies, then puts the caret back where it
    // was so that the memo's own line break lands there.
    void ValueKeyDown();
    // The panel's part of the window refresh: the label caption, the one
    // page that fits the node and which boxes are editable.
    void RefreshNodeGui();

private:
    bool IsValidFieldID(const QModelIndex& item, const COroString& sLabel) const;
    void ShowValueAsHex(CKvtNodeBase* pNode);
    void ShowNodeBoxes(CKvtNodeBase* pNode);
    COroString BoxTexts() const;
    void ShowOnlyPage(QWidget* pPage);
    void ClearPanelTexts();

    CKvtDocumentSession& m_Session;
    CKvtLocStringPage& m_LocStringPage;
    KvtEditPanelControls_st m_Controls;
    // Applying shows a box, and a box moves the focus: a nested apply of the
    // same panel must not run while the first is half done.
    bool m_bApplying;
};
