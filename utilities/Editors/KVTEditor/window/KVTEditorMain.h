#pragma once
// TfrmMain: the editor's one main window. It owns the document session (the
// document, its flags and the node clipboard, shared with the panel and the
// node commands) and the settings object, runs the File commands and shows
// the session's selection in the tree view. Boxes and file dialogs go through
// the dialog seam given at construction.

#include <QMainWindow>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <memory>
#include <vector>

#include "KVTDialogs.h"
#include "KVTOpenDocument.h"
#include "KVTSessionView.h"
#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtBinaryPage;
class CKvtDocumentSession;
class CKvtEditPanel;
class CKvtFileDialog;
class CKvtJsonCommands;
class CKvtLocStringPage;
class CKvtNodeCommands;
class CKvtPanelEvents;
class CKvtProblemsPanel;
class CKvtRecentFilesMenu;
class CKvtTreeModel;
class CKvtTreeNavigation;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTextEdit;
class QTreeView;

class TfrmMain : public QMainWindow, public IKvtSessionView {
    Q_OBJECT
public:
    // The settings are loaded here (and the recent-files menu built from
    // them); dialogs must outlive the window.
    explicit TfrmMain(IKvtDialogs& dialogs, QWidget* pParent = nullptr);
    // Frees the session (the document and the clipboard), then saves the
    // settings.
    ~TfrmMain() override;
    TfrmMain(const TfrmMain&) = delete;
    TfrmMain& operator=(const TfrmMain&) = delete;

    // Document operations.
    bool OpenFile(const COroString& sFileName);
    void CloseFile();
    // Yes, No or Cancel; asks only when the document is modified.
    TKvtBoxAnswer AskSaveChanges();
    bool SaveFile();
    // Caption and File command state (then the node-dependent parts).
    void RefreshGui() override;
    // Recreates the tree view from the document (an empty view without one).
    void RebuildTreeView();
    // Fills the edit panel from the selected tree item.
    void DisplayNodeData() override;
    // Applies the panel's texts to the selected node.
    void SetDataFromEdits();
    // What the panel holds typed but not yet applied is applied, as leaving
    // the node would; false when a check refused it. Every command on the
    // whole document calls this first and stops on false.
    bool ApplyPendingPanelEdit() override;

    // Files dropped on the window, in the order given: the first is opened.
    void WMDropFiles(const std::vector<COroString>& files);
    // A recent-files menu entry was clicked.
    void RecentFileClick(QAction* pItem);

    // The document session, and the parts of it the tests and the benchmark
    // use through the window.
    CKvtDocumentSession& Session() const { return *m_pSession; }
    CKvtNodeTopLevelStruct* RootNode() const;
    const COroString& FileName() const;
    bool IsModified() const;
    void MarkModified();
    bool IsReadOnly() const;
    CKvtNodeLOCSTRING* LocStrNode() const;
    bool IsLocStrEditing() const;
    CKvtNodeBase* ClipboardNode() const;
    void ReplaceClipboardNode(CKvtNodeBase* pCopy);
    CKvtTreeModel& TreeModel() const { return *m_pTreeModel; }
    // Paths, Find, the view's order and the subtree commands.
    CKvtTreeNavigation& Navigation() const { return *m_pNavigation; }
    // The warnings of the last open, save or export.
    CKvtProblemsPanel& Problems() const { return *m_pProblems; }
    // How long open, save, export and Find All run before their progress
    // dialog shows.
    void SetProgressDelay(int nMilliseconds);

    // The tree view's selected item (invalid when none). While the selection
    // is about to move, it is still the item being left, as the handlers of
    // that moment expect.
    QModelIndex SelectedItem() const override;
    // Selects the item (making it visible) or, with an invalid index, none.
    void SelectItem(const QModelIndex& index) override;

public slots:
    void actFileNewExecute();
    void actFileOpenExecute();
    void actFileSaveExecute();
    void actFileSaveAsExecute();
    void actFileExportExecute();
    void actFileExitExecute();
    void actEditUndoExecute();
    void actEditRedoExecute();
    void actHexEditExecute();
    void miPreviewDataInTreeClick();
    void miHexViewClick();
    // An entry of the add-node popup.
    void AddNodeMenuClick(QAction* pSender);

protected:
    void showEvent(QShowEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    // The form (KVTEditorMainForm.cpp): controls, actions, menus, dialogs.
    void CreateForm();
    void CreateActions();
    void CreateMenus();
    void CreateControls();
    QWidget* CreateNodeInfoPanel();
    QWidget* CreateInfoNodeTop();
    QWidget* CreateFieldPage();
    QWidget* CreateLocStringPage();
    QWidget* CreateBinaryPage();
    void CreateDialogs();
    void BuildAddNodeMenu();
    void CenterOnScreen();

    void CreatePanelHandlers();
    // The tree's selection: the current item moved from previous to current.
    void tvKVTCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    void tvKVTChanging(const QModelIndex& leaving);
    void tvKVTChange();

    void FormShow();
    // Any request to close the window; bCanClose false refuses it.
    void FormClose(bool& bCanClose);
    void RefreshDocumentGui();
    // Undo and Redo name the step they would take, or are disabled.
    void RefreshUndoActions();
    void WriteExportFile(const std::string& sFileName);
    TKvtBoxAnswer ShowBox(const COroString& sText, const char* pTitle, TKvtBoxIcon nIcon, TKvtBoxButtons nButtons);
    void ShowOpenError(TKvtOpenResult nResult, const char* pFileName);

    IKvtDialogs& m_Dialogs;
    CKvtTreeModel* m_pTreeModel;
    std::unique_ptr<CKvtDocumentSession> m_pSession;
    std::unique_ptr<CKvtRecentFilesMenu> m_pRecentFilesMenu;
    // The item being left while the selection is about to move.
    QPersistentModelIndex m_LeavingItem;

    // The localized-string page, the panel that fills it, the node commands
    // and the event wiring of the panel's controls.
    std::unique_ptr<CKvtLocStringPage> m_pLocStringPage;
    std::unique_ptr<CKvtEditPanel> m_pEditPanel;
    std::unique_ptr<CKvtBinaryPage> m_pBinaryPage;
    std::unique_ptr<CKvtNodeCommands> m_pNodeCommands;
    std::unique_ptr<CKvtPanelEvents> m_pPanelEvents;
    std::unique_ptr<CKvtTreeNavigation> m_pNavigation;
    std::unique_ptr<CKvtJsonCommands> m_pJsonCommands;
    CKvtProblemsPanel* m_pProblems;
    int m_nProgressDelay;

    // Actions (actMain holds them).
    QObject* actMain;
    QAction* actFileNew;
    QAction* actFileOpen;
    QAction* actFileSave;
    QAction* actFileSaveAs;
    QAction* actFileExport;
    QAction* actFileExportJson;
    QAction* actFileImportJson;
    QAction* actFileExit;
    QAction* actNodeCopy;
    QAction* actNodePaste;
    QAction* actNodeDelete;
    QAction* actHexEdit;
    QAction* actEditUndo;
    QAction* actEditRedo;

    // Menus.
    QMenuBar* mmMain;
    QMenu* miFile;
    QMenu* miEdit;
    QMenu* miView;
    QAction* miNodeCopy;
    QAction* miNodePaste;
    QAction* miHexView;
    QAction* miPreviewDataInTree;
    QMenu* pumAddNode;

    // Dialogs.
    CKvtFileDialog* odMain;
    CKvtFileDialog* sdMain;
    CKvtFileDialog* sdExport;

    // Controls.
    QWidget* pMain;
    QTreeView* tvKVT;
    QSplitter* Splitter1;
    QFrame* pNodeInfo;
    QFrame* pInfoNodeTop;
    QTextEdit* mInfo;
    QLabel* lTypeTitle;
    QLineEdit* eNType;
    QLabel* lType;
    QLabel* lFieldID;
    QLineEdit* eFieldID;
    QLabel* lFieldIndex;
    QLineEdit* eNIndex;
    QLabel* Label3;
    QTabWidget* pcDataPage;
    QWidget* tsFieldTab;
    QLabel* lValue;
    QLabel* lFormatHelp;
    QPlainTextEdit* eValue;
    QWidget* tsLocStringTab;
    QLabel* lStrRefTitle;
    QLineEdit* eStrRef;
    QLabel* Label1;
    QComboBox* cbGender;
    QLabel* lLangIDTitle;
    QComboBox* cbLangIDs;
    QPushButton* bOroLocStringAdd;
    QPushButton* bOroLocStringDelete;
    QLabel* Label4;
    QPlainTextEdit* mOroLocStringValue;
    QWidget* tsBinaryTab;
    QLabel* Label5;
    QLabel* lBinaryLength;
    QLineEdit* eBinaryLength;
    QPlainTextEdit* mBinaryData;
    QStatusBar* sbMain;
};
