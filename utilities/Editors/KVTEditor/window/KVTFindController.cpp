#include "KVTFindController.h"

#include <QApplication>
#include <QDockWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMainWindow>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <chrono>

#include "KVTCaption.h"
#include "KVTDocumentSession.h"
#include "KVTFindBar.h"
#include "KVTFindResultsModel.h"
#include "KVTNodeCount.h"
#include "KVTNodePath.h"
#include "KVTNodeSearch.h"
#include "KVTPlainTextMatch.h"
#include "KVTQtRegexMatch.h"
#include "KVTTreeModel.h"
#include "KVTTreeReveal.h"
#include "KVTViewOrderWalk.h"
#include "KVTWalkProgressDialog.h"

namespace {

constexpr int kMessageMilliseconds = 5000;
// Find All shows its hits and progress at least this often.
constexpr auto kRepaintInterval = std::chrono::milliseconds(100);

bool IsUserInput(QEvent::Type nType)
{
    switch (nType) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

CKvtFindController::CKvtFindController(CKvtDocumentSession& session, QMainWindow& window, QTreeView& tree,
                                       QStatusBar& status)
    : QObject(&window), m_Session(session), m_Window(window), m_Tree(tree), m_Status(status),
      m_pBar(new CKvtFindBar), m_pResultsPanel(new QDockWidget(QStringLiteral("Find Results"), &window)),
      m_pResults(new CKvtFindResultsModel(this)), m_pStop(new QPushButton(QStringLiteral("Stop"))),
      m_nProgressDelay(CKvtWalkProgressDialog::kDefaultDelay)
{
    m_pBar->hide();
    connect(m_pBar, &CKvtFindBar::FindRequested, this, &CKvtFindController::FindNext);
    connect(m_pBar, &CKvtFindBar::FindAllRequested, this, &CKvtFindController::FindAll);
    connect(m_pBar, &CKvtFindBar::SearchChanged, this, &CKvtFindController::CheckExpression);
    connect(m_pBar, &CKvtFindBar::Closed, &m_Tree, [this]() { m_Tree.setFocus(); });

    m_pResultsPanel->setObjectName(QStringLiteral("dwFindResults"));
    auto* pContent = new QWidget;
    auto* pLayout = new QVBoxLayout(pContent);
    pLayout->setContentsMargins(2, 2, 2, 2);
    auto* pList = new QTreeView;
    pList->setObjectName(QStringLiteral("tvFindResults"));
    pList->setModel(m_pResults);
    pList->setRootIsDecorated(false);
    pList->setUniformRowHeights(true);
    pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pList->header()->setStretchLastSection(true);
    pList->setColumnWidth(0, 320);
    pList->setColumnWidth(1, 160);
    pLayout->addWidget(pList);
    m_pStop->setObjectName(QStringLiteral("bFindStop"));
    m_pStop->setEnabled(false);
    pLayout->addWidget(m_pStop, 0, Qt::AlignRight);
    m_pResultsPanel->setWidget(pContent);
    m_Window.addDockWidget(Qt::BottomDockWidgetArea, m_pResultsPanel);
    m_pResultsPanel->hide();
    connect(pList, &QTreeView::clicked, this, &CKvtFindController::ResultClicked);
    connect(pList, &QTreeView::activated, this, &CKvtFindController::ResultClicked);
    connect(m_pStop, &QPushButton::clicked, this, &CKvtFindController::StopFindAll);
}

CKvtFindController::~CKvtFindController() = default;

std::unique_ptr<IKvtTextMatch> CKvtFindController::MakeMatch(QString& sError) const
{
    sError.clear();
    const QString sText = m_pBar->Text();
    if (sText.isEmpty())
        return nullptr;
    const KvtFindOptions_st options = m_pBar->Options();
    if (options.bRegex) {
        auto pRegex = std::make_unique<CKvtQtRegexMatch>(sText, options.bMatchCase, options.bWholeWord);
        if (!pRegex->IsValid()) {
            sError = QStringLiteral("Not a valid expression: ") + pRegex->ErrorText();
            return nullptr;
        }
        return pRegex;
    }
    // Document texts are single bytes shown as Latin-1: a character beyond
    // that can be in none of them.
    const QByteArray bytes = sText.toLatin1();
    if (QString::fromLatin1(bytes) != sText)
        return std::make_unique<CKvtPlainTextMatch>("", true, false);
    return std::make_unique<CKvtPlainTextMatch>(std::string_view(bytes.constData(), bytes.size()),
                                                options.bMatchCase, options.bWholeWord);
}

void CKvtFindController::CheckExpression()
{
    QString sError;
    MakeMatch(sError);
    m_pBar->SetError(sError);
}

void CKvtFindController::FindNext(bool bBackward)
{
    if (m_bRunning)
        return;
    if (m_pBar->isHidden())
        m_pBar->Open();
    QString sError;
    const std::unique_ptr<IKvtTextMatch> pMatch = MakeMatch(sError);
    m_pBar->SetError(sError);
    CKvtNodeTopLevelStruct* pRoot = m_Session.RootNode();
    if (!pMatch || !pRoot)
        return;
    CKvtTreeModel& model = m_Session.TreeModel();
    const CKvtNodeMatcher matcher(*pMatch, m_pBar->Options());
    CKvtViewOrderWalk walk(model);
    walk.SetBuildPaths(false);
    CKvtNodeSearch search(pRoot, matcher, walk);
    const KvtFindResult_st hit = search.FindNext(GetItemChain(model, m_Session.SelectedItem()), bBackward);
    if (!hit.pNode) {
        m_Status.showMessage(QStringLiteral("\"%1\" was not found.").arg(m_pBar->Text()), kMessageMilliseconds);
        return;
    }
    const QModelIndex item = RevealChain(model, m_Tree, hit.chain);
    m_Session.SelectItem(item);
    if (hit.bWrapped)
        m_Status.showMessage(bBackward ? QStringLiteral("Find passed the top of the tree and went on from the end.")
                                       : QStringLiteral("Find passed the end of the tree and went on from the top."),
                             kMessageMilliseconds);
    else
        m_Status.clearMessage();
}

bool CKvtFindController::KeepRunning(const QString& sProgress)
{
    m_Status.showMessage(sProgress);
    QApplication::processEvents();
    return !m_bStopRequested;
}

void CKvtFindController::FindAll()
{
    if (m_bRunning)
        return;
    QString sError;
    const std::unique_ptr<IKvtTextMatch> pMatch = MakeMatch(sError);
    m_pBar->SetError(sError);
    m_pResults->Clear();
    m_pResultsPanel->show();
    CKvtNodeTopLevelStruct* pRoot = m_Session.RootNode();
    if (!pMatch || !pRoot)
        return;
    const CKvtNodeMatcher matcher(*pMatch, m_pBar->Options());
    CKvtViewOrderWalk walk(m_Session.TreeModel());
    CKvtNodeSearch search(pRoot, matcher, walk);

    m_bRunning = true;
    m_bStopRequested = false;
    m_pStop->setEnabled(true);
    qApp->installEventFilter(this);
    int64_t nHits = 0;
    std::vector<KvtFindHit_st> pending;
    auto nLastShown = std::chrono::steady_clock::now();
    CKvtWalkProgressDialog progress(&m_Window, QStringLiteral("Finding..."), m_nProgressDelay);
    const uint64_t nTotal = CountTreeNodes(pRoot);
    search.SetProgress([&](int64_t nTested) {
        return KeepRunning(QStringLiteral("Find All: %1 nodes searched...").arg(nTested)) &&
               progress.WalkProgress(static_cast<uint64_t>(nTested), nTotal);
    });
    const bool bFinished = search.FindAll([&](const KvtWalkVisit_st& visit) {
        ++nHits;
        pending.push_back(KvtFindHit_st{visit.sPath, visit.pNode->GetTypeName().CStr(),
                                        visit.pNode->GetPreviewText().CStr()});
        const auto now = std::chrono::steady_clock::now();
        if (now - nLastShown < kRepaintInterval)
            return true;
        nLastShown = now;
        m_pResults->Append(pending);
        return KeepRunning(QStringLiteral("Find All: %1 hits so far...").arg(nHits));
    });
    m_pResults->Append(pending);
    qApp->removeEventFilter(this);
    m_pStop->setEnabled(false);
    m_bRunning = false;
    m_Status.showMessage(bFinished ? QStringLiteral("Find All: %1 hits.").arg(nHits)
                                   : QStringLiteral("Find All stopped: %1 hits so far.").arg(nHits),
                         kMessageMilliseconds);
}

bool CKvtFindController::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (!m_bRunning || !IsUserInput(pEvent->type()))
        return QObject::eventFilter(pWatched, pEvent);
    if (pWatched == m_pStop)
        return false;
    // The progress dialog's Cancel is another Stop.
    if (auto* pWidget = qobject_cast<QWidget*>(pWatched); pWidget && qobject_cast<QProgressDialog*>(pWidget->window()))
        return false;
    if (pEvent->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape)
        m_bStopRequested = true;
    if (pEvent->type() == QEvent::Close)
        m_bStopRequested = true;
    pEvent->ignore();
    return true;
}

void CKvtFindController::ResultClicked(const QModelIndex& index)
{
    const KvtFindHit_st* pHit = m_pResults->HitAt(index.row());
    CKvtNodeTopLevelStruct* pRoot = m_Session.RootNode();
    if (!pHit || !pRoot || m_bRunning)
        return;
    // The document may have changed since the search: the path says whether
    // the node is still there.
    const KvtPathLookup_st lookup = ResolveNodePath(pRoot, pHit->sPath);
    const QModelIndex item =
        lookup.pNode ? RevealChain(m_Session.TreeModel(), m_Tree, FindNodeChain(pRoot, lookup.pNode)) : QModelIndex();
    if (!item.isValid()) {
        m_Status.showMessage(QStringLiteral("No node has the path %1 any more.").arg(QString::fromLatin1(pHit->sPath)),
                             kMessageMilliseconds);
        return;
    }
    m_Session.SelectItem(item);
}
