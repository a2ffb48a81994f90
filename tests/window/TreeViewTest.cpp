// The tree view: captions in display order, lazily made items, items added
// later staying last, the Preview option and the text export.

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "KVTCaption.h"
#include "KVTExport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

QTreeView* Tree(TfrmMain& window)
{
    return window.findChild<QTreeView*>(QStringLiteral("tvKVT"));
}

// Expands the item as the user does; the view lays out (and asks for the
// children) once the event loop runs.
bool ExpandInView(TfrmMain& window, const QModelIndex& index)
{
    Tree(window)->expand(index);
    for (int i = 0; i < 100 && Tree(window)->model()->canFetchMore(index); ++i)
        QCoreApplication::processEvents();
    return Tree(window)->isExpanded(index) && !Tree(window)->model()->canFetchMore(index);
}

QAction* Preview(TfrmMain& window)
{
    return window.findChild<QAction*>(QStringLiteral("miPreviewDataInTree"));
}

// The first word of each caption.
QStringList Names(const QStringList& captions)
{
    QStringList names;
    for (const QString& sCaption : captions)
        names << sCaption.section(QLatin1Char(' '), 0, 0);
    return names;
}

bool WriteTwelveElementList(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        CKvtNodeStruct* pList = AddNode(&root, ftLIST, "Elements")->GetStructNode();
        for (int32_t i = 0; i < 12; ++i) {
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = i;
            pList->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftINT, "Value", std::to_string(i).c_str());
        }
    });
}

std::string Padded(const char* pName, const char* pType)
{
    char line[64];
    std::snprintf(line, sizeof line, "%-16s %-12s", pName, pType);
    return line;
}

} // namespace

class TreeViewTest : public QObject {
    Q_OBJECT
private slots:
    void twelveListElementsShowInCaptionOrder();
    void itemsAreMadeWhenFirstNeeded();
    void addedItemsStayLastUntilTheNextRebuild();
    void previewOptionChangesTheCaptions();
    void treeViewShowsTheDesignedLook();
    void exportWithPreviewOffWritesValuesAndRestoresIt();
    void exportFailures();
    void deepTreeIsShownAndDropped();
    void columnFitsTheWidestCaptionWhereverTheViewScrolls();
};

void TreeViewTest::twelveListElementsShowInCaptionOrder()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("list.kvt");
    QVERIFY(WriteTwelveElementList(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));

    CKvtTreeModel& model = window.TreeModel();
    const QModelIndex root = model.RootIndex();
    QVERIFY(root.isValid());
    QVERIFY(model.data(root).toString().startsWith(QStringLiteral("-1               [TopLevelStruct] = ")));
    // The view asks for the children the way the user expands them.
    QVERIFY(ExpandInView(window, root));
    const QModelIndex list = model.index(0, 0, root);
    QVERIFY(model.data(list).toString().startsWith(QStringLiteral("Elements")));
    QVERIFY(ExpandInView(window, list));
    QCOMPARE(Names(ChildCaptions(model, list)),
             (QStringList{"0", "1", "10", "11", "2", "3", "4", "5", "6", "7", "8", "9"}));

    // The export writes the elements in the same order.
    const std::string sText = BuildExportText(window.RootNode());
    size_t nPos = 0;
    for (const char* pIndex : {"0 ", "1 ", "10 ", "11 ", "2 ", "9 "}) {
        nPos = sText.find(std::string("\r\n\t\t") + pIndex, nPos);
        QVERIFY2(nPos != std::string::npos, pIndex);
    }
}

void TreeViewTest::itemsAreMadeWhenFirstNeeded()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("wide.kvt");
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        for (int s = 0; s < 40; ++s) {
            CKvtNodeStruct* pStruct = AddNode(&root, ftSTRUCT, ("S" + std::to_string(s)).c_str())->GetStructNode();
            for (int f = 0; f < 50; ++f)
                AddNode(pStruct, ftDWORD, ("F" + std::to_string(f)).c_str(), "7");
        }
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    QCOMPARE(model.ItemCount(), int64_t(1));
    const QModelIndex root = model.RootIndex();
    QVERIFY(model.hasChildren(root));

    QVERIFY(ExpandInView(window, root));
    QCOMPARE(model.ItemCount(), int64_t(41));
    const QModelIndex first = model.index(0, 0, root);
    QVERIFY(model.hasChildren(first));
    QCOMPARE(model.rowCount(first), 0);
    QVERIFY(ExpandInView(window, first));
    QCOMPARE(model.rowCount(first), 50);
    QCOMPARE(model.ItemCount(), int64_t(91));
    // Leaves never offer children.
    QVERIFY(model.flags(model.index(0, 0, first)) & Qt::ItemNeverHasChildren);
    QCOMPARE(model.ParentNodeAt(model.index(0, 0, first)), model.NodeAt(first));
    QVERIFY(model.ParentNodeAt(root) == nullptr);
}

void TreeViewTest::addedItemsStayLastUntilTheNextRebuild()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftBYTE, "Charlie", "3");
        AddNode(&root, ftBYTE, "Bravo", "2");
        CKvtNodeStruct* pDelta = AddNode(&root, ftSTRUCT, "Delta")->GetStructNode();
        AddNode(pDelta, ftBYTE, "C", "1");
        AddNode(pDelta, ftBYTE, "B", "1");
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();
    const QModelIndex root = model.RootIndex();
    QCOMPARE(Names(ChildCaptions(model, root)), (QStringList{"Bravo", "Charlie", "Delta"}));

    // A node added to the root goes last although its caption sorts first.
    CKvtNodeBase* pAlpha = AddNode(pRoot, ftBYTE, "Alpha", "1");
    const QModelIndex alpha = model.AppendChild(root, pAlpha);
    QCOMPARE(model.NodeAt(alpha), pAlpha);
    QCOMPARE(Names(ChildCaptions(model, root)), (QStringList{"Bravo", "Charlie", "Delta", "Alpha"}));

    // Delta's children were never shown: they come sorted, the new one last.
    const QModelIndex delta = model.FindChildItem(root, pRoot->GetChild(2));
    QVERIFY(delta.isValid());
    QCOMPARE(model.rowCount(delta), 0);
    CKvtNodeBase* pA = AddNode(pRoot->GetChild(2)->GetStructNode(), ftBYTE, "A", "1");
    model.AppendChild(delta, pA);
    QCOMPARE(Names(ChildCaptions(model, delta)), (QStringList{"B", "C", "A"}));
    QCOMPARE(model.FindItem(pA), model.FindChildItem(delta, pA));
    QCOMPARE(model.ParentNodeAt(model.FindItem(pA)), pRoot->GetChild(2));

    // A container added with children shows them in the document's order.
    CKvtNodeBase* pZulu = CreateKvtNode(ftSTRUCT);
    pZulu->m_sLabel = "Zulu";
    AddNode(pZulu->GetStructNode(), ftBYTE, "Z", "1");
    AddNode(pZulu->GetStructNode(), ftBYTE, "Y", "1");
    pRoot->AddChild(pZulu);
    const QModelIndex zulu = model.AppendChild(root, pZulu);
    QVERIFY(model.hasChildren(zulu));
    QCOMPARE(Names(ChildCaptions(model, zulu)), (QStringList{"Z", "Y"}));

    // Re-captioning keeps the place; removing drops the item, not the node.
    pRoot->GetChild(1)->m_sLabel = "Echo";
    const QModelIndex bravo = model.FindChildItem(root, pRoot->GetChild(1));
    model.UpdateCaption(bravo);
    QCOMPARE(Names(ChildCaptions(model, root)), (QStringList{"Echo", "Charlie", "Delta", "Alpha", "Zulu"}));
    QVERIFY(model.RemoveItem(model.FindChildItem(root, pAlpha)));
    QCOMPARE(Names(ChildCaptions(model, root)), (QStringList{"Echo", "Charlie", "Delta", "Zulu"}));
    QCOMPARE(pRoot->GetChildCount(), 5);
    QVERIFY(!model.FindItem(pAlpha).isValid());

    // The next rebuild sorts everything again, Alpha included.
    window.RebuildTreeView();
    const QModelIndex rebuilt = model.RootIndex();
    QCOMPARE(Names(ChildCaptions(model, rebuilt)), (QStringList{"Alpha", "Charlie", "Delta", "Echo", "Zulu"}));
    QCOMPARE(Names(ChildCaptions(model, model.index(4, 0, rebuilt))), (QStringList{"Y", "Z"}));
    QCOMPARE(Names(ChildCaptions(model, model.index(2, 0, rebuilt))), (QStringList{"A", "B", "C"}));
}

void TreeViewTest::previewOptionChangesTheCaptions()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteExportExample(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    QVERIFY(Preview(window)->isChecked());
    QCOMPARE(model.data(model.ChildItem(model.RootIndex(), 0)).toString(),
             QString::fromStdString(Padded("Flag", "[BYTE]") + " = 1"));

    Preview(window)->trigger();
    QVERIFY(!Preview(window)->isChecked());
    QVERIFY(!model.IsPreview());
    const QString sFlag = model.data(model.ChildItem(model.RootIndex(), 0)).toString();
    QCOMPARE(sFlag, QString::fromStdString(Padded("Flag", "[BYTE]")));
    QCOMPARE(sFlag.size(), 29);

    Preview(window)->trigger();
    QVERIFY(Preview(window)->isChecked());
    QVERIFY(model.data(model.RootIndex()).toString().endsWith(QStringLiteral(" = Type:ABCD Ver:V3.2")));
}

void TreeViewTest::treeViewShowsTheDesignedLook()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QTreeView* pTree = Tree(window);
    QCOMPARE(pTree->indentation(), 19);
    QCOMPARE(pTree->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(pTree->font().pixelSize(), 11);
    QVERIFY(QFontInfo(pTree->font()).fixedPitch());
    QCOMPARE(pTree->palette().color(QPalette::Inactive, QPalette::Highlight),
             pTree->palette().color(QPalette::Active, QPalette::Highlight));

    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteExportExample(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    // A rebuild selects and expands nothing.
    QVERIFY(!window.SelectedItem().isValid());
    QVERIFY(!pTree->isExpanded(window.TreeModel().RootIndex()));
    // Captions cannot be edited in place.
    QVERIFY(!(window.TreeModel().flags(window.TreeModel().RootIndex()) & Qt::ItemIsEditable));

    // Selecting an item deep down makes it visible.
    const QModelIndex items = ChildStartingWith(window.TreeModel(), window.TreeModel().RootIndex(), "Items");
    const QModelIndex element = window.TreeModel().ChildItem(items, 0);
    window.SelectItem(element);
    QCOMPARE(window.SelectedItem(), element);
    QVERIFY(pTree->isExpanded(items));
    window.SelectItem(QModelIndex());
    QVERIFY(!window.SelectedItem().isValid());
}

void TreeViewTest::exportWithPreviewOffWritesValuesAndRestoresIt()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteExportExample(sPath));
    harness.Dialogs().QueueFileName(sPath);
    harness.Action("actFileOpen")->trigger();
    Preview(window)->trigger();
    QVERIFY(!Preview(window)->isChecked());

    const std::string sOut = harness.Dir().File("out.txt");
    harness.Dialogs().QueueFileName(sOut);
    harness.Action("actFileExport")->trigger();

    const KvtFileDialogRequest_st& request = harness.Dialogs().FileDialogs().back();
    QCOMPARE(request.nKind, TKvtFileDialogKind::Save);
    QCOMPARE(request.sFilter, std::string("KVT Files (*.txt)|*.txt"));
    QCOMPARE(request.sDefaultExtension, std::string("txt"));
    QCOMPARE(request.sStartFolder, harness.Dir().Path() + "/");

    const std::string sText = ReadFileText(sOut);
    QCOMPARE(sText, BuildExportText(window.RootNode()));
    const std::string sExpectedStart = Padded("-1", "[TopLevelStruct]") + " = Type:ABCD Ver:V3.2\r\n\t" +
                                       Padded("Flag", "[BYTE]") + " = 1\r\n\t" + Padded("Items", "[List]") +
                                       " = ...\r\n\t\t0 ";
    QCOMPARE(sText.substr(0, sExpectedStart.size()), sExpectedStart);
    QVERIFY(sText.find("\r\n\t\t\t" + Padded("Name", "[COroString]") + " = Sword of the North\r\n") !=
            std::string::npos);

    // Preview is off again and the tree shows it.
    QVERIFY(!Preview(window)->isChecked());
    QVERIFY(!window.TreeModel().IsPreview());
    QVERIFY(!window.TreeModel().data(window.TreeModel().RootIndex()).toString().contains(QStringLiteral(" = ")));

    // Exporting again gives the same bytes.
    const std::string sAgain = harness.Dir().File("again.txt");
    harness.Dialogs().QueueFileName(sAgain);
    harness.Action("actFileExport")->trigger();
    QCOMPARE(ReadFileText(sAgain), sText);

    // Cancelling the dialog changes nothing.
    harness.Dialogs().QueueFileDialogCancel();
    harness.Action("actFileExport")->trigger();
    QVERIFY(!Preview(window)->isChecked());
    QVERIFY(harness.Dialogs().Boxes().empty());
}

void TreeViewTest::exportFailures()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Action("actFileNew")->trigger();

    // A new document has no folder to start in.
    const std::string sBad = harness.Dir().File("missing/out.txt");
    harness.Dialogs().QueueFileName(sBad);
    harness.Action("actFileExport")->trigger();
    QCOMPARE(harness.Dialogs().FileDialogs().back().sStartFolder, std::string());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, "Cannot create file " + sBad);
    QCOMPARE(harness.Dialogs().Boxes()[0].nIcon, TKvtBoxIcon::Error);
    QVERIFY(Preview(window)->isChecked());
    QVERIFY(window.TreeModel().IsPreview());

    // Without a document (after a refused load) the file is created empty.
    const std::string sShort = harness.Dir().File("short.kvt");
    std::vector<uint8_t> bytes = {'D', 'A', 'T', 'A', 'V', '3', '.', '2', 0, 0};
    QVERIFY(WriteFileBytes(sShort, bytes));
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    QVERIFY(!window.OpenFile(sShort.c_str()));
    QVERIFY(window.RootNode() == nullptr);
    const std::string sEmpty = harness.Dir().File("empty.txt");
    harness.Dialogs().QueueFileName(sEmpty);
    harness.Action("actFileExport")->trigger();
    QVERIFY(FileExists(sEmpty));
    QCOMPARE(ReadFileBytes(sEmpty).size(), size_t(0));
}

void TreeViewTest::deepTreeIsShownAndDropped()
{
    // Far deeper than a loaded file may nest (pastes can build such trees):
    // making, showing and dropping the items must not recurse.
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Action("actFileNew")->trigger();
    CKvtTreeModel& model = window.TreeModel();
    constexpr int kDepth = 20000;
    CKvtNodeStruct* pParent = window.RootNode();
    QModelIndex parent = model.RootIndex();
    for (int i = 0; i < kDepth; ++i) {
        CKvtNodeBase* pChild = AddNode(pParent, ftLIST, "L");
        parent = model.AppendChild(parent, pChild);
        pParent = pChild->GetStructNode();
    }
    QCOMPARE(model.ItemCount(), int64_t(kDepth + 1));
    window.SelectItem(parent);
    QCOMPARE(window.SelectedItem(), parent);
    // Every level is open now; laying the whole view out again and painting
    // it must cope with that depth.
    QVERIFY(Tree(window)->isExpanded(model.ParentNodeAt(parent) ? parent.parent() : parent));
    Tree(window)->doItemsLayout();
    Tree(window)->viewport()->repaint();
    QCoreApplication::processEvents();
    // A rebuild selects the same node again, every level made anew.
    CKvtNodeBase* pDeepest = model.NodeAt(parent);
    window.RebuildTreeView();
    QCOMPARE(model.ItemCount(), int64_t(kDepth + 1));
    QCOMPARE(model.NodeAt(window.SelectedItem()), pDeepest);
    window.SelectItem(QModelIndex());
    window.RebuildTreeView();
    QCOMPARE(model.ItemCount(), int64_t(1));
    // Walking down again makes each level on demand.
    QModelIndex walk = model.RootIndex();
    for (int i = 0; i < kDepth; ++i)
        walk = model.ChildItem(walk, 0);
    QVERIFY(walk.isValid());
    QCOMPARE(model.ChildItemCount(walk), 0);
    window.CloseFile();
    QCOMPARE(model.ItemCount(), int64_t(0));
}

KVT_WINDOW_TEST_MAIN(TreeViewTest)

#include "TreeViewTest.moc"

void TreeViewTest::columnFitsTheWidestCaptionWhereverTheViewScrolls()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QTreeView* pTree = Tree(window);
    const std::string sPath = harness.Dir().File("wide.kvt");
    // Three hundred short rows with one long caption in the middle, far out
    // of view at either end of the list.
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        for (int32_t i = 0; i < 300; ++i) {
            char label[8];
            std::snprintf(label, sizeof label, "a%03d", i);
            AddNode(&root, i == 150 ? ftSTRING : ftBYTE, label, i == 150 ? "a value long enough to be the widest" : "1");
        }
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    if (!Preview(window)->isChecked())
        Preview(window)->trigger();
    window.show();
    QVERIFY(ExpandInView(window, window.TreeModel().RootIndex()));

    const int nWidth = pTree->header()->sectionSize(0);
    const QModelIndex wide = ChildStartingWith(window.TreeModel(), window.TreeModel().RootIndex(), "a150");
    const int nWideText = QFontMetrics(pTree->font()).horizontalAdvance(window.TreeModel().data(wide).toString());
    QVERIFY2(nWidth >= nWideText + 2 * pTree->indentation(), qPrintable(QString::number(nWidth)));

    // The width does not follow the rows in view (a width that did could make
    // the scroll bars come and go without end).
    QScrollBar* pBar = pTree->verticalScrollBar();
    QVERIFY(pBar->maximum() > 0);
    for (int nValue : {0, pBar->maximum(), pBar->maximum() / 2, 0}) {
        pBar->setValue(nValue);
        QCoreApplication::processEvents();
        QCOMPARE(pTree->header()->sectionSize(0), nWidth);
    }

    // A rebuild starts anew: without values the captions are narrower.
    Preview(window)->trigger();
    QVERIFY(ExpandInView(window, window.TreeModel().RootIndex()));
    QVERIFY(pTree->header()->sectionSize(0) < nWideText);
}
