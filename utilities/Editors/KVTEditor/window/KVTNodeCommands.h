#pragma once
// The commands that change the shape of the document from the tree view:
// add a node of a type from the popup, copy a subtree into the program's own
// clipboard, paste it as the last child of the selected container, delete
// the selected subtree. Also the enabling of these commands, the popup's
// enabling on a right-click, the Delete key and the Ctrl+C / Ctrl+V
// shortcuts that follow the tree view's focus.
//
// Each command touches the selected item, its parent and its siblings only:
// new and pasted items are appended after their siblings, and a pasted
// subtree's items are made when they are first shown.

#include <QObject>

#include "KVTTreeNodes.h"

class CKvtDocumentSession;
class QAction;
class QEvent;
class QMenu;
class QPoint;
class QTreeView;

struct KvtNodeCommandControls_st {
    QTreeView* tvKVT;
    QMenu* pumAddNode;
    QMenu* miEdit;
    QAction* miNodeCopy;
    QAction* miNodePaste;
    QAction* actNodeCopy;
    QAction* actNodePaste;
    QAction* actNodeDelete;
};

class CKvtNodeCommands : public QObject {
public:
    CKvtNodeCommands(CKvtDocumentSession& session, const KvtNodeCommandControls_st& controls);

    void AddNodeMenuClick(QAction* pSender);
    void CopySelectedNode();
    void PasteNode();
    void DeleteSelectedNode();

    void actNodeCopyExecute();
    void actNodePasteExecute();
    void actNodeDeleteExecute();

    // The commands' part of the window refresh.
    void RefreshActions();
    // The Edit menu opens.
    void miEditClick();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void tvKVTEnter();
    void tvKVTExit();
    void tvKVTMouseDown(const QPoint& position);
    void tvKVTKeyDown(int nKey);

    CKvtDocumentSession& m_Session;
    KvtNodeCommandControls_st m_Controls;
};
