#pragma once
// What the document session needs from the window that shows it: the tree
// view's selection and the refresh of everything that depends on the
// document. The main window implements it; the panel, its pages and the node
// commands reach it only through the session.

#include <QModelIndex>

class IKvtSessionView {
public:
    virtual ~IKvtSessionView() = default;
    // Caption, command states and the panel's node-dependent parts.
    virtual void RefreshGui() = 0;
    // The selected tree item (invalid when none). While the selection is
    // about to move it is still the item being left.
    virtual QModelIndex SelectedItem() const = 0;
    // Selects the item and makes it visible; an invalid index selects none.
    virtual void SelectItem(const QModelIndex& index) = 0;
    // Applies what was typed in the panel as leaving the node would; false
    // when a check refused the text (its message was shown), and the command
    // that asked must not go on.
    virtual bool ApplyPendingPanelEdit() = 0;
    // Fills the panel from the selected item.
    virtual void DisplayNodeData() = 0;
};
