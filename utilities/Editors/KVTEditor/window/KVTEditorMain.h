#pragma once
// TfrmMain: the editor's one main window. It owns the document (the root node,
// its file name and flags), the program's node clipboard and the settings
// object, and runs the File commands. Boxes and file dialogs go through the
// dialog seam given at construction.

#include <QMainWindow>
#include <QModelIndex>
#include <QPersistentModelIndex>
#include <memory>
#include <vector>

#include "KVTDialogs.h"
#include "KVTOpenDocument.h"
#include "KVTTreeNodes.h"
#include "orostring.h"

class CKvtEditPanel;
class CKvtFileDialog;
class CKvtLocStringPage;
class CKvtNodeCommands;
class CKvtPanelEvents;
class CKvtRecentFilesMenu;
class CKvtTreeModel;
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

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The settings are loaded here (and the recent-files menu built from
    // them); dialogs must outlive the window.
    explicit TfrmMain(IKvtDialogs& dialogs, QWidget* pParent = nullptr);
    // Frees the document and the clipboard, then saves the settings.
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
    void RefreshGui();
    // Recreates the tree view from the document (an empty view without one).
    void RebuildTreeView();
    // Fills the edit panel from the selected tree item.
    void DisplayNodeData();
    // Applies the panel's texts to the selected node.
    void SetDataFromEdits();
    // Every change of the document marks it modified through here.
    void MarkModified() { m_bModified = true; }

    // The panel's shared focus and key handlers and the localized-string
    // page (the panel's event filter and the page's buttons call these).
    void PropOnEnter();
    void PropOnKeyDown();
    void PropOnExit();
    void eValueKeyDown();
    void cbLangIDsKeyPress();
    void RefreshLocStrGui();
    void DisplayOroLocString();
    void SaveLocStrText();

    // Files dropped on the window, in the order given: the first is opened.
    void WMDropFiles(const std::vector<COroString>& files);
    // A recent-files menu entry was clicked.
    void RecentFileClick(QAction* pItem);

    // The document state, for the commands and panels that work on it.
    CKvtNodeTopLevelStruct* RootNode() const { return m_pRootNode; }
    const COroString& FileName() const { return m_sFileName; }
    bool IsModified() const { return m_bModified; }
    bool IsReadOnly() const { return m_bReadOnly; }

    // The localized-string node shown on its page, and whether a panel
    // control has the focus (the page does not redisplay meanwhile).
    CKvtNodeLOCSTRING* LocStrNode() const { return m_pLocStrNode; }
    void SetLocStrNode(CKvtNodeLOCSTRING* pNode) { m_pLocStrNode = pNode; }
    bool IsLocStrEditing() const { return m_bLocStrEditing; }
    void SetLocStrEditing(bool bEditing) { m_bLocStrEditing = bEditing; }
    // The program's own clipboard: a deep copy owned by the window.
    CKvtNodeBase* ClipboardNode() const { return m_pClipboardNode; }
    void ReplaceClipboardNode(CKvtNodeBase* pCopy);

    IKvtDialogs& Dialogs() const { return m_Dialogs; }

    // The tree view's model and its selected item (invalid when none). While
    // the selection is about to move, the selected item is still the one
    // being left, as the handlers of that moment expect.
    CKvtTreeModel& TreeModel() const { return *m_pTreeModel; }
    QModelIndex SelectedItem() const;
    // Selects the item (making it visible) or, with an invalid index, none.
    void SelectItem(const QModelIndex& index);

public slots:
    void actFileNewExecute();
    void actFileOpenExecute();
    void actFileSaveExecute();
    void actFileSaveAsExecute();
    void actFileExportExecute();
    void actFileExitExecute();
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
    void WriteExportFile(const std::string& sFileName);
    TKvtBoxAnswer ShowBox(const COroString& sText, const char* pTitle, TKvtBoxIcon nIcon, TKvtBoxButtons nButtons);
    void ShowOpenError(TKvtOpenResult nResult, const char* pFileName);

    IKvtDialogs& m_Dialogs;

    // The document.
    COroString m_sFileName;
    CKvtNodeTopLevelStruct* m_pRootNode;
    bool m_bModified;
    bool m_bReadOnly;
    CKvtNodeBase* m_pClipboardNode;
    CKvtNodeLOCSTRING* m_pLocStrNode;
    bool m_bLocStrEditing;

    CKvtTreeModel* m_pTreeModel;
    std::unique_ptr<CKvtRecentFilesMenu> m_pRecentFilesMenu;
    // The item being left while the selection is about to move.
    QPersistentModelIndex m_LeavingItem;

    // The panel, its localized-string page, the node commands and the event
    // wiring of the panel's controls.
    std::unique_ptr<CKvtEditPanel> m_pEditPanel;
    std::unique_ptr<CKvtLocStringPage> m_pLocStringPage;
    std::unique_ptr<CKvtNodeCommands> m_pNodeCommands;
    std::unique_ptr<CKvtPanelEvents> m_pPanelEvents;

    // Actions (actMain holds them).
    QObject* actMain;
    QAction* actFileNew;
    QAction* actFileOpen;
    QAction* actFileSave;
    QAction* actFileSaveAs;
    QAction* actFileExport;
    QAction* actFileExit;
    QAction* actNodeCopy;
    QAction* actNodePaste;
    QAction* actNodeDelete;
    QAction* actHexEdit;

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
