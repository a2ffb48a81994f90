// The form of TfrmMain: its controls, actions, menus and dialogs with their
// designed names, texts and sizes. Behaviour lives in KVTEditorMain.cpp.

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>
#include <memory>

#include "KVTBinaryPage.h"
#include "KVTCommandIcons.h"
#include "KVTDocumentSession.h"
#include "KVTEditPanel.h"
#include "KVTEditorMain.h"
#include "KVTFixedFont.h"
#include "KVTFileDialog.h"
#include "KVTLocStringPage.h"
#include "KVTMenuItemLink.h"
#include "KVTNodeCommands.h"
#include "KVTPanelEvents.h"
#include "KVTPanelText.h"
#include "KVTTreeColumnWidth.h"
#include "KVTTreeModel.h"

namespace {

constexpr int kDesignedWidth = 899;
constexpr int kDesignedHeight = 651;
constexpr int kTreeWidth = 499;
constexpr int kPanelWidth = 387;
constexpr int kSplitterWidth = 3;
constexpr int kInfoTopHeight = 150;
constexpr int kInfoMemoHeight = 63;
constexpr int kInfoEditWidth = 100;
constexpr int kValueStripHeight = 36;
// The language row: box, Add, Delete and the hint beside them.
constexpr int kLanguageBoxWidth = 56;
constexpr int kLanguageButtonWidth = 48;
constexpr int kLanguageHintWidth = 72;
constexpr int kStatusBarHeight = 19;
constexpr int kTreeIndent = 19;
constexpr int kTreeFontPixels = 11;
constexpr int kComboLines = 16;

const char* const kOpenSaveFilter = "All Files (*.*)|*.*";
const char* const kExportFilter = "KVT Files (*.txt)|*.txt";

template <typename T, typename... Args> T* Named(const char* pName, Args&&... args)
{
    T* pObject = new T(std::forward<Args>(args)...);
    pObject->setObjectName(QString::fromLatin1(pName));
    return pObject;
}

QAction* NewAction(QObject* pOwner, const char* pName, const char* pCaption, int nImage, const QKeySequence& shortcut,
                   const char* pHint)
{
    auto* pAction = Named<QAction>(pName, QString::fromLatin1(pCaption), pOwner);
    if (nImage >= 0)
        pAction->setIcon(KvtCommandIcon(nImage));
    pAction->setShortcut(shortcut);
    if (pHint)
        pAction->setStatusTip(QString::fromLatin1(pHint));
    return pAction;
}

QAction* NewSeparator(QObject* pOwner, const char* pName)
{
    auto* pSeparator = new QAction(pOwner);
    if (pName)
        pSeparator->setObjectName(QString::fromLatin1(pName));
    pSeparator->setSeparator(true);
    return pSeparator;
}

QLabel* NewLabel(const char* pName, const char* pText, bool bBold = false)
{
    auto* pLabel = Named<QLabel>(pName, QString::fromLatin1(pText));
    if (bBold) {
        QFont font = pLabel->font();
        font.setBold(true);
        pLabel->setFont(font);
    }
    return pLabel;
}

// A read-only box shows the button face, as the designed read-only edits do.
void UseButtonFace(QWidget* pWidget)
{
    QPalette palette = pWidget->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    pWidget->setPalette(palette);
}

QString InfoText()
{
    return QStringLiteral("This section is used to define field information.\n") + QString(89, QLatin1Char('-')) +
           QStringLiteral("\nSelect a node in the tree and edit it's information below.");
}

} // namespace

void TfrmMain::CreateForm()
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("KVT Editor"));
    CreateActions();
    CreateMenus();
    CreateControls();
    CreateDialogs();
    resize(kDesignedWidth, kDesignedHeight);
    CenterOnScreen();
}

void TfrmMain::CreateActions()
{
    actMain = Named<QObject>("actMain", this);
    actFileNew = NewAction(actMain, "actFileNew", "&New", 0, QKeySequence(), nullptr);
    actFileOpen = NewAction(actMain, "actFileOpen", "&Open", 1, QKeySequence(Qt::CTRL | Qt::Key_O), nullptr);
    actFileSave = NewAction(actMain, "actFileSave", "&Save...", 2, QKeySequence(Qt::CTRL | Qt::Key_S), nullptr);
    actFileSaveAs = NewAction(actMain, "actFileSaveAs", "Save &As...", 2, QKeySequence(), nullptr);
    actFileExport = NewAction(actMain, "actFileExport", "&Export...", 2, QKeySequence(), nullptr);
    actFileExport->setEnabled(false);
    // The JSON form is exported whenever the text export is possible.
    actFileExportJson = NewAction(actMain, "actFileExportJson", "", 2, QKeySequence(), nullptr);
    actFileExportJson->setText(QStringLiteral("Export as JSON…"));
    actFileExportJson->setEnabled(false);
    connect(actFileExport, &QAction::changed, this, [this]() { actFileExportJson->setEnabled(actFileExport->isEnabled()); });
    actFileImportJson = NewAction(actMain, "actFileImportJson", "", 1, QKeySequence(), nullptr);
    actFileImportJson->setText(QStringLiteral("Import JSON…"));
    actFileExit = NewAction(actMain, "actFileExit", "E&xit", -1, QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr);
    actNodeCopy = NewAction(actMain, "actNodeCopy", "Copy Node / Subtree", 4, QKeySequence(Qt::CTRL | Qt::Key_C),
                            "Copies the currently selected node or subtree to the program's \"clipboard\".");
    actNodePaste = NewAction(actMain, "actNodePaste", "Paste as Child Node", 5, QKeySequence(Qt::CTRL | Qt::Key_V),
                             "Pastes the node (or subtree) from the program's \"clipboard\" as a child of the "
                             "currently selected node.");
    actNodeDelete = NewAction(actMain, "actNodeDelete", "Delete Node / Subtree", 6, QKeySequence(),
                              "Delete the currently selected node or subtree.");
    actHexEdit = NewAction(actMain, "actHexEdit", "&Hex Edit", 7, QKeySequence(Qt::Key_F5), nullptr);
    actEditUndo = NewAction(actMain, "actEditUndo", "Undo", -1, QKeySequence(Qt::CTRL | Qt::Key_Z),
                            "Undoes the last change to the document.");
    actEditRedo = NewAction(actMain, "actEditRedo", "Redo", -1, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                            "Redoes the last change that was undone.");
    actEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    // Shortcuts work wherever the focus is in the window.
    addActions({actFileNew, actFileOpen, actFileSave, actFileSaveAs, actFileExport, actFileExit, actNodeCopy,
                actNodePaste, actNodeDelete, actHexEdit, actEditUndo, actEditRedo});

    connect(actFileNew, &QAction::triggered, this, &TfrmMain::actFileNewExecute);
    connect(actFileOpen, &QAction::triggered, this, &TfrmMain::actFileOpenExecute);
    connect(actFileSave, &QAction::triggered, this, &TfrmMain::actFileSaveExecute);
    connect(actFileSaveAs, &QAction::triggered, this, &TfrmMain::actFileSaveAsExecute);
    connect(actFileExport, &QAction::triggered, this, &TfrmMain::actFileExportExecute);
    connect(actFileExit, &QAction::triggered, this, &TfrmMain::actFileExitExecute);
    connect(actHexEdit, &QAction::triggered, this, &TfrmMain::actHexEditExecute);
    connect(actEditUndo, &QAction::triggered, this, &TfrmMain::actEditUndoExecute);
    connect(actEditRedo, &QAction::triggered, this, &TfrmMain::actEditRedoExecute);
}

void TfrmMain::CreateMenus()
{
    mmMain = Named<QMenuBar>("mmMain", this);
    setMenuBar(mmMain);

    miFile = Named<QMenu>("miFile", QStringLiteral("&File"), mmMain);
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileNew", actFileNew));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileOpen", actFileOpen));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileSave", actFileSave));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileSaveAs", actFileSaveAs));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileExport", actFileExport));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileExportJson", actFileExportJson));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileImportJson", actFileImportJson));
    miFile->addAction(NewSeparator(miFile, "N1"));
    QAction* pPrint = Named<QAction>("miFilePrint", QStringLiteral("&Print..."), miFile);
    pPrint->setEnabled(false);
    miFile->addAction(pPrint);
    QAction* pPrintSetup = Named<QAction>("miFilePrintSetup", QStringLiteral("P&rint Setup..."), miFile);
    pPrintSetup->setEnabled(false);
    miFile->addAction(pPrintSetup);
    // The recent files replace this separator from the first change of their list.
    miFile->addAction(NewSeparator(miFile, "N2"));
    miFile->addAction(CreateLinkedMenuItem(miFile, "miFileExit", actFileExit));
    mmMain->addMenu(miFile);

    miEdit = Named<QMenu>("miEdit", QStringLiteral("Edit"), mmMain);
    miEdit->addAction(CreateLinkedMenuItem(miEdit, "miEditUndo", actEditUndo));
    miEdit->addAction(CreateLinkedMenuItem(miEdit, "miEditRedo", actEditRedo));
    miEdit->addAction(NewSeparator(miEdit, "N6"));
    miNodeCopy = CreateLinkedMenuItem(miEdit, "miNodeCopy", actNodeCopy);
    miEdit->addAction(miNodeCopy);
    miNodePaste = CreateLinkedMenuItem(miEdit, "miNodePaste", actNodePaste);
    miEdit->addAction(miNodePaste);
    miEdit->addAction(NewSeparator(miEdit, "N3"));
    miEdit->addAction(CreateLinkedMenuItem(miEdit, "miNodeDelete", actNodeDelete));
    miEdit->addAction(NewSeparator(miEdit, "N4"));
    miEdit->addAction(CreateLinkedMenuItem(miEdit, "miHexEdit", actHexEdit));
    mmMain->addMenu(miEdit);

    miView = Named<QMenu>("miView", QStringLiteral("View"), mmMain);
    miHexView = Named<QAction>("miHexView", QStringLiteral("Hex Data"), miView);
    miHexView->setCheckable(true);
    miHexView->setChecked(false);
    miView->addAction(miHexView);
    miPreviewDataInTree = Named<QAction>("miPreviewDataInTree", QStringLiteral("Preview data in tree"), miView);
    miPreviewDataInTree->setCheckable(true);
    miPreviewDataInTree->setChecked(true);
    miView->addAction(miPreviewDataInTree);
    mmMain->addMenu(miView);
    // A checkable item has already toggled its mark when it reports the click.
    connect(miPreviewDataInTree, &QAction::triggered, this, &TfrmMain::miPreviewDataInTreeClick);
    connect(miHexView, &QAction::triggered, this, &TfrmMain::miHexViewClick);

    // The tree's popup: the add-node entries go before its separator and
    // Delete (BuildAddNodeMenu).
    pumAddNode = Named<QMenu>("pumAddNode", this);
    pumAddNode->addAction(NewSeparator(pumAddNode, "N5"));
    pumAddNode->addAction(CreateLinkedMenuItem(pumAddNode, "RemoveNode", actNodeDelete));
}

void TfrmMain::CreateControls()
{
    pMain = Named<QWidget>("pMain", this);
    auto* pMainLayout = new QHBoxLayout(pMain);
    pMainLayout->setContentsMargins(0, 0, 0, 0);

    tvKVT = Named<QTreeView>("tvKVT");
    tvKVT->setModel(m_pTreeModel);
    tvKVT->setHeaderHidden(true);
    tvKVT->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvKVT->setSelectionMode(QAbstractItemView::SingleSelection);
    tvKVT->setIndentation(kTreeIndent);
    // Every row is one line of the same font: the view then never measures
    // a million rows to place them.
    tvKVT->setUniformRowHeights(true);
    tvKVT->setTextElideMode(Qt::ElideNone);
    QFont treeFont = FixedPitchFont(kTreeFontPixels);
    tvKVT->setFont(treeFont);
    // The column is as wide as the widest caption made so far.
    new CKvtTreeColumnWidth(*tvKVT, *m_pTreeModel);
    // The selection stays as visible without the focus as with it.
    QPalette treePalette = tvKVT->palette();
    treePalette.setColor(QPalette::Inactive, QPalette::Highlight,
                         treePalette.color(QPalette::Active, QPalette::Highlight));
    treePalette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         treePalette.color(QPalette::Active, QPalette::HighlightedText));
    tvKVT->setPalette(treePalette);
    tvKVT->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tvKVT, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pumAddNode->popup(tvKVT->viewport()->mapToGlobal(pos)); });

    Splitter1 = Named<QSplitter>("Splitter1", Qt::Horizontal);
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setOpaqueResize(true);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(tvKVT);
    Splitter1->addWidget(CreateNodeInfoPanel());
    // Resizing the window changes the tree's width only.
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({kTreeWidth, kPanelWidth});
    pMainLayout->addWidget(Splitter1);
    setCentralWidget(pMain);

    sbMain = Named<QStatusBar>("sbMain");
    sbMain->setMinimumHeight(kStatusBarHeight);
    // The one panel shows the hint of whatever the pointer rests on: actions
    // and controls report their status tips to the window, which shows them here.
    setStatusBar(sbMain);
}

QWidget* TfrmMain::CreateNodeInfoPanel()
{
    pNodeInfo = Named<QFrame>("pNodeInfo");
    pNodeInfo->setFrameShape(QFrame::NoFrame);
    auto* pLayout = new QVBoxLayout(pNodeInfo);
    pLayout->setContentsMargins(2, 2, 2, 2);
    pLayout->addWidget(CreateInfoNodeTop());

    pcDataPage = Named<QTabWidget>("pcDataPage");
    pcDataPage->addTab(CreateFieldPage(), QStringLiteral("Basic Field Data"));
    pcDataPage->addTab(CreateLocStringPage(), QStringLiteral("COroLocString Data"));
    pcDataPage->addTab(CreateBinaryPage(), QStringLiteral("Binary Data"));
    pLayout->addWidget(pcDataPage, 1);
    return pNodeInfo;
}

QWidget* TfrmMain::CreateInfoNodeTop()
{
    pInfoNodeTop = Named<QFrame>("pInfoNodeTop");
    pInfoNodeTop->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pInfoNodeTop->setFixedHeight(kInfoTopHeight);
    auto* pLayout = new QVBoxLayout(pInfoNodeTop);
    pLayout->setContentsMargins(2, 2, 2, 2);
    pLayout->setSpacing(2);

    mInfo = Named<QTextEdit>("mInfo");
    mInfo->setReadOnly(true);
    mInfo->setFrameShape(QFrame::NoFrame);
    mInfo->setFocusPolicy(Qt::NoFocus);
    mInfo->setFixedHeight(kInfoMemoHeight);
    // The line of hyphens is wider than the panel: it is cut, not wrapped.
    mInfo->setLineWrapMode(QTextEdit::NoWrap);
    mInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mInfo->setPlainText(InfoText());
    QTextCursor cursor(mInfo->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(centred);
    pLayout->addWidget(mInfo);

    auto* pRows = new QGridLayout;
    pRows->setVerticalSpacing(1);
    lTypeTitle = NewLabel("lTypeTitle", "Type: ", true);
    eNType = Named<QLineEdit>("eNType");
    // Only a struct's ID can be typed here; the panel opens it for structs.
    eNType->setReadOnly(true);
    UseButtonFace(eNType);
    lType = NewLabel("lType", "None");
    pRows->addWidget(lTypeTitle, 0, 0);
    pRows->addWidget(eNType, 0, 1);
    pRows->addWidget(lType, 0, 2);
    lFieldID = NewLabel("lFieldID", "Field ID:", true);
    eFieldID = Named<QLineEdit>("eFieldID");
    pRows->addWidget(lFieldID, 1, 0);
    pRows->addWidget(eFieldID, 1, 1, 1, 2);
    lFieldIndex = NewLabel("lFieldIndex", "Field Index:", true);
    eNIndex = Named<QLineEdit>("eNIndex");
    eNIndex->setReadOnly(true);
    UseButtonFace(eNIndex);
    eNIndex->setStatusTip(QStringLiteral("This value is overridden by hash value if FieldID is used."));
    Label3 = NewLabel("Label3", "<- Overridden by hash value if FieldID used.");
    Label3->setWordWrap(true);
    pRows->addWidget(lFieldIndex, 2, 0);
    pRows->addWidget(eNIndex, 2, 1);
    pRows->addWidget(Label3, 2, 2);
    for (QLineEdit* pEdit : {eNType, eNIndex})
        pEdit->setFixedWidth(kInfoEditWidth);
    pRows->setColumnStretch(2, 1);
    pLayout->addLayout(pRows);
    return pInfoNodeTop;
}

QWidget* TfrmMain::CreateFieldPage()
{
    tsFieldTab = Named<QWidget>("tsFieldTab");
    auto* pLayout = new QVBoxLayout(tsFieldTab);
    auto* pStrip = new QWidget;
    pStrip->setObjectName(QStringLiteral("pValueStrip"));
    // At least the designed height, more where the help wraps to more lines.
    pStrip->setMinimumHeight(kValueStripHeight);
    pStrip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    auto* pStripLayout = new QHBoxLayout(pStrip);
    pStripLayout->setContentsMargins(0, 0, 0, 0);
    lValue = NewLabel("lValue", "Data Value:");
    lFormatHelp = NewLabel("lFormatHelp", "Format:");
    lFormatHelp->setWordWrap(true);
    pStripLayout->addWidget(lValue);
    pStripLayout->addWidget(lFormatHelp, 1);
    pLayout->addWidget(pStrip);
    eValue = Named<QPlainTextEdit>("eValue");
    eValue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    eValue->setTabChangesFocus(false);
    pLayout->addWidget(eValue, 1);
    return tsFieldTab;
}

QWidget* TfrmMain::CreateLocStringPage()
{
    tsLocStringTab = Named<QWidget>("tsLocStringTab");
    auto* pLayout = new QVBoxLayout(tsLocStringTab);
    auto* pRows = new QGridLayout;
    lStrRefTitle = NewLabel("lStrRefTitle", "STRREF:", true);
    eStrRef = Named<QLineEdit>("eStrRef");
    Label1 = NewLabel("Label1", "Gender:");
    cbGender = Named<QComboBox>("cbGender");
    cbGender->addItems({QStringLiteral("Female"), QStringLiteral("Male")});
    cbGender->setCurrentIndex(-1);
    cbGender->setMaxVisibleItems(kComboLines);
    pRows->addWidget(lStrRefTitle, 0, 0);
    pRows->addWidget(eStrRef, 0, 1);
    pRows->addWidget(Label1, 0, 2);
    // The gender box spans the hint's column below it.
    pRows->addWidget(cbGender, 0, 3, 1, 2);
    lLangIDTitle = NewLabel("lLangIDTitle", "Language ID:");
    cbLangIDs = Named<QComboBox>("cbLangIDs");
    cbLangIDs->setEditable(true);
    cbLangIDs->setInsertPolicy(QComboBox::NoInsert);
    // What is typed stays as typed: completing 1 to an existing 10 would add
    // or store the wrong language.
    cbLangIDs->setCompleter(nullptr);
    cbLangIDs->setMaxVisibleItems(kComboLines);
    bOroLocStringAdd = Named<QPushButton>("bOroLocStringAdd", QStringLiteral("Add"));
    bOroLocStringDelete = Named<QPushButton>("bOroLocStringDelete", QStringLiteral("Delete"));
    pRows->addWidget(lLangIDTitle, 1, 0);
    pRows->addWidget(cbLangIDs, 1, 1);
    pRows->addWidget(bOroLocStringAdd, 1, 2);
    pRows->addWidget(bOroLocStringDelete, 1, 3);
    // The hint sits beside the box and the buttons it is about; they stay
    // narrow so that it has room without widening the panel.
    cbLangIDs->setMaximumWidth(kLanguageBoxWidth);
    eStrRef->setMaximumWidth(kLanguageBoxWidth);
    bOroLocStringAdd->setMaximumWidth(kLanguageButtonWidth);
    bOroLocStringDelete->setMaximumWidth(kLanguageButtonWidth);
    Label4 = NewLabel("Label4", "Type a number THEN hit Add.");
    Label4->setWordWrap(true);
    Label4->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Label4->setMinimumWidth(kLanguageHintWidth);
    pRows->addWidget(Label4, 1, 4);
    pRows->setColumnStretch(4, 1);
    pLayout->addLayout(pRows);
    mOroLocStringValue = Named<QPlainTextEdit>("mOroLocStringValue");
    pLayout->addWidget(mOroLocStringValue, 1);
    return tsLocStringTab;
}

QWidget* TfrmMain::CreateBinaryPage()
{
    tsBinaryTab = Named<QWidget>("tsBinaryTab");
    auto* pLayout = new QVBoxLayout(tsBinaryTab);
    // The hex view of the binary page (KVTBinaryPage) takes the rest of the
    // page; its hint names the editing mode.
    Label5 = NewLabel("Label5", "");
    pLayout->addWidget(Label5);
    lBinaryLength = NewLabel("lBinaryLength", "Length:");
    pLayout->addWidget(lBinaryLength);
    eBinaryLength = Named<QLineEdit>("eBinaryLength");
    mBinaryData = Named<QPlainTextEdit>("mBinaryData");
    for (QWidget* pHidden : std::initializer_list<QWidget*>{eBinaryLength, mBinaryData}) {
        pHidden->setVisible(false);
        pLayout->addWidget(pHidden);
    }
    return tsBinaryTab;
}

void TfrmMain::CreateDialogs()
{
    odMain = new CKvtFileDialog(this, "odMain", m_Dialogs, TKvtFileDialogKind::Open, kOpenSaveFilter, "kvt");
    sdMain = new CKvtFileDialog(this, "sdMain", m_Dialogs, TKvtFileDialogKind::Save, kOpenSaveFilter, "kvt");
    sdExport = new CKvtFileDialog(this, "sdExport", m_Dialogs, TKvtFileDialogKind::Save, kExportFilter, "txt");
}

void TfrmMain::BuildAddNodeMenu()
{
    for (int32_t nPosition = 0; nPosition < kAddNodeEntryCount; ++nPosition) {
        QAction* pBefore = pumAddNode->actions().value(nPosition, nullptr);
        const int32_t nType = AddNodeEntryType(nPosition);
        if (nType == -1) {
            pumAddNode->insertAction(pBefore, NewSeparator(pumAddNode, nullptr));
            continue;
        }
        // The caption names the type as a fresh node of it does.
        std::unique_ptr<CKvtNodeBase> pSample(CreateKvtNode(static_cast<TKvtFieldType>(nType)));
        auto* pItem = new QAction(pumAddNode);
        pItem->setObjectName(QStringLiteral("Add%1").arg(nPosition));
        pItem->setText(QStringLiteral("Add ") + QString::fromLatin1(pSample->GetTypeName().CStr()));
        // The position is the item's tag: it names the entry's type.
        pItem->setData(nPosition);
        connect(pItem, &QAction::triggered, this, [this, pItem]() { AddNodeMenuClick(pItem); });
        pumAddNode->insertAction(pBefore, pItem);
    }
}

void TfrmMain::CreatePanelHandlers()
{
    CKvtDocumentSession& session = *m_pSession;
    m_pLocStringPage = std::make_unique<CKvtLocStringPage>(
        session, KvtLocStringControls_st{eStrRef, cbGender, cbLangIDs, bOroLocStringAdd, bOroLocStringDelete,
                                         mOroLocStringValue});
    m_pEditPanel = std::make_unique<CKvtEditPanel>(
        session, *m_pLocStringPage,
        KvtEditPanelControls_st{eNType, lType, lFieldID, eFieldID, eNIndex, pcDataPage, tsFieldTab, tsLocStringTab,
                                tsBinaryTab, lFormatHelp, eValue, eStrRef, miHexView});
    m_pBinaryPage = std::make_unique<CKvtBinaryPage>(
        session, KvtBinaryPageControls_st{tsBinaryTab, Label5, lBinaryLength, tvKVT->font()});
    m_pNodeCommands = std::make_unique<CKvtNodeCommands>(
        session, KvtNodeCommandControls_st{tvKVT, pumAddNode, miEdit, miNodeCopy, miNodePaste, actNodeCopy,
                                           actNodePaste, actNodeDelete});

    using TRole = CKvtPanelEvents::TRole;
    m_pPanelEvents = std::make_unique<CKvtPanelEvents>(*m_pEditPanel, *m_pLocStringPage);
    m_pPanelEvents->Watch(eValue, TRole::Value);
    m_pPanelEvents->Watch(eFieldID, TRole::Label);
    m_pPanelEvents->Watch(eNType, TRole::Property);
    m_pPanelEvents->Watch(eNIndex, TRole::Property);
    m_pPanelEvents->Watch(eStrRef, TRole::StrRef);
    m_pPanelEvents->Watch(cbLangIDs, TRole::LanguageID);
    m_pPanelEvents->Watch(cbGender, TRole::Shared);
    m_pPanelEvents->Watch(mOroLocStringValue, TRole::Shared);
    m_pPanelEvents->Watch(bOroLocStringAdd, TRole::Button);
    m_pPanelEvents->Watch(bOroLocStringDelete, TRole::Button);
    session.SetLocStrEditingProbe([this]() { return m_pPanelEvents && m_pPanelEvents->HasEditingFocus(); });
    // Typed text counts for Save before it is applied.
    m_pEditPanel->SetOnTyped([this]() { RefreshDocumentGui(); });
    m_pLocStringPage->SetOnTyped([this]() { RefreshDocumentGui(); });

    connect(tvKVT->selectionModel(), &QItemSelectionModel::currentChanged, this, &TfrmMain::tvKVTCurrentChanged);
    connect(&session.UndoStack(), &QUndoStack::indexChanged, this, &TfrmMain::RefreshUndoActions);
    connect(&session.UndoStack(), &QUndoStack::cleanChanged, this, &TfrmMain::RefreshDocumentGui);
    RefreshUndoActions();
}

void TfrmMain::CenterOnScreen()
{
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(pScreen->availableGeometry().center());
    move(frame.topLeft());
}
