// Undo and Redo through the real widgets: every kind of step undone and
// redone with the view mirroring the document, the changed node selected,
// the caption's modified mark following the clean state, the menu's texts
// and enabling, the panel's pending text applied first, and a failed save.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <functional>

#include "KVTDocumentSession.h"
#include "KVTTreeModel.h"
#include "PanelTestSupport.h"
#include "TreeMirrorCheck.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "filefaults.h"

namespace {

bool WriteUndoDocument(const std::string& sPath)
{
    return WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftBYTE, "Flag", "1");
        CKvtNodeBase* pHolder = AddNode(&root, ftSTRUCT, "Holder");
        pHolder->SetStructID(5);
        for (const char* pLabel : {"A", "B", "C"})
            AddNode(pHolder->GetStructNode(), ftFLOAT, pLabel, "0.1");
        CKvtNodeStruct* pItems = AddNode(&root, ftLIST, "Items")->GetStructNode();
        for (int32_t e = 0; e < 3; ++e) {
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = e;
            pItems->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftDWORD, "Id", std::to_string(e + 1).c_str());
        }
        auto* pBlob = static_cast<CKvtNodeBINARY*>(AddNode(&root, ftBINARY, "Blob"));
        pBlob->m_pData = new uint8_t[3]{0xB1, 0x0B, 0x5E};
        pBlob->m_nDataSize = 3;
        CKvtNodeBase* pTitle = AddNode(&root, ftLOCSTRING, "Title", "4");
        static_cast<CKvtNodeLOCSTRING*>(pTitle)->m_Value.AddString(0, "Hello", 0);
        static_cast<CKvtNodeLOCSTRING*>(pTitle)->m_Value.AddString(2, "Hallo", 0);
    });
}

class CUndoFixture {
public:
    CUndoFixture() : m_Window(m_Harness.Start())
    {
        m_sPath = m_Harness.Dir().File("undo.kvt");
        m_bReady = ActivateWindow(m_Window) && WriteUndoDocument(m_sPath) && m_Window.OpenFile(m_sPath.c_str());
    }
    bool Ready() const { return m_bReady; }
    TfrmMain& Window() { return m_Window; }
    CWindowHarness& Harness() { return m_Harness; }
    CKvtNodeBase* Node(const char* pPath) { return NodeAtPath(m_Window.RootNode(), pPath); }
    template <typename T> T* Get(const char* pName) { return Control<T>(m_Window, pName); }
    QAction* Undo() { return m_Harness.Action("actEditUndo"); }
    QAction* Redo() { return m_Harness.Action("actEditRedo"); }
    // The whole document, localized-string entries and binary bytes included.
    std::string State()
    {
        std::string sState = TreeOutline(m_Window.RootNode()) + LocStringEntriesText(Node("Title"));
        CKvtNodeStruct* pRoot = m_Window.RootNode();
        for (int32_t i = 0; i < pRoot->GetChildCount(); ++i) {
            if (pRoot->GetChild(i)->GetType() != ftBINARY)
                continue;
            const auto* pBinary = static_cast<CKvtNodeBINARY*>(pRoot->GetChild(i));
            for (uint32_t k = 0; pBinary->m_pData && k < pBinary->m_nDataSize; ++k)
                sState += " " + std::to_string(pBinary->m_pData[k]);
        }
        return sState;
    }
    std::string Mirror() { return FindTreeMirrorFault(m_Window.TreeModel(), m_Window.RootNode()); }
    CKvtNodeBase* Selected() { return m_Window.TreeModel().NodeAt(m_Window.SelectedItem()); }
    bool Marked() { return m_Harness.Caption().endsWith(QLatin1Char('*')); }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    std::string m_sPath;
    bool m_bReady = false;
};

} // namespace

class UndoRedoTest : public QObject {
    Q_OBJECT
private slots:
    void everyKindOfStepUndoesAndRedoes();
    void deleteAndPasteKeepTheirSubtreesAndItems();
    void undoSelectsTheChangedNodeThroughARebuild();
    void captionFollowsTheCleanState();
    void menuNamesTheStepsAndFollowsTheStack();
    void pendingTextIsAppliedBeforeUndo();
    void undoAfterAFailedSave();
    void openAndNewClearTheSteps();
};

void UndoRedoTest::everyKindOfStepUndoesAndRedoes()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    auto* pValue = f.Get<QPlainTextEdit>("eValue");
    auto* pLabel = f.Get<QLineEdit>("eFieldID");
    auto* pType = f.Get<QLineEdit>("eNType");
    auto* pLanguages = f.Get<QComboBox>("cbLangIDs");
    auto* pMemo = f.Get<QPlainTextEdit>("mOroLocStringValue");
    // Each step: the Undo item's text after it, the node Undo selects (the
    // one changed; for an insertion its parent) and what the user does.
    struct Step {
        const char* pUndoText;
        const char* pSelected;
        std::function<void()> act;
    };
    const Step steps[] = {
        {"Undo Edit Value of Flag", "Flag",
         [&] {
             ClickItem(window, f.Node("Flag"));
             TypeInto(pValue, "7");
             ClickInto(pLabel);
         }},
        {"Undo Edit Label of Apex", "Holder/A",
         [&] {
             ClickItem(window, f.Node("Holder/A"));
             TypeInto(pLabel, "Apex");
             PressEnter(pLabel);
         }},
        {"Undo Edit Label of Bits", "Blob",
         [&] {
             ClickItem(window, f.Node("Blob"));
             TypeInto(pLabel, "Bits");
             PressEnter(pLabel);
         }},
        {"Undo Edit Struct ID of Holder", "Holder",
         [&] {
             ClickItem(window, f.Node("Holder"));
             TypeInto(pType, "0x2a");
             ClickInto(pLabel);
         }},
        {"Undo Edit Type and Version", "",
         [&] {
             ClickItem(window, window.RootNode());
             ClickInto(pValue);
             pValue->setPlainText("WXYZ\nV3.3");
             ClickInto(pLabel);
         }},
        {"Undo Store Language 2 of Title", "Title",
         [&] {
             ClickItem(window, f.Node("Title"));
             pLanguages->setCurrentIndex(1);
             TypeInto(pMemo, "Servus");
             ClickInto(pLabel);
         }},
        {"Undo Store Language 3 of Title", "Title",
         [&] {
             ClickItem(window, f.Node("Title"));
             TypeInto(pLanguages, "3");
             PressEnter(pLanguages);
             ClickInto(pLabel);
         }},
        {"Undo Delete Language 0 of Title", "Title",
         [&] {
             ClickItem(window, f.Node("Title"));
             QTest::mouseClick(f.Get<QPushButton>("bOroLocStringDelete"), Qt::LeftButton);
         }},
        {"Undo Add [INT]", "Holder",
         [&] {
             RightClickItem(window, f.Node("Holder"));
             window.findChild<QAction*>("Add5")->trigger();
         }},
        {"Undo Paste Node", "Items",
         [&] {
             ClickItem(window, f.Node("Items/#1"));
             QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_C, Qt::ControlModifier);
             ClickItem(window, f.Node("Items"));
             QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_V, Qt::ControlModifier);
         }},
        {"Undo Delete Node", "Holder/B",
         [&] {
             ClickItem(window, f.Node("Holder/B"));
             QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_Delete);
         }},
    };
    for (const Step& step : steps) {
        const std::string sBefore = f.State();
        step.act();
        const std::string sAfter = f.State();
        QVERIFY2(sAfter != sBefore, step.pUndoText);
        QCOMPARE(f.Undo()->text(), QString::fromLatin1(step.pUndoText));
        f.Undo()->trigger();
        QVERIFY2(f.State() == sBefore, step.pUndoText);
        QVERIFY2(f.Mirror().empty(), f.Mirror().c_str());
        QVERIFY2(f.Selected() == f.Node(step.pSelected), step.pUndoText);
        f.Redo()->trigger();
        QVERIFY2(f.State() == sAfter, step.pUndoText);
        QVERIFY2(f.Mirror().empty(), f.Mirror().c_str());
        QVERIFY(f.Marked());
    }
    // Every step undone gives the document as it was opened.
    const std::string sLast = f.State();
    while (f.Undo()->isEnabled())
        f.Undo()->trigger();
    CKvtNodeTopLevelStruct opened;
    QVERIFY(opened.LoadDocument(f.Harness().Dir().File("undo.kvt").c_str()));
    QCOMPARE(TreeOutline(window.RootNode()), TreeOutline(&opened));
    QVERIFY(!f.Marked());
    while (f.Redo()->isEnabled())
        f.Redo()->trigger();
    QVERIFY(f.State() == sLast);
    QVERIFY(f.Mirror().empty());
}

void UndoRedoTest::deleteAndPasteKeepTheirSubtreesAndItems()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QTreeView* pTree = f.Get<QTreeView>("tvKVT");
    CKvtNodeBase* pItems = f.Node("Items");
    CKvtNodeBase* pElement = f.Node("Items/#1");
    // With items of its own under it.
    window.TreeModel().EnsureChildren(ItemOf(window, pElement));
    const int64_t nItems = window.TreeModel().ItemCount();
    const int nRow = ItemOf(window, pElement).row();
    ClickItem(window, pElement);
    QTest::keyClick(pTree, Qt::Key_Delete);
    QCOMPARE(pItems->GetStructNode()->GetChildCount(), 2);
    QVERIFY(window.TreeModel().ItemCount() < nItems);
    f.Undo()->trigger();
    // The very nodes come back, at their place, with the items they had.
    QCOMPARE(pItems->GetStructNode()->GetChild(1), pElement);
    QCOMPARE(window.TreeModel().ItemCount(), nItems);
    QCOMPARE(ItemOf(window, pElement).row(), nRow);
    QCOMPARE(f.Selected(), pElement);

    // A pasted subtree is the one that comes back on Redo; the clipboard is
    // left alone.
    QTest::keyClick(pTree, Qt::Key_C, Qt::ControlModifier);
    CKvtNodeBase* pClipboard = window.ClipboardNode();
    ClickItem(window, pItems);
    QTest::keyClick(pTree, Qt::Key_V, Qt::ControlModifier);
    CKvtNodeBase* pPasted = pItems->GetStructNode()->GetChild(3);
    f.Undo()->trigger();
    QCOMPARE(pItems->GetStructNode()->GetChildCount(), 3);
    QCOMPARE(f.Selected(), pItems);
    f.Redo()->trigger();
    QCOMPARE(pItems->GetStructNode()->GetChild(3), pPasted);
    QCOMPARE(f.Selected(), pPasted);
    QCOMPARE(window.ClipboardNode(), pClipboard);
    QVERIFY(f.Mirror().empty());
}

void UndoRedoTest::undoSelectsTheChangedNodeThroughARebuild()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pId = f.Node("Items/#2/Id");
    ClickItem(window, pId);
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("99"));
    ClickItem(window, f.Node("Flag"));
    // Preview makes the view anew: only the way to the selected node has
    // items, the edited one has none.
    f.Harness().Action("miPreviewDataInTree")->trigger();
    QCOMPARE(f.Selected(), f.Node("Flag"));
    QVERIFY(!f.Get<QTreeView>("tvKVT")->isExpanded(ItemOf(window, f.Node("Items"))));
    f.Undo()->trigger();
    QCOMPARE(f.Selected(), pId);
    QVERIFY(f.Get<QTreeView>("tvKVT")->isExpanded(ItemOf(window, f.Node("Items/#2"))));
    QCOMPARE(MemoShows(f.Get<QPlainTextEdit>("eValue")), QStringLiteral("3"));
    QVERIFY(f.Mirror().empty());
}

void UndoRedoTest::captionFollowsTheCleanState()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QAction* pSave = f.Harness().Action("actFileSave");
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("2"));
    ClickInto(f.Get<QLineEdit>("eFieldID"));
    QVERIFY(f.Marked());
    f.Undo()->trigger();
    QVERIFY(!f.Marked());
    QVERIFY(!window.IsModified());
    QVERIFY(!pSave->isEnabled());
    f.Redo()->trigger();
    QVERIFY(f.Marked());
    pSave->trigger();
    QVERIFY(!f.Marked());
    // Undoing past the save changes the document again.
    f.Undo()->trigger();
    QVERIFY(f.Marked());
    QVERIFY(pSave->isEnabled());
    // New asks to save it, and No leaves the file as saved.
    f.Harness().Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    f.Harness().Action("actFileNew")->trigger();
    QCOMPARE(f.Harness().Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(f.Harness().Dialogs().Boxes()[0].sText, std::string("Do you wish to save the current file?"));
    CKvtNodeTopLevelStruct saved;
    QVERIFY(saved.LoadDocument(f.Harness().Dir().File("undo.kvt").c_str()));
    QCOMPARE(static_cast<CKvtNodeBYTE*>(NodeAtPath(&saved, "Flag"))->m_Value, uint8_t(2));
}

void UndoRedoTest::menuNamesTheStepsAndFollowsTheStack()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    const QList<QAction*> items = f.Get<QMenu>("miEdit")->actions();
    QCOMPARE(items.value(0)->objectName(), QStringLiteral("miEditUndo"));
    QCOMPARE(items.value(1)->objectName(), QStringLiteral("miEditRedo"));
    QVERIFY(items.value(2)->isSeparator());
    QCOMPARE(f.Undo()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(f.Redo()->shortcuts(),
             (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}));
    QVERIFY(!f.Undo()->statusTip().isEmpty() && !f.Redo()->statusTip().isEmpty());
    QCOMPARE(f.Undo()->text(), QStringLiteral("Undo"));
    QVERIFY(!f.Undo()->isEnabled() && !f.Redo()->isEnabled());

    ClickItem(window, f.Node("Holder/C"));
    QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_Delete);
    QCOMPARE(f.Undo()->text(), QStringLiteral("Undo Delete Node"));
    QVERIFY(f.Undo()->isEnabled() && !f.Redo()->isEnabled());
    // The keys reach the actions from the tree.
    QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.Node("Holder/C"));
    QCOMPARE(f.Redo()->text(), QStringLiteral("Redo Delete Node"));
    QCOMPARE(f.Undo()->text(), QStringLiteral("Undo"));
    QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(!f.Node("Holder/C"));
    // A new step after an Undo drops what could have been redone.
    f.Undo()->trigger();
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.Get<QLineEdit>("eFieldID"), QStringLiteral("R&D"));
    PressEnter(f.Get<QLineEdit>("eFieldID"));
    QCOMPARE(f.Undo()->text(), QStringLiteral("Undo Edit Label of R&&D"));
    QVERIFY(!f.Redo()->isEnabled());
    QCOMPARE(f.Redo()->text(), QStringLiteral("Redo"));
}

void UndoRedoTest::pendingTextIsAppliedBeforeUndo()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    auto* pFlag = static_cast<CKvtNodeBYTE*>(f.Node("Flag"));
    auto* pValue = f.Get<QPlainTextEdit>("eValue");
    ClickItem(window, pFlag);
    TypeInto(pValue, QStringLiteral("5"));
    PressEnter(pValue);
    TypeInto(pValue, QStringLiteral("6"));
    // Still typed only: Undo applies it as a step, then takes that step back.
    f.Undo()->trigger();
    QCOMPARE(pFlag->m_Value, uint8_t(5));
    QCOMPARE(MemoShows(pValue), QStringLiteral("5"));
    QCOMPARE(f.Redo()->text(), QStringLiteral("Redo Edit Value of Flag"));
    f.Redo()->trigger();
    QCOMPARE(pFlag->m_Value, uint8_t(6));
    // Typed again, then Redo: the typed step comes first and leaves nothing
    // to redo.
    f.Undo()->trigger();
    TypeInto(pValue, QStringLiteral("7"));
    f.Redo()->trigger();
    QCOMPARE(pFlag->m_Value, uint8_t(7));
    QVERIFY(!f.Redo()->isEnabled());
    QCOMPARE(f.Undo()->text(), QStringLiteral("Undo Edit Value of Flag"));
}

void UndoRedoTest::undoAfterAFailedSave()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("3"));
    ClickInto(f.Get<QLineEdit>("eFieldID"));
    SetFileRenameFault(true);
    f.Harness().Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
    f.Harness().Action("actFileSave")->trigger();
    SetFileRenameFault(false);
    QCOMPARE(f.Harness().Dialogs().Boxes().size(), size_t(1));
    QVERIFY(f.Marked());
    // The failed save moved nothing: undoing the edit is back at the file.
    f.Undo()->trigger();
    QVERIFY(!f.Marked());
    QVERIFY(!f.Harness().Action("actFileSave")->isEnabled());
    f.Redo()->trigger();
    QVERIFY(f.Marked());
}

void UndoRedoTest::openAndNewClearTheSteps()
{
    CUndoFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, f.Node("Holder/C"));
    QTest::keyClick(f.Get<QTreeView>("tvKVT"), Qt::Key_Delete);
    f.Harness().Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    f.Harness().Action("actFileNew")->trigger();
    QVERIFY(!f.Undo()->isEnabled());
    // A new document counts as changed until saved, whatever Undo does.
    QVERIFY(window.IsModified());
    QCOMPARE(f.Harness().Caption(), CWindowHarness::Title(" - [New File]"));
    QVERIFY(window.OpenFile(f.Harness().Dir().File("undo.kvt").c_str()));
    QVERIFY(!f.Undo()->isEnabled());
    QVERIFY(!window.IsModified());
}

KVT_WINDOW_TEST_MAIN(UndoRedoTest)

#include "UndoRedoTest.moc"
