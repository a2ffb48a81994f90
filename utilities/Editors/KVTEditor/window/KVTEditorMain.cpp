#include "KVTEditorMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <cstdio>

#include "Bcdebug.h"
#include "HexEditorLauncher.h"
#include "KVTBinaryPage.h"
#include "KVTDocumentSession.h"
#include "KVTEditPanel.h"
#include "KVTFindController.h"
#include "KVTExport.h"
#include "KVTFileChecks.h"
#include "KVTFileDialog.h"
#include "KVTJsonCommands.h"
#include "KVTLocStringPage.h"
#include "KVTNodeCommands.h"
#include "KVTOpenDocument.h"
#include "KVTPanelEvents.h"
#include "KVTProblemCollector.h"
#include "KVTProblemsPanel.h"
#include "KVTRecentFilesMenu.h"
#include "KVTTreeModel.h"
#include "KVTTreeNavigation.h"
#include "KVTWalkProgressDialog.h"
#include "Kvtoptions.h"
#include "bcglobal.h"
#include "uniquefile.h"

namespace {

const char* const kModule = "KVTEditorMain.cpp";
constexpr int kNoRecentItemLine = 242;

const char* const kWarningTitle = "Warning";
const char* const kErrorTitle = "Error";
// The title the platform gives its confirmation boxes.
const char* const kConfirmTitle = "Confirm";

// How each failure to open a document is shown: the text comes from the
// open path, the box's title and icon from here.
struct KvtOpenErrorBox_st {
    const char* pTitle;
    TKvtBoxIcon nIcon;
};

KvtOpenErrorBox_st OpenErrorBox(TKvtOpenResult nResult)
{
    switch (nResult) {
    case TKvtOpenResult::NotFound:
        return {kWarningTitle, TKvtBoxIcon::Warning};
    case TKvtOpenResult::BadHeader:
        return {kErrorTitle, TKvtBoxIcon::Error};
    case TKvtOpenResult::LoadFailed:
    case TKvtOpenResult::Opened:
        break;
    }
    return {g_sTitle.CStr(), TKvtBoxIcon::None};
}

// The local file paths among dropped URLs, in their order.
std::vector<COroString> DroppedFiles(const QMimeData* pData)
{
    std::vector<COroString> files;
    if (!pData || !pData->hasUrls())
        return files;
    for (const QUrl& url : pData->urls()) {
        if (url.isLocalFile())
            files.emplace_back(QFile::encodeName(url.toLocalFile()).constData());
    }
    return files;
}

// The nodes of the item and of its parent items, the root's first.
std::vector<CKvtNodeBase*> NodeChain(const CKvtTreeModel& model, QModelIndex item)
{
    std::vector<CKvtNodeBase*> chain;
    for (; item.isValid(); item = model.parent(item))
        chain.push_back(model.NodeAt(item));
    std::reverse(chain.begin(), chain.end());
    return chain;
}

// The item that shows the chain's last node after a rebuild, its parents'
// children made on the way; invalid when the chain no longer holds.
QModelIndex FindNodeChain(CKvtTreeModel& model, const std::vector<CKvtNodeBase*>& chain)
{
    QModelIndex item = model.RootIndex();
    if (chain.empty() || model.NodeAt(item) != chain.front())
        return QModelIndex();
    for (size_t i = 1; i < chain.size() && item.isValid(); ++i)
        item = model.FindChildItem(item, chain[i]);
    return item;
}

// BCAssert's orderly shutdown: the message loop ends as after a normal quit,
// once the current event is done (also when the loop has not started yet),
// without asking the window whether it may close.
void RequestShutdown()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), []() { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace

TfrmMain::TfrmMain(IKvtDialogs& dialogs, QWidget* pParent)
    : QMainWindow(pParent), m_Dialogs(dialogs), m_pTreeModel(new CKvtTreeModel(this)),
      m_pSession(std::make_unique<CKvtDocumentSession>(*m_pTreeModel, *this, dialogs)), m_pProblems(nullptr),
      m_nProgressDelay(CKvtWalkProgressDialog::kDefaultDelay)
{
    CreateForm();
    CreatePanelHandlers();
    m_pNavigation = std::make_unique<CKvtTreeNavigation>(
        *m_pSession, dialogs,
        KvtNavigationControls_st{this, tvKVT, Splitter1, miEdit, miView, pumAddNode, sbMain},
        [this]() { RebuildTreeView(); });
    m_pProblems = new CKvtProblemsPanel(*m_pSession, *this, *tvKVT, *sbMain);
    miView->addSeparator()->setObjectName(QStringLiteral("N10"));
    miView->addAction(m_pProblems->ToggleAction());

    BuildTitle();
    SetBCAssertCaption(g_sTitle.CStr());
    SetBCShutdownRequest(RequestShutdown);
    BuildAddNodeMenu();
    setAcceptDrops(true);

    g_pOptions = new COptions;
    g_pOptions->SetErrorReport(
        [this](const COroString& sText) { ShowBox(sText, g_sTitle.CStr(), TKvtBoxIcon::Error, TKvtBoxButtons::Ok); });
    m_pRecentFilesMenu =
        std::make_unique<CKvtRecentFilesMenu>(*miFile, *g_pOptions, [this](QAction* pItem) { RecentFileClick(pItem); });
    g_pOptions->RecentFiles.SetOnChange([this]() { m_pRecentFilesMenu->Rebuild(); });
    g_pOptions->Load();

    CKvtJsonCommands::Window_st window;
    window.AskSaveChanges = [this]() { return AskSaveChanges() != TKvtBoxAnswer::Cancel; };
    window.ShowImported = [this](std::unique_ptr<CKvtNodeTopLevelStruct> pRoot) {
        CloseFile();
        m_pSession->AdoptDocument(std::move(pRoot));
        RebuildTreeView();
        DisplayNodeData();
        RefreshGui();
        actFileExport->setEnabled(true);
    };
    window.ShowError = [this](const std::string& sText) {
        ShowBox(sText.c_str(), g_sTitle.CStr(), TKvtBoxIcon::Error, TKvtBoxButtons::Ok);
    };
    m_pJsonCommands = std::make_unique<CKvtJsonCommands>(this, *m_pSession, m_Dialogs, std::move(window));
    // As every file command, both first apply what was typed in the panel.
    connect(actFileExportJson, &QAction::triggered, this, [this]() {
        if (ApplyPendingPanelEdit())
            m_pJsonCommands->ExportJson();
    });
    connect(actFileImportJson, &QAction::triggered, this, [this]() {
        if (ApplyPendingPanelEdit())
            m_pJsonCommands->ImportJson();
    });
}

TfrmMain::~TfrmMain()
{
    // Nothing may apply the panel while the window is taken apart: the
    // selection handler and the parts that work on the session go first,
    // then the session with its document and clipboard.
    disconnect(tvKVT->selectionModel(), nullptr, this, nullptr);
    disconnect(&m_pSession->UndoStack(), nullptr, this, nullptr);
    m_pNavigation.reset();
    m_pPanelEvents.reset();
    m_pNodeCommands.reset();
    m_pEditPanel.reset();
    m_pBinaryPage.reset();
    m_pLocStringPage.reset();
    m_pSession.reset();
    setAcceptDrops(false);
    g_pOptions->RecentFiles.SetOnChange(nullptr);
    g_pOptions->Save();
    delete g_pOptions;
    g_pOptions = nullptr;
    SetBCShutdownRequest(nullptr);
}

TKvtBoxAnswer TfrmMain::ShowBox(const COroString& sText, const char* pTitle, TKvtBoxIcon nIcon, TKvtBoxButtons nButtons)
{
    KvtMessageBox_st box;
    box.sText = sText.CStr();
    box.sTitle = pTitle;
    box.nIcon = nIcon;
    box.nButtons = nButtons;
    return m_Dialogs.MessageBox(box);
}

void TfrmMain::showEvent(QShowEvent* pEvent)
{
    QMainWindow::showEvent(pEvent);
    // Restoring a minimized window is the window system's business, not a
    // new showing of the form.
    if (!pEvent->spontaneous())
        FormShow();
}

void TfrmMain::FormShow()
{
    pcDataPage->setTabVisible(pcDataPage->indexOf(tsLocStringTab), false);
    pcDataPage->setTabVisible(pcDataPage->indexOf(tsBinaryTab), false);
    RefreshGui();
    actHexEdit->setEnabled(GetHexEditorPath().GetLength() > 0);
}

bool TfrmMain::OpenFile(const COroString& sFileName)
{
    const char* pFileName = sFileName.CStr();
    const TKvtOpenResult nChecked = CheckKvtDocumentName(pFileName);
    if (nChecked != TKvtOpenResult::Opened) {
        ShowOpenError(nChecked, pFileName);
        return false;
    }
    CloseFile();
    m_pProblems->Clear();
    m_pSession->StartDocument(sFileName, IsFileReadOnly(pFileName));

    // A damaged field still gives a document (its warnings are listed); only
    // a file the document model refuses as a whole leaves none.
    TKvtOpenResult nLoaded = TKvtOpenResult::LoadFailed;
    bool bCancelled = false;
    {
        const CKvtProblemCollector problems(m_pProblems->Model());
        CKvtWalkProgressDialog progress(this, QStringLiteral("Opening %1...").arg(QFile::decodeName(pFileName)),
                                        m_nProgressDelay);
        nLoaded = LoadKvtDocument(pFileName, *m_pSession->RootNode());
        bCancelled = progress.WasCancelled();
    }
    if (bCancelled) {
        CloseFile();
        m_pProblems->Clear();
        sbMain->showMessage(QStringLiteral("Opening cancelled."));
        return false;
    }
    const bool bOpened = nLoaded == TKvtOpenResult::Opened;
    if (bOpened) {
        actFileExport->setEnabled(true);
    } else {
        ShowOpenError(nLoaded, pFileName);
        CloseFile();
    }
    RebuildTreeView();
    m_pProblems->ShowIfAny();
    const int nProblems = m_pProblems->Model().Count();
    if (bOpened && nProblems > 0)
        sbMain->showMessage(QStringLiteral("Opened with %1 problems").arg(nProblems));
    return bOpened;
}

void TfrmMain::SetProgressDelay(int nMilliseconds)
{
    m_nProgressDelay = nMilliseconds;
    m_pNavigation->Find().SetProgressDelay(nMilliseconds);
}

void TfrmMain::ShowOpenError(TKvtOpenResult nResult, const char* pFileName)
{
    const KvtOpenErrorBox_st box = OpenErrorBox(nResult);
    ShowBox(GetOpenErrorText(nResult, pFileName), box.pTitle, box.nIcon, TKvtBoxButtons::Ok);
}

void TfrmMain::CloseFile()
{
    m_pSession->CloseDocument();
    RebuildTreeView();
}

TKvtBoxAnswer TfrmMain::AskSaveChanges()
{
    if (!m_pSession->IsModified())
        return TKvtBoxAnswer::No;
    const TKvtBoxAnswer nAnswer = ShowBox("Do you wish to save the current file?", kConfirmTitle, TKvtBoxIcon::Question,
                                          TKvtBoxButtons::YesNoCancel);
    if (nAnswer == TKvtBoxAnswer::Yes) {
        if (!SaveFile()) {
            m_pSession->SetReadOnly(IsFileReadOnly(m_pSession->FileName().CStr()));
            return TKvtBoxAnswer::Cancel;
        }
        return TKvtBoxAnswer::Yes;
    }
    return nAnswer == TKvtBoxAnswer::No ? TKvtBoxAnswer::No : TKvtBoxAnswer::Cancel;
}

bool TfrmMain::SaveFile()
{
    // A document never saved has no name yet: nothing is written and nothing
    // is said, so the command that asked counts as cancelled.
    const COroString& sFileName = m_pSession->FileName();
    CKvtNodeTopLevelStruct* pRoot = m_pSession->RootNode();
    if (sFileName.GetLength() == 0 || !pRoot)
        return false;
    m_pProblems->Clear();
    bool bSaved = false;
    bool bCancelled = false;
    {
        const CKvtProblemCollector problems(m_pProblems->Model());
        CKvtWalkProgressDialog progress(this, QStringLiteral("Saving %1...").arg(QFile::decodeName(sFileName.CStr())),
                                        m_nProgressDelay);
        bSaved = pRoot->SaveDocument(sFileName.CStr());
        bCancelled = progress.WasCancelled();
    }
    m_pProblems->ShowIfAny();
    if (bCancelled) {
        // The walk stopped before the file was touched.
        sbMain->showMessage(QStringLiteral("Saving cancelled."));
        return false;
    }
    if (!bSaved) {
        ShowBox(GetSaveErrorText(sFileName.CStr()), kErrorTitle, TKvtBoxIcon::Error, TKvtBoxButtons::Ok);
        return false;
    }
    const int nProblems = m_pProblems->Model().Count();
    if (nProblems > 0)
        sbMain->showMessage(QStringLiteral("Saved with %1 problems").arg(nProblems));
    return true;
}

void TfrmMain::RefreshGui()
{
    RefreshDocumentGui();
    m_pEditPanel->RefreshNodeGui();
    m_pNodeCommands->RefreshActions();
    if (m_pNavigation)
        m_pNavigation->Refresh();
}

void TfrmMain::RefreshDocumentGui()
{
    const CKvtDocumentSession& session = *m_pSession;
    COroString sCaption = g_sTitle;
    if (session.FileName().GetLength() == 0) {
        sCaption = sCaption + (session.IsModified() ? " - [New File]" : " - [No File]");
    } else {
        sCaption = sCaption + " - " + session.FileName();
        if (session.IsReadOnly())
            sCaption = sCaption + " [Read Only] ";
        if (session.IsModified())
            sCaption = sCaption + "*";
    }
    setWindowTitle(QString::fromLocal8Bit(sCaption.CStr()));
    // Save applies the panel's typed text first, so that text is a change.
    const bool bTyped = m_pEditPanel && m_pLocStringPage &&
                        (m_pEditPanel->HasTypedText() || m_pLocStringPage->HasTypedText());
    actFileSave->setEnabled((session.IsModified() || bTyped) && !session.IsReadOnly());
    actFileSaveAs->setEnabled(true);
    RefreshUndoActions();
}

void TfrmMain::RefreshUndoActions()
{
    // A label may hold '&', which the menu would take for a mnemonic.
    const auto named = [](const char* pVerb, const QString& sStep) {
        QString sText = QString::fromLatin1(pVerb);
        if (!sStep.isEmpty())
            sText += QLatin1Char(' ') + QString(sStep).replace(QLatin1Char('&'), QLatin1String("&&"));
        return sText;
    };
    const QUndoStack& stack = m_pSession->UndoStack();
    actEditUndo->setText(named("Undo", stack.canUndo() ? stack.undoText() : QString()));
    actEditUndo->setEnabled(stack.canUndo());
    actEditRedo->setText(named("Redo", stack.canRedo() ? stack.redoText() : QString()));
    actEditRedo->setEnabled(stack.canRedo());
}

void TfrmMain::RebuildTreeView()
{
    // A rebuild forgets the selection while the panel still shows the node:
    // the node is selected again (its parents expanded), or, when it is gone
    // with its document, the panel shows that nothing is selected.
    const std::vector<CKvtNodeBase*> chain = NodeChain(*m_pTreeModel, SelectedItem());
    m_pTreeModel->Rebuild(m_pSession->RootNode(), miPreviewDataInTree->isChecked(),
                          m_pNavigation && m_pNavigation->IsFileOrder());
    const QModelIndex item = FindNodeChain(*m_pTreeModel, chain);
    if (item.isValid()) {
        SelectItem(item);
    } else {
        SelectItem(QModelIndex());
        DisplayNodeData();
    }
}

QModelIndex TfrmMain::SelectedItem() const
{
    if (m_LeavingItem.isValid())
        return m_LeavingItem;
    return tvKVT->selectionModel()->currentIndex();
}

void TfrmMain::SelectItem(const QModelIndex& index)
{
    if (!index.isValid()) {
        tvKVT->selectionModel()->clear();
        return;
    }
    tvKVT->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    tvKVT->scrollTo(index);
}

void TfrmMain::tvKVTCurrentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Qt reports the move once it is made; the panel still shows the item
    // being left, so that item is applied first, as if nothing had moved.
    if (previous.isValid())
        tvKVTChanging(previous);
    // The view may make an item current without highlighting it (focus
    // coming in by the keyboard): the current item is the selected one.
    QItemSelectionModel* pSelection = tvKVT->selectionModel();
    if (current.isValid() && !pSelection->isSelected(current))
        pSelection->select(current, QItemSelectionModel::ClearAndSelect);
    tvKVTChange();
}

void TfrmMain::tvKVTChanging(const QModelIndex& leaving)
{
    m_LeavingItem = leaving;
    CKvtNodeBase* pLeaving = m_pTreeModel->NodeAt(leaving);
    if (pLeaving && pLeaving->GetType() == ftLOCSTRING)
        m_pLocStringPage->SaveLocStrText();
    m_pEditPanel->SetDataFromEdits();
    m_LeavingItem = QPersistentModelIndex();
}

void TfrmMain::tvKVTChange()
{
    DisplayNodeData();
    RefreshGui();
}

void TfrmMain::DisplayNodeData()
{
    m_pEditPanel->DisplayNodeData();
    m_pBinaryPage->Display();
}

void TfrmMain::SetDataFromEdits()
{
    m_pEditPanel->SetDataFromEdits();
}

bool TfrmMain::ApplyPendingPanelEdit()
{
    // The focus may never have left the box (a shortcut, a toolbar button, a
    // menu, which takes no focus): apply as if the node were left now.
    CKvtNodeBase* pNode = m_pSession->SelectedNode();
    if (!pNode)
        return true;
    if (pNode->GetType() == ftLOCSTRING)
        m_pLocStringPage->SaveLocStrText();
    return m_pEditPanel->SetDataFromEdits();
}

void TfrmMain::actEditUndoExecute()
{
    m_pSession->Undo();
}

void TfrmMain::actEditRedoExecute()
{
    m_pSession->Redo();
}

void TfrmMain::AddNodeMenuClick(QAction* pSender)
{
    m_pNodeCommands->AddNodeMenuClick(pSender);
}

CKvtNodeTopLevelStruct* TfrmMain::RootNode() const
{
    return m_pSession->RootNode();
}

const COroString& TfrmMain::FileName() const
{
    return m_pSession->FileName();
}

bool TfrmMain::IsModified() const
{
    return m_pSession->IsModified();
}

void TfrmMain::MarkModified()
{
    m_pSession->MarkModified();
}

bool TfrmMain::IsReadOnly() const
{
    return m_pSession->IsReadOnly();
}

CKvtNodeLOCSTRING* TfrmMain::LocStrNode() const
{
    return m_pSession->LocStrNode();
}

bool TfrmMain::IsLocStrEditing() const
{
    return m_pSession->IsLocStrEditing();
}

CKvtNodeBase* TfrmMain::ClipboardNode() const
{
    return m_pSession->ClipboardNode();
}

void TfrmMain::ReplaceClipboardNode(CKvtNodeBase* pCopy)
{
    m_pSession->ReplaceClipboardNode(pCopy);
}

void TfrmMain::miHexViewClick()
{
    // The check mark has toggled already. Leaving the item and coming back
    // applies the panel under the old setting and shows it under the new.
    const QPersistentModelIndex item(SelectedItem());
    SelectItem(QModelIndex());
    SelectItem(item);
}

void TfrmMain::actFileNewExecute()
{
    // Unsaved changes are offered for saving first, as before Open.
    if (!ApplyPendingPanelEdit() || AskSaveChanges() == TKvtBoxAnswer::Cancel)
        return;
    CloseFile();
    m_pProblems->Clear();
    m_pSession->StartDocument(COroString(), false);
    m_pSession->MarkModified();
    RebuildTreeView();
    DisplayNodeData();
    RefreshGui();
    actFileExport->setEnabled(true);
}

void TfrmMain::actFileOpenExecute()
{
    if (!ApplyPendingPanelEdit())
        return;
    if (AskSaveChanges() != TKvtBoxAnswer::Cancel) {
        odMain->InitialDir = g_pOptions->Path.CStr();
        if (odMain->Execute()) {
            const COroString sFileName(odMain->FileName.c_str());
            if (OpenFile(sFileName))
                g_pOptions->AddRecentFile(sFileName);
        }
    }
    DisplayNodeData();
    RefreshGui();
}

void TfrmMain::actFileSaveExecute()
{
    if (!ApplyPendingPanelEdit())
        return;
    sdMain->InitialDir = g_pOptions->Path.CStr();
    CKvtDocumentSession& session = *m_pSession;
    if (session.FileName().GetLength() == 0) {
        actFileSaveAsExecute();
        return;
    }
    if (session.RootNode()) {
        if (SaveFile()) {
            session.SetUnmodified();
            session.SetReadOnly(false);
        } else {
            session.SetReadOnly(IsFileReadOnly(session.FileName().CStr()));
        }
    }
    RefreshGui();
}

void TfrmMain::actFileSaveAsExecute()
{
    if (!ApplyPendingPanelEdit())
        return;
    sdMain->InitialDir = g_pOptions->Path.CStr();
    CKvtDocumentSession& session = *m_pSession;
    if (session.RootNode() && sdMain->Execute()) {
        const COroString sOldFileName = session.FileName();
        session.SetFileName(sdMain->FileName.c_str());
        if (SaveFile()) {
            session.SetUnmodified();
            session.SetReadOnly(false);
            g_pOptions->AddRecentFile(session.FileName());
        } else {
            session.SetFileName(sOldFileName);
        }
    }
    RefreshGui();
}

void TfrmMain::actFileExportExecute()
{
    if (!ApplyPendingPanelEdit())
        return;
    sdExport->InitialDir = FolderOfFileName(m_pSession->FileName()).CStr();
    if (!sdExport->Execute())
        return;
    const bool bPreview = miPreviewDataInTree->isChecked();
    miPreviewDataInTree->setChecked(true);
    RebuildTreeView();
    WriteExportFile(sdExport->FileName);
    miPreviewDataInTree->setChecked(bPreview);
    RebuildTreeView();
}

void TfrmMain::WriteExportFile(const std::string& sFileName)
{
    // The same text, line for line, as the tree shows with values. It is made
    // before the file is created, so a cancelled export writes nothing.
    std::string sText;
    bool bCancelled = false;
    {
        const CKvtProblemCollector problems(m_pProblems->Model());
        CKvtWalkProgressDialog progress(this, QStringLiteral("Exporting..."), m_nProgressDelay);
        sText = BuildExportText(m_pSession->RootNode());
        bCancelled = progress.WasCancelled();
    }
    m_pProblems->ShowIfAny();
    if (bCancelled) {
        sbMain->showMessage(QStringLiteral("Export cancelled."));
        return;
    }
    CUniqueFile file(sFileName.c_str(), "wb");
    if (!file) {
        COroString sMessage;
        sMessage.Format("Cannot create file %s", sFileName.c_str());
        ShowBox(sMessage, g_sTitle.CStr(), TKvtBoxIcon::Error, TKvtBoxButtons::Ok);
        return;
    }
    const bool bWritten = std::fwrite(sText.data(), 1, sText.size(), file.Get()) == sText.size();
    if (!file.Close() || !bWritten)
        ShowBox("Stream write error", g_sTitle.CStr(), TKvtBoxIcon::Error, TKvtBoxButtons::Ok);
}

void TfrmMain::actFileExitExecute()
{
    close();
}

void TfrmMain::actHexEditExecute()
{
    HexEditFile(m_pSession->FileName());
}

void TfrmMain::miPreviewDataInTreeClick()
{
    // The check mark has toggled already; typed text is applied before the
    // panel is filled again, and a refused label keeps the old setting.
    if (!ApplyPendingPanelEdit()) {
        miPreviewDataInTree->setChecked(!miPreviewDataInTree->isChecked());
        return;
    }
    RebuildTreeView();
}

void TfrmMain::closeEvent(QCloseEvent* pEvent)
{
    bool bCanClose = true;
    FormClose(bCanClose);
    if (bCanClose)
        QMainWindow::closeEvent(pEvent);
    else
        pEvent->ignore();
}

void TfrmMain::FormClose(bool& bCanClose)
{
    if (!ApplyPendingPanelEdit()) {
        bCanClose = false;
        return;
    }
    if (!m_pSession->IsModified()) {
        bCanClose = ShowBox("Are you sure you wish to exit?", kConfirmTitle, TKvtBoxIcon::Question,
                            TKvtBoxButtons::OkCancel) == TKvtBoxAnswer::Ok;
        return;
    }
    bCanClose = AskSaveChanges() != TKvtBoxAnswer::Cancel;
}

void TfrmMain::RecentFileClick(QAction* pItem)
{
    if (!pItem) {
        BCAssert(kModule, kNoRecentItemLine);
        return;
    }
    const COroString sFileName = CKvtRecentFilesMenu::FileNameOf(pItem);
    if (!ApplyPendingPanelEdit() || AskSaveChanges() == TKvtBoxAnswer::Cancel)
        return;
    OpenFile(sFileName);
    DisplayNodeData();
    RefreshGui();
}

void TfrmMain::WMDropFiles(const std::vector<COroString>& files)
{
    if (files.empty())
        return;
    if (!ApplyPendingPanelEdit() || AskSaveChanges() == TKvtBoxAnswer::Cancel)
        return;
    OpenFile(files.front());
    RefreshGui();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (!DroppedFiles(pEvent->mimeData()).empty())
        pEvent->acceptProposedAction();
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (!DroppedFiles(pEvent->mimeData()).empty())
        pEvent->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* pEvent)
{
    const std::vector<COroString> files = DroppedFiles(pEvent->mimeData());
    if (files.empty())
        return;
    pEvent->acceptProposedAction();
    WMDropFiles(files);
}
