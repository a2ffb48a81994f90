#include "KVTTreeNavigation.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

#include "KVTDialogs.h"
#include "KVTDocumentSession.h"
#include "KVTFindBar.h"
#include "KVTFindController.h"
#include "KVTMenuItemLink.h"
#include "KVTNodePath.h"
#include "KVTTreeModel.h"
#include "KVTTreeReveal.h"
#include "bcglobal.h"

namespace {

QAction* NewSeparator(QObject* pOwner, const char* pName)
{
    auto* pSeparator = new QAction(pOwner);
    pSeparator->setObjectName(QString::fromLatin1(pName));
    pSeparator->setSeparator(true);
    return pSeparator;
}

// The nodes below pNode (pNode not counted), stopping once past nLimit.
int64_t CountDescendants(CKvtNodeBase* pNode, int64_t nLimit)
{
    int64_t nCount = 0;
    std::vector<CKvtNodeBase*> pending{pNode};
    while (!pending.empty() && nCount <= nLimit) {
        CKvtNodeStruct* pStruct = pending.back()->GetStructNode();
        pending.pop_back();
        if (!pStruct)
            continue;
        nCount += pStruct->GetChildCount();
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i)
            pending.push_back(pStruct->GetChild(i));
    }
    return nCount;
}

} // namespace

CKvtTreeNavigation::CKvtTreeNavigation(CKvtDocumentSession& session, IKvtDialogs& dialogs,
                                       const KvtNavigationControls_st& controls, std::function<void()> rebuild)
    : QObject(controls.pWindow), m_Session(session), m_Dialogs(dialogs), m_Controls(controls),
      m_Rebuild(std::move(rebuild)),
      m_pFind(std::make_unique<CKvtFindController>(session, *controls.pWindow, *controls.tvKVT, *controls.sbMain))
{
    // The find bar sits above the tree, in the tree's pane of the splitter.
    auto* pTreePane = new QWidget;
    pTreePane->setObjectName(QStringLiteral("pTreePane"));
    auto* pLayout = new QVBoxLayout(pTreePane);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    // The pane takes the tree's place and its share of the window's growth.
    pTreePane->setSizePolicy(m_Controls.tvKVT->sizePolicy());
    m_Controls.Splitter1->replaceWidget(0, pTreePane);
    pLayout->addWidget(&m_pFind->Bar());
    pLayout->addWidget(m_Controls.tvKVT, 1);

    lNodePath = new QLabel;
    lNodePath->setObjectName(QStringLiteral("lNodePath"));
    lNodePath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_Controls.sbMain->addPermanentWidget(lNodePath);

    CreateActions();
    connect(m_Controls.tvKVT->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CKvtTreeNavigation::Refresh);
    Refresh();
}

CKvtTreeNavigation::~CKvtTreeNavigation() = default;

QAction* CKvtTreeNavigation::NewAction(const char* pName, const char* pCaption, const QKeySequence& shortcut,
                                       const char* pHint)
{
    auto* pAction = new QAction(QString::fromLatin1(pCaption), m_Controls.pWindow);
    pAction->setObjectName(QString::fromLatin1(pName));
    pAction->setShortcut(shortcut);
    pAction->setStatusTip(QString::fromLatin1(pHint));
    m_Controls.pWindow->addAction(pAction);
    return pAction;
}

void CKvtTreeNavigation::CreateActions()
{
    actFind = NewAction("actFind", "&Find...", QKeySequence(Qt::CTRL | Qt::Key_F),
                        "Finds labels, values and types in the document.");
    actFindNext = NewAction("actFindNext", "Find &Next", QKeySequence(Qt::Key_F3), "Goes to the next hit.");
    actFindPrevious = NewAction("actFindPrevious", "Find &Previous", QKeySequence(Qt::SHIFT | Qt::Key_F3),
                                "Goes to the previous hit.");
    actCopyPath = NewAction("actCopyPath", "Copy Path", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                            "Copies the path of the selected node to the clipboard.");
    actExpandSubtree = NewAction("actExpandSubtree", "Expand Subtree", QKeySequence(),
                                 "Expands the selected node and everything below it.");
    actCollapseSubtree = NewAction("actCollapseSubtree", "Collapse Subtree", QKeySequence(),
                                   "Collapses the selected node and everything below it.");
    connect(actFind, &QAction::triggered, this, [this]() { m_pFind->Bar().Open(); });
    connect(actFindNext, &QAction::triggered, this, [this]() { m_pFind->FindNext(false); });
    connect(actFindPrevious, &QAction::triggered, this, [this]() { m_pFind->FindNext(true); });
    connect(actCopyPath, &QAction::triggered, this, &CKvtTreeNavigation::actCopyPathExecute);
    connect(actExpandSubtree, &QAction::triggered, this, &CKvtTreeNavigation::actExpandSubtreeExecute);
    connect(actCollapseSubtree, &QAction::triggered, this, &CKvtTreeNavigation::actCollapseSubtreeExecute);

    QMenu* pEdit = m_Controls.miEdit;
    pEdit->addAction(NewSeparator(pEdit, "N7"));
    pEdit->addAction(CreateLinkedMenuItem(pEdit, "miFind", actFind));
    pEdit->addAction(CreateLinkedMenuItem(pEdit, "miFindNext", actFindNext));
    pEdit->addAction(CreateLinkedMenuItem(pEdit, "miFindPrevious", actFindPrevious));
    pEdit->addAction(CreateLinkedMenuItem(pEdit, "miCopyPath", actCopyPath));

    QMenu* pView = m_Controls.miView;
    pView->addAction(NewSeparator(pView, "N8"));
    auto* pOrder = new QActionGroup(pView);
    miSortByCaption = pOrder->addAction(QStringLiteral("Sort by Caption"));
    miSortByCaption->setObjectName(QStringLiteral("miSortByCaption"));
    miFileOrder = pOrder->addAction(QStringLiteral("File Order"));
    miFileOrder->setObjectName(QStringLiteral("miFileOrder"));
    for (QAction* pItem : {miSortByCaption, miFileOrder}) {
        pItem->setCheckable(true);
        pView->addAction(pItem);
        connect(pItem, &QAction::triggered, this, &CKvtTreeNavigation::ChangeOrder);
    }
    miSortByCaption->setChecked(true);
    pView->addAction(NewSeparator(pView, "N9"));
    pView->addAction(CreateLinkedMenuItem(pView, "miExpandSubtree", actExpandSubtree));
    pView->addAction(CreateLinkedMenuItem(pView, "miCollapseSubtree", actCollapseSubtree));

    QMenu* pPopup = m_Controls.pumAddNode;
    pPopup->addAction(NewSeparator(pPopup, "N10"));
    pPopup->addAction(CreateLinkedMenuItem(pPopup, "PopupCopyPath", actCopyPath));
    pPopup->addAction(CreateLinkedMenuItem(pPopup, "PopupExpandSubtree", actExpandSubtree));
    pPopup->addAction(CreateLinkedMenuItem(pPopup, "PopupCollapseSubtree", actCollapseSubtree));
}

bool CKvtTreeNavigation::IsFileOrder() const
{
    return miFileOrder->isChecked();
}

void CKvtTreeNavigation::Refresh()
{
    const std::vector<CKvtNodeBase*> chain = GetItemChain(m_Session.TreeModel(), m_Session.SelectedItem());
    const std::string sPath = GetNodePath(chain);
    lNodePath->setText(QString::fromLatin1(sPath.data(), static_cast<qsizetype>(sPath.size())));
    const bool bSelected = !chain.empty();
    actCopyPath->setEnabled(bSelected);
    actExpandSubtree->setEnabled(bSelected);
    actCollapseSubtree->setEnabled(bSelected);
}

void CKvtTreeNavigation::actCopyPathExecute()
{
    const std::string sPath = GetNodePath(GetItemChain(m_Session.TreeModel(), m_Session.SelectedItem()));
    if (!sPath.empty())
        QGuiApplication::clipboard()->setText(QString::fromLatin1(sPath.data(), static_cast<qsizetype>(sPath.size())));
}

void CKvtTreeNavigation::actExpandSubtreeExecute()
{
    const QModelIndex selected = m_Session.SelectedItem();
    CKvtNodeBase* pNode = m_Session.SelectedNode();
    if (!selected.isValid() || !pNode)
        return;
    const int64_t nItems = CountDescendants(pNode, kExpandWithoutAsking);
    if (nItems > kExpandWithoutAsking) {
        KvtMessageBox_st box;
        box.sText = "This subtree holds more than 100,000 items. Expanding it may take a while.\n\nExpand it?";
        box.sTitle = g_sTitle.CStr();
        box.nIcon = TKvtBoxIcon::Question;
        box.nButtons = TKvtBoxButtons::OkCancel;
        if (m_Dialogs.MessageBox(box) != TKvtBoxAnswer::Ok)
            return;
    }
    // Every item of the subtree is made first: the view expands only items
    // that exist, and one expansion of all of them lays the view out once.
    CKvtTreeModel& model = m_Session.TreeModel();
    std::vector<QModelIndex> pending{selected};
    while (!pending.empty()) {
        const QModelIndex item = pending.back();
        pending.pop_back();
        const int nRows = model.ChildItemCount(item);
        for (int nRow = 0; nRow < nRows; ++nRow) {
            const QModelIndex child = model.index(nRow, 0, item);
            if (model.NodeAt(child)->GetStructNode())
                pending.push_back(child);
        }
    }
    m_Controls.tvKVT->expandRecursively(selected);
}

void CKvtTreeNavigation::actCollapseSubtreeExecute()
{
    const QModelIndex selected = m_Session.SelectedItem();
    if (!selected.isValid())
        return;
    // Only items made so far can be expanded; their children are not made here.
    CKvtTreeModel& model = m_Session.TreeModel();
    std::vector<QModelIndex> pending{selected};
    while (!pending.empty()) {
        const QModelIndex item = pending.back();
        pending.pop_back();
        m_Controls.tvKVT->collapse(item);
        for (int nRow = 0; nRow < model.rowCount(item); ++nRow)
            pending.push_back(model.index(nRow, 0, item));
    }
}

void CKvtTreeNavigation::ChangeOrder()
{
    // The same node stays selected, now among siblings in the other order.
    const std::vector<CKvtNodeBase*> chain = GetItemChain(m_Session.TreeModel(), m_Session.SelectedItem());
    m_Rebuild();
    if (!chain.empty())
        m_Session.SelectItem(RevealChain(m_Session.TreeModel(), *m_Controls.tvKVT, chain));
}
