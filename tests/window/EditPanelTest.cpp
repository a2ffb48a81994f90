// The node value edit panel driven through its real controls: what selecting
// a node shows, applying by leaving a box, by Enter and by moving the
// selection, the label check, the beep, the modified flag and Hex Data.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextCursor>

#include "KVTPanelText.h"
#include "KVTTreeModel.h"
#include "PanelTestSupport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "bcglobal.h"

namespace {

// Root ABCD/V3.2 with one field of each kind the tests need, a struct with
// three fields, a second struct, a list with one element, and a binary.
bool WritePanelDocument(const std::string& sPath)
{
    return WriteDocument(
        sPath,
        [](CKvtNodeTopLevelStruct& root) {
            AddNode(&root, ftBYTE, "Flag", "1");
            AddNode(&root, ftINT, "Count", "-1");
            AddNode(&root, ftDWORD, "Mask", "255");
            AddNode(&root, ftFLOAT, "Ratio", "1.5");
            AddNode(&root, ftSTRING, "Name", "Sword");
            AddNode(&root, ftRESREF, "Res", "sword01");
            AddNode(&root, ftBINARY, "Blob");
            CKvtNodeBase* pTitle = AddNode(&root, ftLOCSTRING, "Title", "12");
            static_cast<CKvtNodeLOCSTRING*>(pTitle)->m_Value.AddString(0, "Hello", 0);
            CKvtNodeBase* pInner = AddNode(&root, ftSTRUCT, "Inner");
            pInner->SetStructID(7);
            AddNode(pInner->GetStructNode(), ftBYTE, "Alpha", "1");
            AddNode(pInner->GetStructNode(), ftBYTE, "Beta", "2");
            AddNode(pInner->GetStructNode(), ftBYTE, "Last", "3");
            CKvtNodeBase* pOther = AddNode(&root, ftSTRUCT, "Other");
            pOther->SetStructID(8);
            AddNode(pOther->GetStructNode(), ftBYTE, "Gamma", "4");
            CKvtNodeStruct* pItems = AddNode(&root, ftLIST, "Items")->GetStructNode();
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = 0;
            pElement->SetStructID(3);
            pItems->AddChild(pElement);
            AddNode(pElement->GetStructNode(), ftSTRING, "Label", "first");
        },
        "ABCD");
}

// A window with the panel document open and active.
class CPanelFixture {
public:
    CPanelFixture() : m_Window(m_Harness.Start())
    {
        m_bReady = ActivateWindow(m_Window) && WritePanelDocument(m_Harness.Dir().File("panel.kvt")) &&
                   m_Window.OpenFile(m_Harness.Dir().File("panel.kvt").c_str());
    }
    bool Ready() const { return m_bReady; }
    TfrmMain& Window() { return m_Window; }
    CKvtScriptedDialogs& Dialogs() { return m_Harness.Dialogs(); }
    CKvtNodeBase* Node(const char* pPath) { return NodeAtPath(m_Window.RootNode(), pPath); }
    template <typename T> T* Get(const char* pName) { return Control<T>(m_Window, pName); }
    QString Box(const char* pName) { return Get<QLineEdit>(pName)->text(); }
    QString Value() { return MemoShows(Get<QPlainTextEdit>("eValue")); }
    QString Caption(CKvtNodeBase* pNode) { return m_Window.TreeModel().data(ItemOf(m_Window, pNode)).toString(); }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    bool m_bReady = false;
};

const QChar kBreak(0x2029);

} // namespace

class EditPanelTest : public QObject {
    Q_OBJECT
private slots:
    void rootShowsTypeVersionAndHelp();
    void structIdTakesDecimalAndHexPrefixes();
    void listShowsItsTypeAndListName();
    void labelCheckRefusesLongAndSiblingLabels();
    void enterInTheLabelBoxApplies();
    void byteTakesTheLowBitsAndBeeps();
    void movingOnWithoutTypingChangesNothing();
    void hexDataShowsIntegersInHex();
    void enterInAStringValueAppliesThenBreaksTheLine();
    void pagesFollowTheSelectedNode();
    void noSelectionEmptiesTheBoxes();
};

void EditPanelTest::rootShowsTypeVersionAndHelp()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, window.RootNode());
    QCOMPARE(window.SelectedItem(), window.TreeModel().RootIndex());
    QCOMPARE(f.Box("eNType"), QStringLiteral("0xffffffff"));
    QCOMPARE(f.Get<QLabel>("lType")->text(), QStringLiteral("<TOP LEVEL STRUCT>"));
    QCOMPARE(f.Box("eNIndex"), QStringLiteral("-1"));
    QCOMPARE(f.Box("eFieldID"), QString());
    QCOMPARE(f.Value(), QStringLiteral("ABCD") + kBreak + QStringLiteral("V3.2"));
    QCOMPARE(f.Get<QLabel>("lFormatHelp")->text(),
             QStringLiteral("Data format: 1st line: 4 chars FileType.  2nd line:\n4 chars Version."));
    QVERIFY(f.Get<QLineEdit>("eNType")->isReadOnly());
    // The root keeps the label caption it had.
    QCOMPARE(f.Get<QLabel>("lFieldID")->text(), QStringLiteral("Field ID:"));
    QTabWidget* pPages = f.Get<QTabWidget>("pcDataPage");
    QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("tsFieldTab"));
    QVERIFY(pPages->isTabVisible(0) && !pPages->isTabVisible(1) && !pPages->isTabVisible(2));
    // The root can be neither copied nor deleted; something can be pasted into it.
    QVERIFY(!window.findChild<QAction*>("actNodeDelete")->isEnabled());
    QVERIFY(!window.findChild<QAction*>("actNodeCopy")->isEnabled());
    QVERIFY(window.findChild<QAction*>("actNodePaste")->isEnabled());

    // Editing the two lines sets the file type and the version.
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("EFGH"));
    QTest::keyClick(f.Get<QPlainTextEdit>("eValue"), Qt::Key_Return);
    QTest::keyClicks(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("V3.3"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(window.RootNode()->m_sFileType, COroString("EFGH"));
    QCOMPARE(window.RootNode()->m_sVersion, COroString("V3.3"));
    QVERIFY(window.IsModified());
    QVERIFY(f.Caption(window.RootNode()).endsWith(QStringLiteral("Type:EFGH Ver:V3.3")));
}

void EditPanelTest::structIdTakesDecimalAndHexPrefixes()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pInner = f.Node("Inner");
    ClickItem(window, pInner);
    QLineEdit* pType = f.Get<QLineEdit>("eNType");
    QCOMPARE(pType->text(), QStringLiteral("0x00000007"));
    QVERIFY(!pType->isReadOnly());
    QCOMPARE(f.Get<QLabel>("lType")->text(), QStringLiteral("<User Defined>"));
    QCOMPARE(f.Get<QLabel>("lFieldID")->text(), QStringLiteral("Field ID: "));

    QLineEdit* pLabel = f.Get<QLineEdit>("eFieldID");
    struct Case {
        const char* pTyped;
        uint32_t nExpected;
    };
    // Each text is typed over the box, and the box is left for the label box.
    for (const Case& c : {Case{"42", 42}, Case{"5", 5}, Case{"0x2a", 42}, Case{"5", 5}, Case{"$2A", 42},
                          Case{"4x2", 42}, Case{"  -1", 0xFFFFFFFFu}, Case{"0x2a ", 0xFFFFFFFFu}}) {
        TypeInto(pType, QString::fromLatin1(c.pTyped));
        ClickInto(pLabel);
        QCOMPARE(pInner->GetStructID(), c.nExpected);
        QCOMPARE(pType->text(), QString::fromStdString(FormatTypeBoxText(c.nExpected)));
    }
    QVERIFY(f.Caption(pInner).contains(QStringLiteral("[User-defined Struct: -1]")));
    // Every text above reads back differently from how it was typed.
    QCOMPARE(f.Dialogs().Beeps(), 8);
    QVERIFY(window.IsModified());
}

void EditPanelTest::listShowsItsTypeAndListName()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    ClickItem(f.Window(), f.Node("Items"));
    QCOMPARE(f.Box("eNType"), QStringLiteral("0x0000000f"));
    QCOMPARE(f.Get<QLabel>("lType")->text(), QStringLiteral("<LIST>"));
    QCOMPARE(f.Get<QLabel>("lFieldID")->text(), QStringLiteral("List Name: "));
    QVERIFY(f.Get<QLineEdit>("eNType")->isReadOnly());
    QCOMPARE(f.Box("eFieldID"), QStringLiteral("Items"));
    QCOMPARE(f.Value(), QString());
    QCOMPARE(f.Get<QLabel>("lFormatHelp")->text(), QStringLiteral("Data format: No settings available."));

    // Its element is a struct again, labelled by nothing and indexed 0.
    ClickItem(f.Window(), f.Node("Items/#0"));
    QCOMPARE(f.Get<QLabel>("lFieldID")->text(), QStringLiteral("Field ID: "));
    QCOMPARE(f.Box("eNType"), QStringLiteral("0x00000003"));
    QCOMPARE(f.Box("eNIndex"), QStringLiteral("0"));
    QCOMPARE(f.Box("eFieldID"), QString());
    QVERIFY(!f.Window().IsModified());
    QCOMPARE(f.Dialogs().Beeps(), 0);
}

void EditPanelTest::labelCheckRefusesLongAndSiblingLabels()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pAlpha = f.Node("Inner/Alpha");
    ClickItem(window, pAlpha);
    QLineEdit* pLabel = f.Get<QLineEdit>("eFieldID");
    QLineEdit* pType = f.Get<QLineEdit>("eNType");

    // 17 characters, a sibling's label in other case, the last sibling's.
    int nBoxes = 0;
    for (const char* pRefused : {"ABCDEFGHIJKLMNOPQ", "bETA", "LAST"}) {
        TypeInto(pLabel, QString::fromLatin1(pRefused));
        ClickInto(pType);
        ++nBoxes;
        QCOMPARE(f.Dialogs().Boxes().size(), size_t(nBoxes));
        const KvtMessageBox_st& box = f.Dialogs().Boxes().back();
        QCOMPARE(box.sText, std::string("Invalid value.  Please enter another value."));
        QCOMPARE(box.nIcon, TKvtBoxIcon::None);
        QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
        QCOMPARE(box.sTitle, std::string(g_sTitle.CStr()));
        QCOMPARE(pAlpha->m_sLabel, COroString("Alpha"));
        QCOMPARE(pLabel->text(), QStringLiteral("Alpha"));
        QCOMPARE(pLabel->cursorPosition(), 5);
    }
    QVERIFY(f.Caption(pAlpha).startsWith(QStringLiteral("Alpha ")));

    // Sixteen characters, and a label used in another struct, are fine.
    TypeInto(pLabel, QStringLiteral("ABCDEFGHIJKLMNOP"));
    ClickInto(pType);
    QCOMPARE(pAlpha->m_sLabel, COroString("ABCDEFGHIJKLMNOP"));
    TypeInto(pLabel, QStringLiteral("gamma"));
    ClickInto(pType);
    QCOMPARE(pAlpha->m_sLabel, COroString("gamma"));
    QCOMPARE(f.Dialogs().Boxes().size(), size_t(3));
    QVERIFY(f.Caption(pAlpha).startsWith(QStringLiteral("gamma ")));
    QVERIFY(window.IsModified());
}

void EditPanelTest::enterInTheLabelBoxApplies()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pFlag = f.Node("Flag");
    ClickItem(window, pFlag);
    QLineEdit* pLabel = f.Get<QLineEdit>("eFieldID");
    TypeInto(pLabel, QStringLiteral("Banner"));
    QCOMPARE(pFlag->m_sLabel, COroString("Flag"));
    PressEnter(pLabel);
    // Applied while the box keeps the focus.
    QVERIFY(pLabel->hasFocus());
    QCOMPARE(pFlag->m_sLabel, COroString("Banner"));
    QVERIFY(f.Caption(pFlag).startsWith(QStringLiteral("Banner ")));
    QVERIFY(window.IsModified());
    QVERIFY(window.windowTitle().endsWith(QLatin1Char('*')));
    QCOMPARE(f.Dialogs().Beeps(), 0);
}

void EditPanelTest::byteTakesTheLowBitsAndBeeps()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pFlag = f.Node("Flag");
    ClickItem(window, pFlag);
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("300"));
    QVERIFY(!window.IsModified());
    // Moving the selection applies the panel to the node being left.
    ClickItem(window, f.Node("Count"));
    QCOMPARE(f.Dialogs().Beeps(), 1);
    QCOMPARE(static_cast<CKvtNodeBYTE*>(pFlag)->m_Value, uint8_t(44));
    QVERIFY(window.IsModified());
    QVERIFY(f.Caption(pFlag).endsWith(QStringLiteral("= 44")));
    QCOMPARE(f.Value(), QStringLiteral("-1"));
    ClickItem(window, pFlag);
    QCOMPARE(f.Value(), QStringLiteral("44"));
    QCOMPARE(f.Dialogs().Beeps(), 1);

    // Letters are refused: the value stays, the panel shows it again.
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("abc"));
    ClickInto(f.Get<QLineEdit>("eFieldID"));
    QCOMPARE(f.Dialogs().Beeps(), 2);
    QCOMPARE(static_cast<CKvtNodeBYTE*>(pFlag)->m_Value, uint8_t(44));
    QCOMPARE(f.Value(), QStringLiteral("44"));
}

void EditPanelTest::movingOnWithoutTypingChangesNothing()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    // Every node whose edit text reads back as itself, the root included.
    // (A localized string is left through its page, which stores its text.)
    for (const char* pPath : {"", "Flag", "Count", "Mask", "Ratio", "Name", "Res", "Inner", "Inner/Alpha", "Other",
                              "Items", "Items/#0", "Items/#0/Label", ""}) {
        ClickItem(window, f.Node(pPath));
        QVERIFY2(window.TreeModel().NodeAt(window.SelectedItem()) == f.Node(pPath), pPath);
        // The label box and the value memo are visited too.
        ClickInto(f.Get<QLineEdit>("eFieldID"));
        ClickInto(f.Get<QPlainTextEdit>("eValue"));
        QVERIFY2(f.Get<QPlainTextEdit>("eValue")->hasFocus(), pPath);
    }
    QCOMPARE(f.Dialogs().Beeps(), 0);
    QVERIFY(!window.IsModified());
    QVERIFY(f.Dialogs().Boxes().empty());

    // A binary value cannot be set from text: leaving it beeps, but nothing
    // was typed, so the document stays unmodified.
    ClickItem(window, f.Node("Blob"));
    QTabWidget* pPages = f.Get<QTabWidget>("pcDataPage");
    QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("tsBinaryTab"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(f.Dialogs().Beeps(), 1);
    QVERIFY(!window.IsModified());

    // So does the root of a new document: its empty type and version do not
    // read back as they are shown.
    window.findChild<QAction*>("actFileNew")->trigger();
    ClickItem(window, window.RootNode());
    QCOMPARE(f.Dialogs().Beeps(), 1);
    window.SelectItem(QModelIndex());
    QCOMPARE(f.Dialogs().Beeps(), 2);
}

void EditPanelTest::hexDataShowsIntegersInHex()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QAction* pHex = window.findChild<QAction*>("miHexView");
    QVERIFY(!pHex->isChecked());
    CKvtNodeBase* pCount = f.Node("Count");
    ClickItem(window, pCount);
    QCOMPARE(f.Value(), QStringLiteral("-1"));
    pHex->trigger();
    QVERIFY(pHex->isChecked());
    // Re-selected, the node is shown again under the new setting.
    QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), pCount);
    QCOMPARE(f.Value(), QStringLiteral("0xffffffffffffffff"));
    // Toggling applied the panel to the node: nothing was typed, but the
    // node now shows differently, which beeps.
    QVERIFY(!window.IsModified());
    QCOMPARE(f.Dialogs().Beeps(), 1);

    // Leaving the integer shown in hex reads the text back: the same value,
    // so the document is as it was.
    ClickItem(window, f.Node("Mask"));
    QCOMPARE(static_cast<CKvtNodeINT*>(pCount)->m_Value, -1);
    QVERIFY(!window.IsModified());
    QCOMPARE(f.Value(), QStringLiteral("0xff"));
    ClickItem(window, f.Node("Ratio"));
    QCOMPARE(static_cast<CKvtNodeDWORD*>(f.Node("Mask"))->m_Value, 255u);
    QCOMPARE(f.Value(), QStringLiteral("1.500000000000"));
    ClickItem(window, f.Node("Name"));
    QCOMPARE(f.Value(), QStringLiteral("Sword"));
    QCOMPARE(f.Dialogs().Beeps(), 1);

    // Typing a hex value into the hex view stores it.
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(f.Value(), QStringLiteral("0x1"));
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("0x7f"));
    ClickInto(f.Get<QLineEdit>("eFieldID"));
    QCOMPARE(static_cast<CKvtNodeBYTE*>(f.Node("Flag"))->m_Value, uint8_t(127));
    QCOMPARE(f.Dialogs().Beeps(), 1);

    pHex->trigger();
    QVERIFY(!pHex->isChecked());
    QCOMPARE(f.Value(), QStringLiteral("127"));
    QCOMPARE(f.Dialogs().Beeps(), 2);
}

void EditPanelTest::enterInAStringValueAppliesThenBreaksTheLine()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pName = f.Node("Name");
    ClickItem(window, pName);
    QPlainTextEdit* pValue = f.Get<QPlainTextEdit>("eValue");
    ClickInto(pValue);
    QTest::keyClick(pValue, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(pValue, QStringLiteral("fish"));
    PressEnter(pValue);
    // The text typed so far is applied, then the line breaks at the caret.
    QCOMPARE(static_cast<CKvtNodeSTRING*>(pName)->m_Value, COroString("Swordfish"));
    QVERIFY(window.IsModified());
    QCOMPARE(f.Value(), QStringLiteral("Swordfish") + kBreak);
    QCOMPARE(pValue->textCursor().position(), 10);
    QTest::keyClicks(pValue, QStringLiteral("Blade"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(static_cast<CKvtNodeSTRING*>(pName)->m_Value, COroString("Swordfish\r\nBlade"));
    QCOMPARE(f.Dialogs().Beeps(), 0);

    // Enter in the middle: the caret stays where it was, the break lands there.
    ClickItem(window, pName);
    ClickInto(pValue);
    QTest::keyClick(pValue, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(pValue, Qt::Key_Right);
    PressEnter(pValue);
    QCOMPARE(f.Value(), QStringLiteral("Sword") + kBreak + QStringLiteral("fish") + kBreak + QStringLiteral("Blade"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(static_cast<CKvtNodeSTRING*>(pName)->m_Value, COroString("Sword\r\nfish\r\nBlade"));

    // A lone line feed or carriage return in a value reads back as itself.
    static_cast<CKvtNodeSTRING*>(pName)->m_Value = "a\nb\rc";
    ClickItem(window, pName);
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(static_cast<CKvtNodeSTRING*>(pName)->m_Value, COroString("a\nb\rc"));
    QCOMPARE(f.Dialogs().Beeps(), 0);
}

void EditPanelTest::pagesFollowTheSelectedNode()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QTabWidget* pPages = f.Get<QTabWidget>("pcDataPage");
    struct Case {
        const char* pPath;
        int nPage;
    };
    for (const Case& c : {Case{"Title", 1}, Case{"Blob", 2}, Case{"Flag", 0}, Case{"Title", 1}, Case{"", 0}}) {
        ClickItem(window, f.Node(c.pPath));
        QCOMPARE(pPages->currentIndex(), c.nPage);
        for (int nTab = 0; nTab < 3; ++nTab)
            QCOMPARE(pPages->isTabVisible(nTab), nTab == c.nPage);
    }
    // The label box is editable under a parent; the type box only for structs.
    ClickItem(window, f.Node("Title"));
    QVERIFY(!f.Get<QLineEdit>("eFieldID")->isReadOnly());
    QVERIFY(f.Get<QLineEdit>("eNType")->isReadOnly());
    QCOMPARE(f.Get<QLabel>("lType")->text(), QStringLiteral("COroLocString"));
    QCOMPARE(f.Box("eNType"), QStringLiteral("0x0000000c"));
    QCOMPARE(f.Get<QLineEdit>("eNType")->palette().color(QPalette::Base),
             f.Get<QLineEdit>("eNType")->palette().color(QPalette::Button));
    ClickItem(window, f.Node("Other"));
    QVERIFY(!f.Get<QLineEdit>("eNType")->isReadOnly());
    QVERIFY(f.Get<QLineEdit>("eNType")->palette().color(QPalette::Base) !=
            f.Get<QLineEdit>("eNType")->palette().color(QPalette::Button));
    // Only the binary node, whose value cannot be set from text, beeped.
    QCOMPARE(f.Dialogs().Beeps(), 1);
}

void EditPanelTest::noSelectionEmptiesTheBoxes()
{
    CPanelFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, f.Node("Count"));
    TypeInto(f.Get<QPlainTextEdit>("eValue"), QStringLiteral("5"));
    window.SelectItem(QModelIndex());
    // The node being left got what was typed; then the boxes were emptied.
    QCOMPARE(static_cast<CKvtNodeINT*>(f.Node("Count"))->m_Value, 5);
    for (const char* pBox : {"eNType", "eFieldID", "eNIndex"})
        QVERIFY2(f.Box(pBox).isEmpty(), pBox);
    QCOMPARE(f.Value(), QString());
    QCOMPARE(f.Get<QLabel>("lType")->text(), QString());
    // With nothing selected, leaving a box applies nothing.
    TypeInto(f.Get<QLineEdit>("eFieldID"), QStringLiteral("Stray"));
    ClickInto(f.Get<QPlainTextEdit>("eValue"));
    QCOMPARE(f.Node("Stray"), nullptr);
    QVERIFY(!window.findChild<QAction*>("actNodeCopy")->isEnabled());
    QVERIFY(!window.findChild<QAction*>("actNodePaste")->isEnabled());
}

KVT_WINDOW_TEST_MAIN(EditPanelTest)

#include "EditPanelTest.moc"
