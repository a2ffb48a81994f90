#pragma once
// The Problems panel: a dock below the tree listing the warnings of the last
// open, save or export, hidden while it has none (View > Problems shows or
// hides it). Double-clicking a row selects the node it names.

#include <QObject>

class CKvtDocumentSession;
class CKvtProblemsModel;
class QAction;
class QDockWidget;
class QMainWindow;
class QModelIndex;
class QStatusBar;
class QTreeView;

class CKvtProblemsPanel : public QObject {
    Q_OBJECT
public:
    CKvtProblemsPanel(CKvtDocumentSession& session, QMainWindow& window, QTreeView& tree, QStatusBar& status);

    CKvtProblemsModel& Model() const { return *m_pModel; }
    QDockWidget* Dock() const { return m_pDock; }
    // The View menu's entry.
    QAction* ToggleAction() const;
    // Empties the list and hides the panel.
    void Clear();
    // Shows the panel when it has rows (and hides it when it has none).
    void ShowIfAny();
    // Selects the node that row's path names, expanding the way to it.
    void RowActivated(const QModelIndex& index);

private:
    CKvtDocumentSession& m_Session;
    QTreeView& m_Tree;
    QStatusBar& m_Status;
    QDockWidget* m_pDock;
    CKvtProblemsModel* m_pModel;
    QTreeView* m_pList;
};
