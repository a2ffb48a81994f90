#include "BenchWindow.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QAction>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QUndoStack>
#include <malloc.h>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BenchClock.h"
#include "BenchPaintWatch.h"
#include "KVTDocumentSession.h"
#include "KVTEditorMain.h"
#include "KVTTreeModel.h"
#include "processenv.h"

namespace {

constexpr int kPaintTimeoutMs = 300000;

// The leaf of an element that the edit measurements change: a number or a
// string, whose text form every caption shows.
CKvtNodeBase* FindEditableLeaf(CKvtNodeStruct* pStruct, int32_t nSkip)
{
    for (int32_t i = 0; i < pStruct->GetChildCount(); ++i) {
        CKvtNodeBase* pChild = pStruct->GetChild(i);
        const TKvtFieldType nType = pChild->GetType();
        if ((nType == ftINT || nType == ftDWORD || nType == ftWORD || nType == ftSHORT || nType == ftSTRING) &&
            nSkip-- == 0)
            return pChild;
    }
    return nullptr;
}

// A struct of nine leaves: the ten-node subtree that is pasted.
CKvtNodeBase* MakeClipboardSubtree()
{
    CKvtNodeBase* pStruct = CreateKvtNode(ftSTRUCT);
    pStruct->SetStructID(7);
    for (int32_t i = 0; i < 9; ++i) {
        CKvtNodeBase* pLeaf = CreateKvtNode(i % 2 == 0 ? ftINT : ftSTRING);
        pLeaf->m_sLabel = COroString((std::string("Pasted") + std::to_string(i)).c_str());
        pLeaf->m_nIndex = i;
        pLeaf->SetFromText(i % 2 == 0 ? "12345" : "pasted text");
        pStruct->GetStructNode()->AddChild(pLeaf);
    }
    return pStruct;
}

} // namespace

CBenchWindow::CBenchWindow(const std::string& sScratch) : m_pTree(nullptr), m_pWatch(nullptr)
{
    SetOwnExecutablePathOverride((sScratch + "/kvteditor").c_str());
    setenv("KVTEDITOR_REGISTRY", (sScratch + "/registry.ini").c_str(), 1);
    m_pWindow = std::make_unique<TfrmMain>(m_Dialogs);
    m_pTree = m_pWindow->findChild<QTreeView*>(QStringLiteral("tvKVT"));
    m_pWatch = new CBenchPaintWatch(m_pTree);
    m_pTree->viewport()->installEventFilter(m_pWatch);
    m_pWindow->resize(1000, 700);
    m_pWindow->show();
    WaitForPaint();
}

CBenchWindow::~CBenchWindow()
{
    m_pWindow.reset();
    SetOwnExecutablePathOverride(nullptr);
}

bool CBenchWindow::WaitForPaint(const QModelIndex& parent)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < kPaintTimeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (m_pWatch->Painted() && (!parent.isValid() || m_pWindow->TreeModel().rowCount(parent) > 0))
            return true;
    }
    return false;
}

double CBenchWindow::OpenToTree(const std::string& sFile)
{
    CloseDocument();
    bool bOpened = false;
    bool bPainted = false;
    const double dSeconds = CBenchClock::Time([&]() {
        m_pWatch->Reset();
        bOpened = m_pWindow->OpenFile(COroString(sFile.c_str()));
        bPainted = bOpened && WaitForPaint();
    });
    return bPainted ? dSeconds : -1.0;
}

double CBenchWindow::ExpandItem(const QModelIndex& index)
{
    bool bPainted = false;
    const double dSeconds = CBenchClock::Time([&]() {
        m_pWatch->Reset();
        m_pTree->expand(index);
        bPainted = WaitForPaint(index);
    });
    return bPainted ? dSeconds : -1.0;
}

double CBenchWindow::ExpandRoot()
{
    return ExpandItem(m_pWindow->TreeModel().RootIndex());
}

void CBenchWindow::SettleView()
{
    // Handles what the edit posted (layout, repaint of the changed rows):
    // the view is up to date when the queue has been worked off.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void CBenchWindow::CloseDocument()
{
    m_pWindow->CloseFile();
    QCoreApplication::processEvents();
}

double CBenchWindow::SelectAndApply(const QModelIndex& item, const char* pText)
{
    // As the user does it: select the leaf (the panel shows it), type the
    // new value, apply it (Enter or leaving the field).
    auto* pValue = m_pWindow->findChild<QPlainTextEdit*>(QStringLiteral("eValue"));
    return CBenchClock::Time([&]() {
        m_pWindow->SelectItem(item);
        SettleView();
        pValue->setPlainText(QString::fromLatin1(pText));
        m_pWindow->SetDataFromEdits();
        SettleView();
    });
}

double CBenchWindow::RunCommand(const char* pAction)
{
    QAction* pCommand = m_pWindow->findChild<QAction*>(QString::fromLatin1(pAction));
    if (!pCommand)
        return -1.0;
    return CBenchClock::Time([&]() {
        pCommand->trigger();
        SettleView();
    });
}

void CBenchWindow::MeasureEdits(BenchEditFigures_st& figures, int nRuns)
{
    CKvtTreeModel& model = m_pWindow->TreeModel();
    CKvtNodeTopLevelStruct* pRoot = m_pWindow->RootNode();
    if (!pRoot)
        return;
    // The largest top-level list: the most siblings for every command.
    CKvtNodeStruct* pList = nullptr;
    for (int32_t i = 0; i < pRoot->GetChildCount(); ++i) {
        CKvtNodeBase* pChild = pRoot->GetChild(i);
        if (pChild->GetType() == ftLIST &&
            (!pList || pChild->GetStructNode()->GetChildCount() > pList->GetChildCount()))
            pList = pChild->GetStructNode();
    }
    if (!pList || pList->GetChildCount() == 0)
        return;
    figures.nListSiblings = pList->GetChildCount();
    const QModelIndex rootIndex = model.RootIndex();
    m_pTree->expand(rootIndex);
    WaitForPaint(rootIndex);
    const QModelIndex listIndex = model.FindChildItem(rootIndex, pList);
    figures.dExpandList = ExpandItem(listIndex);

    // Two leaves of an element in the middle of the list, selected in turn.
    const QModelIndex elementIndex = model.ChildItem(listIndex, model.ChildItemCount(listIndex) / 2);
    CKvtNodeStruct* pElement = model.NodeAt(elementIndex)->GetStructNode();
    m_pTree->expand(elementIndex);
    WaitForPaint(elementIndex);
    CKvtNodeBase* pLeaves[2] = {FindEditableLeaf(pElement, 0), FindEditableLeaf(pElement, 1)};
    std::vector<double> applied;
    if (pLeaves[0] && pLeaves[1]) {
        const QModelIndex leafIndex[2] = {model.FindChildItem(elementIndex, pLeaves[0]),
                                          model.FindChildItem(elementIndex, pLeaves[1])};
        for (int i = 0; i < nRuns; ++i) {
            CKvtNodeBase* pLeaf = pLeaves[i % 2];
            const bool bText = pLeaf->GetType() == ftSTRING;
            const char* pText = bText ? (i % 4 < 2 ? "edited text" : "edited again") : (i % 4 < 2 ? "42" : "43");
            applied.push_back(SelectAndApply(leafIndex[i % 2], pText));
        }
    }
    figures.dSelectApply = CBenchClock::MedianOf(applied);

    // Add a node, paste a ten-node subtree and delete it, all in the largest
    // list, through the window's own commands. The clipboard is filled as
    // Copy fills it.
    m_pWindow->ReplaceClipboardNode(MakeClipboardSubtree());
    QAction* pAddStruct = nullptr;
    for (QAction* pEntry : m_pWindow->findChildren<QAction*>()) {
        if (pEntry->objectName().startsWith(QStringLiteral("Add")) && pEntry->text().contains(QStringLiteral("Struct")))
            pAddStruct = pEntry;
    }
    std::vector<double> added, pasted, deleted;
    for (int i = 0; pAddStruct && i < nRuns; ++i) {
        m_pWindow->SelectItem(listIndex);
        SettleView();
        added.push_back(CBenchClock::Time([&]() {
            m_pWindow->AddNodeMenuClick(pAddStruct);
            SettleView();
        }));
        m_pWindow->SelectItem(listIndex);
        SettleView();
        pasted.push_back(RunCommand("actNodePaste"));
        // Delete what was pasted (the last child), then what was added.
        for (int nDelete = 0; nDelete < 2; ++nDelete) {
            m_pWindow->SelectItem(model.ChildItem(listIndex, model.ChildItemCount(listIndex) - 1));
            SettleView();
            const double dSeconds = RunCommand("actNodeDelete");
            if (nDelete == 0)
                deleted.push_back(dSeconds);
        }
    }
    figures.dAddNode = CBenchClock::MedianOf(added);
    figures.dPasteSubtree = CBenchClock::MedianOf(pasted);
    figures.dDeleteNode = CBenchClock::MedianOf(deleted);
    if (m_Dialogs.Unscripted() > 0 || !m_Dialogs.Boxes().empty())
        std::fprintf(stderr, "kvt_bench: the edits showed %zu boxes\n", m_Dialogs.Boxes().size());
}

void CBenchWindow::TimeUndoRedo(int nRuns, double& dUndo, double& dRedo)
{
    std::vector<double> undone, redone;
    for (int i = 0; i < nRuns; ++i) {
        undone.push_back(RunCommand("actEditUndo"));
        redone.push_back(RunCommand("actEditRedo"));
    }
    dUndo = CBenchClock::MedianOf(undone);
    dRedo = CBenchClock::MedianOf(redone);
}

void CBenchWindow::MeasureUndo(BenchEditFigures_st& figures, int nRuns)
{
    CKvtTreeModel& model = m_pWindow->TreeModel();
    CKvtNodeTopLevelStruct* pRoot = m_pWindow->RootNode();
    if (!pRoot)
        return;
    // A struct of 100,000 leaves, pasted under the root and expanded, so that
    // each step moves 100,001 nodes and 100,001 items.
    CKvtNodeBase* pBig = CreateKvtNode(ftSTRUCT);
    pBig->m_sLabel = "UndoBench";
    for (int32_t i = 0; i < 100000; ++i) {
        CKvtNodeBase* pLeaf = CreateKvtNode(ftINT);
        pLeaf->m_sLabel = COroString(("U" + std::to_string(i)).c_str());
        pLeaf->m_nIndex = i;
        pBig->GetStructNode()->AddChild(pLeaf);
    }
    m_pWindow->ReplaceClipboardNode(pBig);
    const QModelIndex rootIndex = model.RootIndex();
    m_pWindow->SelectItem(rootIndex);
    SettleView();
    RunCommand("actNodePaste");
    const QModelIndex pasted = model.ChildItem(rootIndex, model.ChildItemCount(rootIndex) - 1);
    ExpandItem(pasted);
    TimeUndoRedo(nRuns, figures.dUndoPaste, figures.dRedoPaste);

    m_pWindow->SelectItem(model.ChildItem(rootIndex, model.ChildItemCount(rootIndex) - 1));
    SettleView();
    RunCommand("actNodeDelete");
    TimeUndoRedo(nRuns, figures.dUndoDelete, figures.dRedoDelete);
    m_pWindow->ReplaceClipboardNode(nullptr);

    // 1,000 value edits, each one step; the stack is then emptied, and what
    // it gave back is what the steps held.
    QModelIndex leafIndex;
    for (int nRow = 0; nRow < model.ChildItemCount(rootIndex) && !leafIndex.isValid(); ++nRow) {
        const TKvtFieldType nType = model.NodeAt(model.ChildItem(rootIndex, nRow))->GetType();
        if ((nType >= ftBYTE && nType <= ftINT64) || nType == ftSTRING)
            leafIndex = model.ChildItem(rootIndex, nRow);
    }
    if (!leafIndex.isValid())
        return;
    QUndoStack& stack = m_pWindow->Session().UndoStack();
    stack.clear();
    // Consecutive numbers: every apply changes the value (a BYTE too).
    for (int i = 0; i < 1000; ++i)
        SelectAndApply(leafIndex, std::to_string(1000 + i).c_str());
    const int nSteps = stack.count();
    const int64_t nWithSteps = static_cast<int64_t>(mallinfo2().uordblks);
    stack.clear();
    const int64_t nWithout = static_cast<int64_t>(mallinfo2().uordblks);
    if (nSteps == 1000)
        figures.nValueStepsBytes = nWithSteps - nWithout;
    else
        std::fprintf(stderr, "kvt_bench: 1,000 value edits made %d steps\n", nSteps);
}
