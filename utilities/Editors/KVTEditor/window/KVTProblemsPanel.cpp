#include "KVTProblemsPanel.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QStatusBar>
#include <QTreeView>

#include "KVTDocumentSession.h"
#include "KVTNodePath.h"
#include "KVTProblemsModel.h"
#include "KVTTreeReveal.h"

namespace {

constexpr int kMessageMilliseconds = 5000;

} // namespace

CKvtProblemsPanel::CKvtProblemsPanel(CKvtDocumentSession& session, QMainWindow& window, QTreeView& tree,
                                     QStatusBar& status)
    : QObject(&window), m_Session(session), m_Tree(tree), m_Status(status),
      m_pDock(new QDockWidget(QStringLiteral("Problems"), &window)), m_pModel(new CKvtProblemsModel(this)),
      m_pList(new QTreeView)
{
    m_pDock->setObjectName(QStringLiteral("dwProblems"));
    m_pList->setObjectName(QStringLiteral("tvProblems"));
    m_pList->setModel(m_pModel);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setAlternatingRowColors(true);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->header()->setStretchLastSection(true);
    m_pList->setColumnWidth(CKvtProblemsModel::ModuleColumn, 110);
    m_pList->setColumnWidth(CKvtProblemsModel::LineColumn, 50);
    m_pList->setColumnWidth(CKvtProblemsModel::MessageColumn, 460);
    m_pDock->setWidget(m_pList);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_pDock);
    m_pDock->hide();
    ToggleAction()->setObjectName(QStringLiteral("miProblems"));
    ToggleAction()->setStatusTip(QStringLiteral("Show or hide the problems of the last open, save or export"));
    connect(m_pList, &QTreeView::activated, this, &CKvtProblemsPanel::RowActivated);
    connect(m_pList, &QTreeView::doubleClicked, this, &CKvtProblemsPanel::RowActivated);
}

QAction* CKvtProblemsPanel::ToggleAction() const
{
    return m_pDock->toggleViewAction();
}

void CKvtProblemsPanel::Clear()
{
    m_pModel->Clear();
    m_pDock->hide();
}

void CKvtProblemsPanel::ShowIfAny()
{
    m_pDock->setVisible(m_pModel->Count() > 0);
}

void CKvtProblemsPanel::RowActivated(const QModelIndex& index)
{
    const KvtProblem_st* pProblem = m_pModel->ProblemAt(index.row());
    CKvtNodeTopLevelStruct* pRoot = m_Session.RootNode();
    if (!pProblem || !pRoot || pProblem->sPath.empty())
        return;
    // The document may have changed since: the path says whether the node
    // is still there.
    const KvtPathLookup_st lookup = ResolveNodePath(pRoot, pProblem->sPath);
    const QModelIndex item =
        lookup.pNode ? RevealChain(m_Session.TreeModel(), m_Tree, FindNodeChain(pRoot, lookup.pNode)) : QModelIndex();
    if (!item.isValid()) {
        m_Status.showMessage(
            QStringLiteral("No node has the path %1 any more.").arg(QString::fromLatin1(pProblem->sPath.c_str())),
            kMessageMilliseconds);
        return;
    }
    m_Session.SelectItem(item);
    m_Tree.setFocus();
}
