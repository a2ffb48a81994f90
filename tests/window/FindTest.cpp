// Find, paths, file order and the subtree commands through the real widgets:
// hits come from the document in the view's order while only the items on
// the way to them are made.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "KVTDocumentSession.h"
#include "KVTFindController.h"
#include "KVTFindResultsModel.h"
#include "KVTNodePath.h"
#include "KVTTreeNavigation.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

template <typename T> T* Find(TfrmMain& window, const char* pName)
{
    return window.findChild<T*>(QString::fromLatin1(pName));
}

// A list of twelve elements (hits in 1, 10 and 11, shown in that order),
// one more hit at the top level, and fields in an order that sorting changes.
bool WriteFindDocument(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftSTRING, "Zeta", "item 1 of the root");
        AddNode(&root, ftBYTE, "alpha", "3");
        CKvtNodeStruct* pList = AddNode(&root, ftLIST, "Items")->GetStructNode();
        for (int32_t i = 0; i < 12; ++i) {
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = i;
            pList->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftSTRING, "Name", ("item " + std::to_string(i)).c_str());
            AddNode(pElement->GetStructNode(), ftINT, "Count", "5");
        }
        AddNode(&root, ftWORD, "Mid", "9");
    });
}

QString SelectedPath(TfrmMain& window)
{
    std::vector<CKvtNodeBase*> chain = FindNodeChain(window.RootNode(), window.Session().SelectedNode());
    return QString::fromStdString(GetNodePath(chain));
}

void PressInFindBox(TfrmMain& window, Qt::Key nKey, Qt::KeyboardModifiers nModifiers = Qt::NoModifier)
{
    QTest::keyClick(Find<QLineEdit>(window, "eFindText"), nKey, nModifiers);
}

} // namespace

class FindTest : public QObject {
    Q_OBJECT
private slots:
    void findGoesNextPreviousAndRoundOverLazyItems();
    void findAllListsHitsAndSelectsThem();
    void aTextThatIsNoExpressionSaysWhyAndFindsNothing();
    void fileOrderShowsTheDocumentsOrderAndExportStaysSorted();
    void pathIsShownCopiedAndSubtreesExpandAndCollapse();
    void expandingAHugeSubtreeAsksFirst();
};

void FindTest::findGoesNextPreviousAndRoundOverLazyItems()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("find.kvt");
    QVERIFY(WriteFindDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    QCOMPARE(window.TreeModel().ItemCount(), int64_t(1));

    harness.Action("actFind")->trigger();
    QVERIFY(Find<QWidget>(window, "pFindBar")->isVisible());
    QTest::keyClicks(Find<QLineEdit>(window, "eFindText"), "ITEM 1");
    const char* const kForward[] = {"/Items[1]/Name", "/Items[10]/Name", "/Items[11]/Name", "/Zeta"};
    for (const char* pExpected : kForward) {
        PressInFindBox(window, Qt::Key_Return);
        QCOMPARE(SelectedPath(window), QString::fromLatin1(pExpected));
        QCOMPARE(Find<QLabel>(window, "lNodePath")->text(), QString::fromLatin1(pExpected));
    }
    // Only the items on the way were made: the root's children and the list's elements.
    QCOMPARE(window.TreeModel().ItemCount(), int64_t(1 + 4 + 12 + 3 * 2));
    QStatusBar* pStatus = Find<QStatusBar>(window, "sbMain");
    QVERIFY(pStatus->currentMessage().isEmpty());

    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[1]/Name"));
    QVERIFY(pStatus->currentMessage().contains(QStringLiteral("from the top")));
    PressInFindBox(window, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Zeta"));
    QVERIFY(pStatus->currentMessage().contains(QStringLiteral("from the end")));
    harness.Action("actFindPrevious")->trigger();
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[11]/Name"));
    harness.Action("actFindNext")->trigger();
    QCOMPARE(SelectedPath(window), QStringLiteral("/Zeta"));

    // Only labels, case kept: the "Count" fields, element 0's first after the wrap.
    Find<QCheckBox>(window, "cbFindValues")->setChecked(false);
    Find<QCheckBox>(window, "cbMatchCase")->setChecked(true);
    QLineEdit* pText = Find<QLineEdit>(window, "eFindText");
    pText->setText(QStringLiteral("count"));
    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Zeta"));
    QVERIFY(pStatus->currentMessage().contains(QStringLiteral("not found")));
    pText->setText(QStringLiteral("Count"));
    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[0]/Count"));

    PressInFindBox(window, Qt::Key_Escape);
    QVERIFY(!Find<QWidget>(window, "pFindBar")->isVisible());
}

void FindTest::findAllListsHitsAndSelectsThem()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("find.kvt");
    QVERIFY(WriteFindDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    harness.Action("actFind")->trigger();
    Find<QCheckBox>(window, "cbWholeWord")->setChecked(true);
    QTest::keyClicks(Find<QLineEdit>(window, "eFindText"), "1");
    Find<QToolButton>(window, "bFindAll")->click();

    CKvtFindResultsModel& results = window.Navigation().Find().Results();
    QStringList paths;
    for (int nRow = 0; nRow < results.rowCount(); ++nRow)
        paths << QString::fromStdString(results.HitAt(nRow)->sPath);
    QCOMPARE(paths, (QStringList{"/Items[1]/Name", "/Zeta"}));
    QCOMPARE(QString::fromStdString(results.HitAt(0)->sValue), QStringLiteral("item 1"));
    QVERIFY(Find<QStatusBar>(window, "sbMain")->currentMessage().contains(QStringLiteral("2 hits")));
    QCOMPARE(window.TreeModel().ItemCount(), int64_t(1));

    QTreeView* pList = Find<QTreeView>(window, "tvFindResults");
    QVERIFY(Find<QWidget>(window, "dwFindResults")->isVisible());
    const QRect row = pList->visualRect(results.index(0, 0));
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[1]/Name"));
}

void FindTest::aTextThatIsNoExpressionSaysWhyAndFindsNothing()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("find.kvt");
    QVERIFY(WriteFindDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    harness.Action("actFind")->trigger();
    Find<QCheckBox>(window, "cbRegularExpression")->setChecked(true);
    QTest::keyClicks(Find<QLineEdit>(window, "eFindText"), "item (1");
    QLabel* pError = Find<QLabel>(window, "lFindError");
    QVERIFY(pError->isVisible());
    QVERIFY(pError->text().startsWith(QStringLiteral("Not a valid expression")));
    PressInFindBox(window, Qt::Key_Return);
    QVERIFY(!window.Session().SelectedNode());

    Find<QLineEdit>(window, "eFindText")->setText(QStringLiteral("item 1$"));
    QVERIFY(!pError->isVisible());
    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[1]/Name"));
}

void FindTest::fileOrderShowsTheDocumentsOrderAndExportStaysSorted()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("find.kvt");
    QVERIFY(WriteFindDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    auto names = [&](const QModelIndex& parent) {
        QStringList list;
        for (const QString& sCaption : ChildCaptions(model, parent))
            list << sCaption.section(QLatin1Char(' '), 0, 0);
        return list;
    };
    QCOMPARE(names(model.RootIndex()), (QStringList{"alpha", "Items", "Mid", "Zeta"}));

    // Select an element, switch: the same node stays selected.
    harness.Action("actFind")->trigger();
    QTest::keyClicks(Find<QLineEdit>(window, "eFindText"), "item 3");
    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[3]/Name"));
    Find<QAction>(window, "miFileOrder")->trigger();
    QVERIFY(!Find<QAction>(window, "miSortByCaption")->isChecked());
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[3]/Name"));

    // Every parent shows its children as the document holds them.
    std::vector<QModelIndex> pending{model.RootIndex()};
    int nParents = 0;
    while (!pending.empty()) {
        const QModelIndex item = pending.back();
        pending.pop_back();
        CKvtNodeStruct* pStruct = model.NodeAt(item)->GetStructNode();
        if (!pStruct)
            continue;
        ++nParents;
        QCOMPARE(model.ChildItemCount(item), int(pStruct->GetChildCount()));
        for (int i = 0; i < pStruct->GetChildCount(); ++i) {
            QCOMPARE(model.NodeAt(model.index(i, 0, item)), pStruct->GetChild(i));
            pending.push_back(model.index(i, 0, item));
        }
    }
    QCOMPARE(nParents, 1 + 1 + 12);
    // Find follows the order shown: after element 3 comes the next hit in file order.
    Find<QLineEdit>(window, "eFindText")->setText(QStringLiteral("item"));
    PressInFindBox(window, Qt::Key_Return);
    QCOMPARE(SelectedPath(window), QStringLiteral("/Items[4]/Name"));

    // The export keeps the sorted order.
    const std::string sExport = harness.Dir().File("out.txt");
    harness.Dialogs().QueueFileName(sExport);
    harness.Action("actFileExport")->trigger();
    const std::string sText = ReadFileText(sExport);
    QVERIFY(sText.find("\talpha ") < sText.find("\tItems "));
    QVERIFY(sText.find("\tItems ") < sText.find("\tMid "));
    QVERIFY(sText.find("\t\t10 ") < sText.find("\t\t2 "));
    QVERIFY(Find<QAction>(window, "miFileOrder")->isChecked());
    QCOMPARE(names(model.RootIndex()), (QStringList{"Zeta", "alpha", "Items", "Mid"}));
}

void FindTest::pathIsShownCopiedAndSubtreesExpandAndCollapse()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("find.kvt");
    QVERIFY(WriteFindDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    QVERIFY(!harness.Action("actCopyPath")->isEnabled());
    window.SelectItem(model.RootIndex());
    QCOMPARE(Find<QLabel>(window, "lNodePath")->text(), QStringLiteral("/"));

    const QModelIndex list = ChildStartingWith(model, model.RootIndex(), QStringLiteral("Items"));
    window.SelectItem(list);
    harness.Action("actCopyPath")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/Items"));

    QTreeView* pTree = Find<QTreeView>(window, "tvKVT");
    harness.Action("actExpandSubtree")->trigger();
    QCOMPARE(model.ItemCount(), int64_t(1 + 4 + 12 + 24));
    QVERIFY(pTree->isExpanded(list));
    QVERIFY(pTree->isExpanded(model.index(11, 0, list)));
    harness.Action("actCollapseSubtree")->trigger();
    QVERIFY(!pTree->isExpanded(list));
    QVERIFY(!pTree->isExpanded(model.index(11, 0, list)));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
}

void FindTest::expandingAHugeSubtreeAsksFirst()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("huge.kvt");
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        CKvtNodeStruct* pBig = AddNode(&root, ftSTRUCT, "Big")->GetStructNode();
        // Added directly: numbering each new child is linear in its siblings.
        for (int64_t i = 0; i <= CKvtTreeNavigation::kExpandWithoutAsking; ++i) {
            CKvtNodeBase* pField = CreateKvtNode(ftBYTE);
            pField->m_sLabel = "F";
            pBig->AddChild(pField);
        }
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    const QModelIndex big = model.ChildItem(model.RootIndex(), 0);
    window.SelectItem(big);
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    harness.Action("actExpandSubtree")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QVERIFY(harness.Dialogs().Boxes()[0].sText.find("100,000") != std::string::npos);
    QCOMPARE(model.ItemCount(), int64_t(2));
    QVERIFY(!Find<QTreeView>(window, "tvKVT")->isExpanded(big));
}

KVT_WINDOW_TEST_MAIN(FindTest)
#include "FindTest.moc"
