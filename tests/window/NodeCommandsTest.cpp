// The node commands driven from the tree view: the popup's enabling on a
// right-click, adding from the popup, copy and paste with unique labels,
// delete, the Edit menu, the shortcuts that follow the tree's focus, the
// program's clipboard across documents, and saving the result.

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <memory>

#include "KVTTreeModel.h"
#include "PanelTestSupport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

bool WriteCommandsDocument(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftBYTE, "Flag", "1");
        CKvtNodeStruct* pHolder = AddNode(&root, ftSTRUCT, "Holder")->GetStructNode();
        for (const char* pLabel : {"A", "B", "C", "D", "E"})
            AddNode(pHolder, ftBYTE, pLabel, "9");
        // A struct whose document order (Tag, Rows) differs from its sorted one.
        CKvtNodeBase* pL = AddNode(&root, ftSTRUCT, "L");
        pL->SetStructID(2);
        AddNode(pL->GetStructNode(), ftSTRING, "Tag", "t");
        CKvtNodeStruct* pRows = AddNode(pL->GetStructNode(), ftLIST, "Rows")->GetStructNode();
        for (int32_t r = 0; r < 2; ++r) {
            CKvtNodeBase* pRow = CreateKvtNode(ftSTRUCT);
            pRow->m_nIndex = r;
            pRow->SetStructID(static_cast<uint32_t>(10 + r));
            pRows->AddChild(pRow);
            CKvtNodeStruct* pCells = AddNode(pRow->GetStructNode(), ftLIST, "Cells")->GetStructNode();
            CKvtNodeBase* pCell = CreateKvtNode(ftSTRUCT);
            pCell->m_nIndex = 0;
            pCell->SetStructID(20);
            pCells->AddChild(pCell);
            AddNode(pCell->GetStructNode(), ftINT, "Value", std::to_string(r * 100).c_str());
        }
        CKvtNodeStruct* pP = AddNode(&root, ftSTRUCT, "P")->GetStructNode();
        AddNode(pP, ftBYTE, "M", "1");
        CKvtNodeStruct* pPL = AddNode(pP, ftSTRUCT, "L")->GetStructNode();
        CKvtNodeStruct* pInnerList = AddNode(pPL, ftLIST, "Inner")->GetStructNode();
        pInnerList->AddChild(CreateKvtNode(ftSTRUCT));
        AddNode(pP, ftBYTE, "l000", "2");
        CKvtNodeStruct* pLong = AddNode(&root, ftSTRUCT, "Long")->GetStructNode();
        AddNode(pLong, ftBYTE, "ABCDEFGHIJKLMNOP", "3");
        CKvtNodeStruct* pItems = AddNode(&root, ftLIST, "Items")->GetStructNode();
        for (int32_t e = 0; e < 2; ++e) {
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = e;
            pItems->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftDWORD, "Id", std::to_string(e + 1).c_str());
        }
        CKvtNodeBase* pNote = AddNode(&root, ftLOCSTRING, "Note", "4");
        static_cast<CKvtNodeLOCSTRING*>(pNote)->m_Value.AddString(0, "note", 0);
    });
}

class CCommandsFixture {
public:
    CCommandsFixture() : m_Window(m_Harness.Start())
    {
        m_sPath = m_Harness.Dir().File("commands.kvt");
        m_bReady = ActivateWindow(m_Window) && WriteCommandsDocument(m_sPath) && m_Window.OpenFile(m_sPath.c_str());
    }
    bool Ready() const { return m_bReady; }
    TfrmMain& Window() { return m_Window; }
    CWindowHarness& Harness() { return m_Harness; }
    CKvtScriptedDialogs& Dialogs() { return m_Harness.Dialogs(); }
    const std::string& Path() const { return m_sPath; }
    CKvtNodeBase* Node(const char* pPath) { return NodeAtPath(m_Window.RootNode(), pPath); }
    QAction* Action(const char* pName) { return m_Harness.Action(pName); }
    QTreeView* Tree() { return Control<QTreeView>(m_Window, "tvKVT"); }
    void Select(const char* pPath) { ClickItem(m_Window, Node(pPath)); }
    // Ctrl+key typed into the tree view, which has the focus after a click.
    void TreeKey(Qt::Key nKey) { QTest::keyClick(Tree(), nKey, Qt::ControlModifier); }
    // Enabled states of the popup's 17 entries.
    std::vector<bool> PopupEnabled()
    {
        std::vector<bool> enabled;
        for (int i = 0; i < 17; ++i) {
            QAction* pEntry = m_Window.findChild<QMenu*>("pumAddNode")->actions().at(i);
            enabled.push_back(pEntry->isEnabled());
        }
        return enabled;
    }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    std::string m_sPath;
    bool m_bReady = false;
};

std::vector<bool> Entries(bool bFields, bool bContainers)
{
    std::vector<bool> enabled(17, bFields);
    enabled[14] = true; // the separator is never switched
    enabled[15] = bContainers;
    enabled[16] = bContainers;
    return enabled;
}

int32_t ChildCount(CKvtNodeBase* pNode)
{
    return pNode->GetStructNode()->GetChildCount();
}

// The subtree's outline without its top line (the label may differ).
std::string SubtreeBelowTop(CKvtNodeBase* pNode)
{
    const std::string sOutline = TreeOutline(pNode);
    const size_t nFirstLine = sOutline.find('\n');
    return std::to_string(pNode->GetType()) + sOutline.substr(nFirstLine);
}

} // namespace

class NodeCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void rightClickEnablesEntriesByTarget();
    void addsToAStructGetTheNextIndicesAndGoLast();
    void pastingAStructTwiceIntoItsParent();
    void pastedLabelsStayUniqueAndShort();
    void pasteNeedsAContainer();
    void deleteDoesNothingOnTheRoot();
    void deletingTheCopiedNodeKeepsTheClipboard();
    void deleteMovesTheSelectionBeforeTheNodeGoes();
    void shortcutsFollowTheTreeFocus();
    void editMenuEnablesCopyAndPaste();
    void clipboardSurvivesNewOpenAndClose();
    void savedDocumentReadsBackTheSameTree();
    void pastedSubtreeIsShownOnDemand();
};

void NodeCommandsTest::rightClickEnablesEntriesByTarget()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    struct Case {
        const char* pPath;
        std::vector<bool> expected;
    };
    // A list takes structs and lists only; a struct (a list's element too)
    // and the root take everything; a leaf nothing.
    const Case cases[] = {{"Items", Entries(false, true)},   {"Holder", Entries(true, true)},
                          {"", Entries(true, true)},         {"Flag", Entries(false, false)},
                          {"Items/#0", Entries(true, true)}, {"L/Rows", Entries(false, true)},
                          {"Note", Entries(false, false)}};
    for (const Case& c : cases) {
        CKvtNodeBase* pNode = f.Node(c.pPath);
        RightClickItem(window, pNode);
        // The right-click selected the item, and the panel shows it.
        QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), pNode);
        QCOMPARE(Control<QLineEdit>(window, "eFieldID")->text(), QString::fromLatin1(pNode->m_sLabel.CStr()));
        QVERIFY2(f.PopupEnabled() == c.expected, c.pPath);
    }
    // Empty space: no item, every entry disabled.
    RightClickItem(window, nullptr);
    QVERIFY(!window.SelectedItem().isValid());
    QVERIFY(f.PopupEnabled() == Entries(false, false));
    QVERIFY(Control<QLineEdit>(window, "eFieldID")->text().isEmpty());
    // The popup's own entries after the table stay as they were.
    QCOMPARE(window.findChild<QMenu*>("pumAddNode")->actions().at(18)->objectName(), QStringLiteral("RemoveNode"));
}

void NodeCommandsTest::addsToAStructGetTheNextIndicesAndGoLast()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pHolder = f.Node("Holder");
    RightClickItem(window, pHolder);
    for (const char* pEntry : {"Add0", "Add10", "Add16"})
        window.findChild<QAction*>(pEntry)->trigger();

    CKvtNodeStruct* pStruct = pHolder->GetStructNode();
    QCOMPARE(pStruct->GetChildCount(), 8);
    const TKvtFieldType types[] = {ftBYTE, ftSTRING, ftLIST};
    for (int32_t i = 0; i < 3; ++i) {
        CKvtNodeBase* pNew = pStruct->GetChild(5 + i);
        QCOMPARE(pNew->GetType(), types[i]);
        QCOMPARE(pNew->m_nIndex, 5 + i);
        QCOMPARE(pNew->m_sLabel, COroString());
        QCOMPARE(pNew->GetEditText(), i == 0 ? COroString("0") : COroString());
    }
    QCOMPARE(ChildCount(pStruct->GetChild(7)), 0);
    // Appended after the sorted siblings, shown by their indices.
    QCOMPARE(ChildNames(window, pHolder), (QStringList{"A", "B", "C", "D", "E", "5", "6", "7"}));
    // The selection stays on the struct; the document counts as changed.
    QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), pHolder);
    QVERIFY(window.IsModified());
    QVERIFY(window.windowTitle().endsWith(QLatin1Char('*')));

    // Nothing can be added to a leaf, whatever the entry says.
    RightClickItem(window, f.Node("Flag"));
    window.findChild<QAction*>("Add0")->trigger();
    QCOMPARE(f.Node("Flag")->GetStructNode(), nullptr);
}

void NodeCommandsTest::pastingAStructTwiceIntoItsParent()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pL = f.Node("L");
    const std::string sOriginal = SubtreeBelowTop(pL);
    f.Select("L");
    f.TreeKey(Qt::Key_C);
    QVERIFY(window.ClipboardNode() != nullptr);
    QVERIFY(window.ClipboardNode() != pL);
    QCOMPARE(SubtreeBelowTop(window.ClipboardNode()), sOriginal);
    QVERIFY(!window.IsModified());

    f.Select("");
    f.TreeKey(Qt::Key_V);
    f.TreeKey(Qt::Key_V);
    CKvtNodeStruct* pRoot = window.RootNode();
    const int32_t nCount = pRoot->GetChildCount();
    CKvtNodeBase* pFirst = pRoot->GetChild(nCount - 2);
    CKvtNodeBase* pSecond = pRoot->GetChild(nCount - 1);
    QCOMPARE(pFirst->m_sLabel, COroString("L000"));
    QCOMPARE(pSecond->m_sLabel, COroString("L001"));
    QCOMPARE(SubtreeBelowTop(pFirst), sOriginal);
    QCOMPARE(SubtreeBelowTop(pSecond), sOriginal);
    QVERIFY(window.IsModified());
    // Appended last; a pasted subtree shows its children in document order.
    const QStringList names = ChildNames(window, pRoot);
    QCOMPARE(names.mid(names.size() - 2), (QStringList{"L000", "L001"}));
    QCOMPARE(ChildNames(window, pL), (QStringList{"Rows", "Tag"}));
    QCOMPARE(ChildNames(window, pSecond), (QStringList{"Tag", "Rows"}));
    // Deep copies: changing one leaves the others alone.
    static_cast<CKvtNodeSTRING*>(f.Node("L000/Tag"))->m_Value = "changed";
    QCOMPARE(SubtreeBelowTop(pL), sOriginal);
    QCOMPARE(SubtreeBelowTop(pSecond), sOriginal);

    // A sibling labelled l000 in lower case counts as taken too.
    CKvtNodeStruct* pP = f.Node("P")->GetStructNode();
    f.Select("P/L");
    window.findChild<QAction*>("actNodeCopy")->trigger();
    f.Select("P");
    window.findChild<QAction*>("actNodePaste")->trigger();
    window.findChild<QAction*>("actNodePaste")->trigger();
    QCOMPARE(pP->GetChildCount(), 5);
    QCOMPARE(pP->GetChild(3)->m_sLabel, COroString("L001"));
    QCOMPARE(pP->GetChild(4)->m_sLabel, COroString("L002"));
    QCOMPARE(ChildNames(window, pP), (QStringList{"L", "l000", "M", "L001", "L002"}));
}

void NodeCommandsTest::pastedLabelsStayUniqueAndShort()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    f.Select("Long/ABCDEFGHIJKLMNOP");
    f.TreeKey(Qt::Key_C);
    f.Select("Long");
    f.TreeKey(Qt::Key_V);
    QCOMPARE(f.Node("Long")->GetStructNode()->GetChild(1)->m_sLabel, COroString("ABCDEFGHIJKLM000"));

    // A list element (no label) pasted among unlabelled elements.
    CKvtNodeBase* pItems = f.Node("Items");
    f.Select("Items/#1");
    f.TreeKey(Qt::Key_C);
    f.Select("Items");
    f.TreeKey(Qt::Key_V);
    CKvtNodeBase* pPasted = pItems->GetStructNode()->GetChild(2);
    QCOMPARE(pPasted->m_sLabel, COroString("000"));
    // The index is the copied one, not a new one.
    QCOMPARE(pPasted->m_nIndex, 1);
    QCOMPARE(ChildNames(window, pItems), (QStringList{"0", "1", "000"}));
}

void NodeCommandsTest::pasteNeedsAContainer()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    const std::string sBefore = TreeOutline(window.RootNode());
    f.Select("P/M");
    f.TreeKey(Qt::Key_C);
    // A leaf: nothing is pasted, so nothing is marked or left to undo.
    f.Select("Flag");
    QVERIFY(window.findChild<QAction*>("actNodePaste")->isEnabled());
    f.TreeKey(Qt::Key_V);
    QCOMPARE(TreeOutline(window.RootNode()), sBefore);
    QVERIFY(!window.IsModified());
    QVERIFY(!window.findChild<QAction*>("actEditUndo")->isEnabled());
}

void NodeCommandsTest::deleteDoesNothingOnTheRoot()
{
    // Disabled for the root, and doing nothing from any trigger.
    CCommandsFixture f;
    QVERIFY(f.Ready());
    const std::string sRoot = TreeOutline(f.Window().RootNode());
    f.Select("");
    QAction* pDelete = f.Action("actNodeDelete");
    QVERIFY(!pDelete->isEnabled());
    QVERIFY(!f.Action("actNodeCopy")->isEnabled());
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    pDelete->trigger();
    QCOMPARE(TreeOutline(f.Window().RootNode()), sRoot);
    QVERIFY(!f.Window().IsModified());
    QCOMPARE(f.Window().SelectedItem(), f.Window().TreeModel().RootIndex());
}

void NodeCommandsTest::deletingTheCopiedNodeKeepsTheClipboard()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    const std::string sOriginal = SubtreeBelowTop(f.Node("L"));
    f.Select("L");
    f.TreeKey(Qt::Key_C);
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    QCOMPARE(f.Node("L"), nullptr);
    QVERIFY(!ChildNames(window, window.RootNode()).contains(QStringLiteral("L")));
    QVERIFY(window.IsModified());

    f.Select("");
    f.TreeKey(Qt::Key_V);
    // The label is free again, so it is kept.
    CKvtNodeBase* pPasted = f.Node("L");
    QVERIFY(pPasted != nullptr);
    QCOMPARE(SubtreeBelowTop(pPasted), sOriginal);
    QCOMPARE(ChildNames(window, window.RootNode()).last(), QStringLiteral("L"));
}

void NodeCommandsTest::deleteMovesTheSelectionBeforeTheNodeGoes()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtTreeModel& model = window.TreeModel();
    // Holder's children sorted A..E: deleting C selects B, the row above.
    f.Select("Holder/C");
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    QCOMPARE(model.NodeAt(window.SelectedItem()), f.Node("Holder/B"));
    QCOMPARE(Control<QLineEdit>(window, "eFieldID")->text(), QStringLiteral("B"));
    // The first row: the one below. The only child: the parent.
    f.Select("Holder/A");
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    QCOMPARE(model.NodeAt(window.SelectedItem()), f.Node("Holder/B"));
    f.Select("Items/#0/Id");
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    QCOMPARE(model.NodeAt(window.SelectedItem()), f.Node("Items/#0"));

    // A localized string being edited: what was typed into its page is
    // applied before it goes; nothing refers to it afterwards.
    f.Select("Note");
    TypeInto(Control<QLineEdit>(window, "eStrRef"), QStringLiteral("77"));
    TypeInto(Control<QPlainTextEdit>(window, "mOroLocStringValue"), QStringLiteral("typed"));
    f.Action("actNodeDelete")->trigger();
    QCOMPARE(f.Node("Note"), nullptr);
    QVERIFY(window.LocStrNode() == nullptr);
    ClickInto(Control<QLineEdit>(window, "eFieldID"));
    f.Select("Flag");
    QCOMPARE(f.Node("Flag")->GetEditText(), COroString("1"));
}

void NodeCommandsTest::shortcutsFollowTheTreeFocus()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QAction* pCopy = f.Action("actNodeCopy");
    QAction* pPaste = f.Action("actNodePaste");
    QCOMPARE(pCopy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    f.Select("Flag");
    QVERIFY(f.Tree()->hasFocus());

    QLineEdit* pLabel = Control<QLineEdit>(window, "eFieldID");
    ClickInto(pLabel);
    QVERIFY(pCopy->shortcut().isEmpty());
    QVERIFY(pPaste->shortcut().isEmpty());
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(pLabel, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pLabel, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Flag"));
    QVERIFY(window.ClipboardNode() == nullptr);
    // Ctrl+V pastes text there too, not a node.
    QGuiApplication::clipboard()->setText(QStringLiteral("Banner"));
    QTest::keyClick(pLabel, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(pLabel, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(pLabel->text(), QStringLiteral("Banner"));
    const int32_t nChildren = window.RootNode()->GetChildCount();

    // Back in the tree the keys copy and paste nodes again.
    f.Select("P/M");
    QCOMPARE(pCopy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(pPaste->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    QCOMPARE(f.Node("Banner")->GetType(), ftBYTE);
    f.TreeKey(Qt::Key_C);
    QVERIFY(window.ClipboardNode() != nullptr);
    QCOMPARE(window.ClipboardNode()->m_sLabel, COroString("M"));
    f.Select("");
    f.TreeKey(Qt::Key_V);
    QCOMPARE(window.RootNode()->GetChildCount(), nChildren + 1);
}

void NodeCommandsTest::editMenuEnablesCopyAndPaste()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QMenu* pEdit = window.findChild<QMenu*>("miEdit");
    QAction* pCopyItem = window.findChild<QAction*>("miNodeCopy");
    QAction* pPasteItem = window.findChild<QAction*>("miNodePaste");
    auto open = [pEdit]() {
        pEdit->popup(QPoint(10, 10));
        pEdit->hide();
    };
    open();
    QVERIFY(!pCopyItem->isEnabled());
    QVERIFY(!pPasteItem->isEnabled());
    // The focus came back to the tree from the menu: nothing got selected.
    QVERIFY(!window.SelectedItem().isValid());
    f.Select("Flag");
    open();
    QVERIFY(pCopyItem->isEnabled());
    QVERIFY(!pPasteItem->isEnabled());
    pCopyItem->trigger();
    QVERIFY(window.ClipboardNode() != nullptr);
    open();
    QVERIFY(!pPasteItem->isEnabled());
    f.Select("Holder");
    open();
    QVERIFY(pPasteItem->isEnabled());
    pPasteItem->trigger();
    QCOMPARE(ChildCount(f.Node("Holder")), 6);
    // The root item shows Copy enabled in the menu, but its action is not.
    f.Select("");
    open();
    QVERIFY(pCopyItem->isEnabled());
    CKvtNodeBase* pClipboard = window.ClipboardNode();
    pCopyItem->trigger();
    QCOMPARE(window.ClipboardNode(), pClipboard);
}

void NodeCommandsTest::clipboardSurvivesNewOpenAndClose()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    const std::string sOriginal = SubtreeBelowTop(f.Node("L"));
    f.Select("L");
    f.TreeKey(Qt::Key_C);

    f.Action("actFileNew")->trigger();
    QVERIFY(window.ClipboardNode() != nullptr);
    ClickItem(window, window.RootNode());
    f.TreeKey(Qt::Key_V);
    QCOMPARE(window.RootNode()->GetChildCount(), 1);
    QCOMPARE(SubtreeBelowTop(window.RootNode()->GetChild(0)), sOriginal);

    QVERIFY(window.OpenFile(f.Path().c_str()));
    ClickItem(window, f.Node("Holder"));
    f.TreeKey(Qt::Key_V);
    QCOMPARE(SubtreeBelowTop(f.Node("Holder/L")), sOriginal);

    window.CloseFile();
    QVERIFY(window.ClipboardNode() != nullptr);
    QCOMPARE(SubtreeBelowTop(window.ClipboardNode()), sOriginal);
}

void NodeCommandsTest::savedDocumentReadsBackTheSameTree()
{
    CCommandsFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    // Adds, labelled through the panel as a user would.
    RightClickItem(window, f.Node("Holder"));
    window.findChild<QAction*>("Add8")->trigger();
    window.findChild<QAction*>("Add15")->trigger();
    CKvtNodeStruct* pHolder = f.Node("Holder")->GetStructNode();
    ClickItem(window, pHolder->GetChild(5));
    TypeInto(Control<QLineEdit>(window, "eFieldID"), QStringLiteral("Fresh"));
    TypeInto(Control<QPlainTextEdit>(window, "eValue"), QStringLiteral("2.25"));
    ClickItem(window, pHolder->GetChild(6));
    TypeInto(Control<QLineEdit>(window, "eFieldID"), QStringLiteral("Sub"));
    TypeInto(Control<QLineEdit>(window, "eNType"), QStringLiteral("$10"));
    f.Select("Holder");
    // Copies and pastes, and deletes.
    f.Select("L");
    f.TreeKey(Qt::Key_C);
    f.Select("");
    f.TreeKey(Qt::Key_V);
    f.TreeKey(Qt::Key_V);
    f.Select("Items/#0");
    f.TreeKey(Qt::Key_C);
    f.Select("Items");
    f.TreeKey(Qt::Key_V);
    f.Select("Flag");
    QTest::keyClick(f.Tree(), Qt::Key_Delete);
    f.Select("L/Rows/#1");
    QTest::keyClick(f.Tree(), Qt::Key_Delete);

    const std::string sSaved = f.Harness().Dir().File("saved.kvt");
    f.Dialogs().QueueFileName(sSaved);
    f.Action("actFileSaveAs")->trigger();
    QVERIFY(!window.IsModified());
    CKvtNodeTopLevelStruct loaded;
    QVERIFY(loaded.LoadDocument(sSaved.c_str()));
    const std::string sExpected = TreeOutline(window.RootNode());
    QCOMPARE(TreeOutline(&loaded), sExpected);
    QVERIFY(sExpected.find("Fresh = 2.250000000000") != std::string::npos);
    QVERIFY(sExpected.find("Sub =  id 16") != std::string::npos);
    QVERIFY(sExpected.find("L001") != std::string::npos);
    QVERIFY(sExpected.find("Flag") == std::string::npos);

    // Opened in the window, the same again.
    QVERIFY(window.OpenFile(sSaved.c_str()));
    QCOMPARE(TreeOutline(window.RootNode()), sExpected);
}

void NodeCommandsTest::pastedSubtreeIsShownOnDemand()
{
    // Pasting and deleting a subtree touch the parent's items only: the
    // pasted subtree gets one item until it is opened.
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QVERIFY(ActivateWindow(window));
    const std::string sPath = harness.Dir().File("wide.kvt");
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        CKvtNodeStruct* pBig = AddNode(&root, ftSTRUCT, "Big")->GetStructNode();
        for (int s = 0; s < 20; ++s) {
            CKvtNodeStruct* pPart = AddNode(pBig, ftSTRUCT, ("S" + std::to_string(s)).c_str())->GetStructNode();
            for (int i = 0; i < 250; ++i)
                AddNode(pPart, ftDWORD, ("F" + std::to_string(i)).c_str(), "7");
        }
        AddNode(&root, ftSTRUCT, "Target");
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtTreeModel& model = window.TreeModel();
    ClickItem(window, NodeAtPath(window.RootNode(), "Big"));
    QTest::keyClick(Control<QTreeView>(window, "tvKVT"), Qt::Key_C, Qt::ControlModifier);
    ClickItem(window, NodeAtPath(window.RootNode(), "Target"));
    const int64_t nItems = model.ItemCount();
    QTest::keyClick(Control<QTreeView>(window, "tvKVT"), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(model.ItemCount(), nItems + 1);
    CKvtNodeBase* pPasted = NodeAtPath(window.RootNode(), "Target/Big");
    QVERIFY(pPasted != nullptr);
    QCOMPARE(ChildCount(pPasted), 20);
    ClickItem(window, pPasted);
    QTest::keyClick(Control<QTreeView>(window, "tvKVT"), Qt::Key_Delete);
    QCOMPARE(model.ItemCount(), nItems);
    QCOMPARE(ChildCount(NodeAtPath(window.RootNode(), "Target")), 0);
    QCOMPARE(model.NodeAt(window.SelectedItem()), NodeAtPath(window.RootNode(), "Target"));
}

KVT_WINDOW_TEST_MAIN(NodeCommandsTest)

#include "NodeCommandsTest.moc"
