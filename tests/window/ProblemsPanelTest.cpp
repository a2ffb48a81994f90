// The Problems panel: the warnings of opening, saving and exporting listed
// one row per cause instead of one box each, a row leading to its node, and
// the boxes kept for warnings outside those walks and for assertions.

#include <QDockWidget>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <set>

#include "KVTNodePath.h"
#include "KVTOpenDocument.h"
#include "KVTProblemCollector.h"
#include "KVTProblemsModel.h"
#include "KVTProblemsPanel.h"
#include "KVTQtReportHandler.h"
#include "KvtHostileShapes.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "orobase.h"

namespace {

// The window's own report handler, with the harness's dialogs, for the test.
class CScopedBoxes {
public:
    explicit CScopedBoxes(CKvtScriptedDialogs& dialogs) : m_Handler(dialogs), m_pPrevious(SetOroReportHandler(&m_Handler)) {}
    ~CScopedBoxes() { SetOroReportHandler(m_pPrevious); }
    CScopedBoxes(const CScopedBoxes&) = delete;
    CScopedBoxes& operator=(const CScopedBoxes&) = delete;

private:
    CKvtQtReportHandler m_Handler;
    IOroReportHandler* m_pPrevious;
};

// The warnings the document model raises opening the file on its own.
size_t WarningsOfLoading(const std::string& sPath)
{
    COroReportRecorder recorder;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    OpenKvtDocument(sPath.c_str(), pRoot);
    return recorder.Count();
}

QTreeView* ProblemsList(TfrmMain& window)
{
    return window.findChild<QTreeView*>(QStringLiteral("tvProblems"));
}

} // namespace

class ProblemsPanelTest : public QObject {
    Q_OBJECT
private slots:
    void damagedFileFillsThePanelWithoutABox();
    void doubleClickSelectsTheRowsNode();
    void saveWarningsAreListedAndClearedByNew();
    void warningsOutsideTheWalksKeepTheirBox();
    void assertionsPassToTheBoxes();
};

void ProblemsPanelTest::damagedFileFillsThePanelWithoutABox()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("damaged.kvt");
    QVERIFY(WriteFileBytes(sPath, CKvtHostileShapes::SharedDamagedFieldStructs(5000)));
    const size_t nCauses = WarningsOfLoading(sPath);
    QVERIFY(nCauses >= 5000);

    QDockWidget* pDock = window.findChild<QDockWidget*>(QStringLiteral("dwProblems"));
    QVERIFY(pDock && !pDock->isVisible());
    {
        CScopedBoxes boxes(harness.Dialogs());
        QVERIFY(window.OpenFile(sPath.c_str()));
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
    const CKvtProblemsModel& model = window.Problems().Model();
    // Every cause has a row of its own, and no row is there twice.
    QCOMPARE(size_t(model.Count()), nCauses);
    std::set<std::string> paths;
    for (int nRow = 0; nRow < model.Count(); ++nRow) {
        const KvtProblem_st* pProblem = model.ProblemAt(nRow);
        QCOMPARE(pProblem->sModule, std::string("KVTTreeNodes"));
        if (pProblem->nLine == 301)
            QVERIFY(paths.insert(pProblem->sPath).second);
    }
    QCOMPARE(paths.size(), size_t(5000));
    QVERIFY(paths.count("/list[0]/name") && paths.count("/list[4999]/name"));
    QVERIFY(pDock->isVisible());
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Opened with %1 problems").arg(model.Count()));
    QCOMPARE(model.headerData(CKvtProblemsModel::PathColumn, Qt::Horizontal).toString(), QStringLiteral("Node"));

    // View > Problems hides and shows it; the next open clears it.
    QAction* pToggle = window.findChild<QAction*>(QStringLiteral("miProblems"));
    QVERIFY(pToggle && pToggle->isChecked());
    pToggle->trigger();
    QVERIFY(!pDock->isVisible());
    pToggle->trigger();
    QVERIFY(pDock->isVisible());
    const std::string sClean = harness.Dir().File("clean.kvt");
    QVERIFY(WriteSmallDocument(sClean));
    QVERIFY(window.OpenFile(sClean.c_str()));
    QCOMPARE(model.Count(), 0);
    QVERIFY(!pDock->isVisible());
}

void ProblemsPanelTest::doubleClickSelectsTheRowsNode()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("damaged.kvt");
    QVERIFY(WriteFileBytes(sPath, CKvtHostileShapes::SharedDamagedFieldStructs(40)));
    QVERIFY(window.OpenFile(sPath.c_str()));
    const CKvtProblemsModel& model = window.Problems().Model();
    int nRow = -1;
    for (int i = 0; i < model.Count() && nRow < 0; ++i) {
        if (model.ProblemAt(i)->sPath == "/list[17]/name")
            nRow = i;
    }
    QVERIFY(nRow >= 0);

    QTreeView* pList = ProblemsList(window);
    QVERIFY(pList);
    QVERIFY(QTest::qWaitForWindowExposed(pList));
    const QModelIndex index = model.index(nRow, CKvtProblemsModel::MessageColumn);
    pList->scrollTo(index);
    const QPoint at = pList->visualRect(index).center();
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, at);
    const KvtPathLookup_st lookup = ResolveNodePath(window.RootNode(), "/list[17]/name");
    QVERIFY(lookup.pNode);
    QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), lookup.pNode);
}

void ProblemsPanelTest::saveWarningsAreListedAndClearedByNew()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    // A list whose label an earlier field has: its elements cannot be saved,
    // which is said once, and the save still succeeds.
    const std::string sPath = harness.Dir().File("namesake.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtNodeStruct* pList = AddNode(window.RootNode(), ftLIST, "Flag")->GetStructNode();
    for (int i = 0; i < 3; ++i) {
        CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
        pElement->m_nIndex = i;
        pList->AddChild(pElement);
    }
    window.MarkModified();
    window.RebuildTreeView();
    {
        CScopedBoxes boxes(harness.Dialogs());
        harness.Action("actFileSave")->trigger();
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
    QVERIFY(!window.IsModified());
    const CKvtProblemsModel& model = window.Problems().Model();
    QCOMPARE(model.Count(), 1);
    QCOMPARE(model.ProblemAt(0)->sPath, std::string("/Flag{2}"));
    QCOMPARE(model.ProblemAt(0)->nLine, 404);
    QCOMPARE(window.statusBar()->currentMessage(), QStringLiteral("Saved with 1 problems"));

    window.actFileNewExecute();
    QCOMPARE(model.Count(), 0);
    QVERIFY(!window.findChild<QDockWidget*>(QStringLiteral("dwProblems"))->isVisible());
}

void ProblemsPanelTest::warningsOutsideTheWalksKeepTheirBox()
{
    CWindowHarness harness;
    harness.Start();
    CScopedBoxes boxes(harness.Dialogs());
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ignore);
    OroWarning("KVTTreeNodes", 999, "raised by no walk");
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sTitle, std::string("Oro Warning"));
    QCOMPARE(harness.Window().Problems().Model().Count(), 0);
}

void ProblemsPanelTest::assertionsPassToTheBoxes()
{
    // Only warnings are collected: an assertion (here BCAssert, which returns)
    // reaches the handler the collector stands in for.
    CKvtProblemsModel model;
    COroReportRecorder recorder;
    {
        const CKvtProblemCollector collector(model);
        OroWarning("KVTTreeNodes", 1, "collected");
        OroWarning("KVTTreeNodes", 1, "collected");
        const OroReport_st report{TOroReportKind::BCAssert, "KVT Editor", "KVTEditorMain.cpp", 242, nullptr,
                                  "Assertion Failed: KVTEditorMain.cpp, Line: 242"};
        GetOroReportHandler()->Report(report);
        QCOMPARE(collector.Count(), 1);
    }
    QCOMPARE(recorder.Count(), size_t(1));
    QCOMPARE(recorder.Reports()[0].kind, TOroReportKind::BCAssert);
    QCOMPARE(model.Count(), 1);
    QCOMPARE(model.ProblemAt(0)->sPath, std::string());
}

KVT_WINDOW_TEST_MAIN(ProblemsPanelTest)
#include "ProblemsPanelTest.moc"
