#pragma once
// Finding one's way in the tree: the selected node's path in the status bar
// and Edit > Copy Path, Edit > Find with its bar and results, View > "Sort
// by Caption" / "File Order", and View > Expand Subtree / Collapse Subtree
// (the path and subtree commands also in the tree's popup).

#include <QObject>
#include <functional>
#include <memory>

class CKvtDocumentSession;
class CKvtFindController;
class IKvtDialogs;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QSplitter;
class QStatusBar;
class QTreeView;

struct KvtNavigationControls_st {
    QMainWindow* pWindow;
    QTreeView* tvKVT;
    QSplitter* Splitter1;  // the bar goes above the tree, in the splitter's first pane
    QMenu* miEdit;
    QMenu* miView;
    QMenu* pumAddNode;
    QStatusBar* sbMain;
};

class CKvtTreeNavigation : public QObject {
    Q_OBJECT
public:
    // rebuild recreates the tree view from the document (the window's
    // RebuildTreeView, which asks IsFileOrder).
    CKvtTreeNavigation(CKvtDocumentSession& session, IKvtDialogs& dialogs, const KvtNavigationControls_st& controls,
                       std::function<void()> rebuild);
    ~CKvtTreeNavigation() override;

    bool IsFileOrder() const;
    CKvtFindController& Find() const { return *m_pFind; }
    // Shows the selected node's path and enables the commands that need one.
    void Refresh();

    void actCopyPathExecute();
    void actExpandSubtreeExecute();
    void actCollapseSubtreeExecute();
    void ChangeOrder();

    // Expanding a subtree of more items than this asks first.
    static constexpr int64_t kExpandWithoutAsking = 100000;

private:
    void CreateActions();
    QAction* NewAction(const char* pName, const char* pCaption, const QKeySequence& shortcut, const char* pHint);

    CKvtDocumentSession& m_Session;
    IKvtDialogs& m_Dialogs;
    KvtNavigationControls_st m_Controls;
    std::function<void()> m_Rebuild;
    std::unique_ptr<CKvtFindController> m_pFind;
    QLabel* lNodePath;
    QAction* actFind;
    QAction* actFindNext;
    QAction* actFindPrevious;
    QAction* actCopyPath;
    QAction* actExpandSubtree;
    QAction* actCollapseSubtree;
    QAction* miSortByCaption;
    QAction* miFileOrder;
};
