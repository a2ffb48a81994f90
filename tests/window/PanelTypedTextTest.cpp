// What the panel does with text the user typed, and with text the user did
// not type: looking at a node changes nothing, commands on the whole document
// apply what was typed first, a rebuilt tree keeps showing the node, the
// localized-string page follows the focus, and Enter in a number's value.

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <cfloat>
#include <cstring>
#include <functional>

#include "KVTTreeModel.h"
#include "Kvtoptions.h"
#include "PanelTestSupport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

const char* const kAskSaveText = "Do you wish to save the current file?";
const char* const kInvalidLabelText = "Invalid value.  Please enter another value.";

// Floats whose "%.12f" text does not read back as themselves.
const float kSmallFloats[] = {1e-20f, FLT_MIN, 1.23456778e-06f};

bool WriteTypedTextDocument(const std::string& sPath)
{
    return WriteDocument(
        sPath,
        [](CKvtNodeTopLevelStruct& root) {
            AddNode(&root, ftBYTE, "Flag", "1");
            AddNode(&root, ftBYTE, "Other", "2");
            AddNode(&root, ftSTRING, "Name", "Sword");
            int nFloat = 0;
            for (const float fValue : kSmallFloats) {
                const std::string sLabel = "Small" + std::to_string(nFloat++);
                static_cast<CKvtNodeFLOAT*>(AddNode(&root, ftFLOAT, sLabel.c_str()))->m_Value = fValue;
            }
            CKvtNodeBase* pInner = AddNode(&root, ftSTRUCT, "Inner");
            AddNode(pInner->GetStructNode(), ftBYTE, "Deep", "5");
            for (const char* pLabel : {"TitleA", "TitleB"}) {
                auto* pTitle = static_cast<CKvtNodeLOCSTRING*>(AddNode(&root, ftLOCSTRING, pLabel, "3"));
                pTitle->m_Value.AddString(0, pLabel, 0);
                pTitle->m_Value.AddString(2, "second", 0);
            }
        },
        "ABCD");
}

class CTypedFixture {
public:
    CTypedFixture() : m_Window(m_Harness.Start())
    {
        m_sPath = m_Harness.Dir().File("typed.kvt");
        m_bReady =
            ActivateWindow(m_Window) && WriteTypedTextDocument(m_sPath) && m_Window.OpenFile(m_sPath.c_str());
    }
    bool Ready() const { return m_bReady; }
    TfrmMain& Window() { return m_Window; }
    CWindowHarness& Harness() { return m_Harness; }
    CKvtScriptedDialogs& Dialogs() { return m_Harness.Dialogs(); }
    const std::string& Path() const { return m_sPath; }
    CKvtNodeBase* Node(const char* pPath) { return NodeAtPath(m_Window.RootNode(), pPath); }
    template <typename T> T* Get(const char* pName) { return Control<T>(m_Window, pName); }
    QPlainTextEdit* ValueBox() { return Get<QPlainTextEdit>("eValue"); }
    QString Value() { return MemoShows(ValueBox()); }
    int ByteValue(const char* pPath) { return static_cast<CKvtNodeBYTE*>(Node(pPath))->m_Value; }
    bool AskedToSave()
    {
        for (const KvtMessageBox_st& box : m_Harness.Dialogs().Boxes())
            if (box.sText == kAskSaveText)
                return true;
        return false;
    }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    std::string m_sPath;
    bool m_bReady = false;
};

uint32_t FloatBits(CKvtNodeBase* pNode)
{
    uint32_t nBits = 0;
    std::memcpy(&nBits, &static_cast<CKvtNodeFLOAT*>(pNode)->m_Value, sizeof nBits);
    return nBits;
}

} // namespace

class PanelTypedTextTest : public QObject {
    Q_OBJECT
private slots:
    void lookingAtANodeChangesNothing();
    void saveAppliesTheTypedTextFirst();
    void everyDocumentCommandAppliesTheTypedTextFirst();
    void refusedLabelStopsTheCommand();
    void rebuiltTreeShowsTheSameNode();
    void locStringPageFollowsTheFocusWithoutAWindowManager();
    void enterInANumberAppliesWithoutALineBreak();
};

void PanelTypedTextTest::lookingAtANodeChangesNothing()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    for (int i = 0; i < 3; ++i) {
        const std::string sLabel = "Small" + std::to_string(i);
        CKvtNodeBase* pNode = f.Node(sLabel.c_str());
        const uint32_t nBits = FloatBits(pNode);
        ClickItem(window, pNode);
        ClickInto(f.ValueBox());
        ClickItem(window, f.Node("Flag"));
        QVERIFY2(FloatBits(pNode) == nBits, sLabel.c_str());
    }
    QVERIFY(!window.IsModified());
    QCOMPARE(f.Dialogs().Beeps(), 0);

    // A typed text is still applied by the usual rules.
    ClickItem(window, f.Node("Small0"));
    TypeInto(f.ValueBox(), QStringLiteral("0.5"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(static_cast<CKvtNodeFLOAT*>(f.Node("Small0"))->m_Value, 0.5f);
    QVERIFY(window.IsModified());

    // A new document's root shows an empty type and version; leaving it
    // twice must not make its text grow.
    f.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    window.findChild<QAction*>("actFileNew")->trigger();
    f.Dialogs().Reset();
    for (int i = 0; i < 2; ++i) {
        ClickItem(window, window.RootNode());
        ClickInto(f.ValueBox());
        window.SelectItem(QModelIndex());
    }
    QCOMPARE(window.RootNode()->m_sFileType, COroString());
    QCOMPARE(window.RootNode()->m_sVersion, COroString());
    QCOMPARE(f.Dialogs().Beeps(), 0);
}

void PanelTypedTextTest::saveAppliesTheTypedTextFirst()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    QAction* pSave = f.Harness().Action("actFileSave");
    ClickItem(window, f.Node("Flag"));
    QVERIFY(!pSave->isEnabled());
    TypeInto(f.ValueBox(), QStringLiteral("7"));
    // The focus never left the box: the typed text alone enables Save.
    QVERIFY(f.ValueBox()->hasFocus());
    QVERIFY(pSave->isEnabled());
    pSave->trigger();
    QCOMPARE(f.ByteValue("Flag"), 7);
    QVERIFY(!window.IsModified());
    QVERIFY(!pSave->isEnabled());
    QVERIFY(window.OpenFile(f.Path().c_str()));
    QCOMPARE(f.ByteValue("Flag"), 7);

    // Exit counts the typed text as a change: it asks to save, not to exit.
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.ValueBox(), QStringLiteral("9"));
    f.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    QVERIFY(!window.close());
    QCOMPARE(f.Dialogs().Boxes().back().sText, std::string(kAskSaveText));
    QCOMPARE(f.ByteValue("Flag"), 9);
}

void PanelTypedTextTest::everyDocumentCommandAppliesTheTypedTextFirst()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    g_pOptions->AddRecentFile(f.Path().c_str());
    QAction* pRecent = window.findChild<QAction*>("MRU0");
    QVERIFY(pRecent);
    const std::vector<std::pair<const char*, std::function<void()>>> commands = {
        {"New", [&]() { f.Harness().Action("actFileNew")->trigger(); }},
        {"Open", [&]() { f.Harness().Action("actFileOpen")->trigger(); }},
        {"drop", [&]() { window.WMDropFiles({COroString(f.Path().c_str())}); }},
        {"recent file", [&]() { pRecent->trigger(); }},
    };
    int nTyped = 10;
    for (const auto& [pName, run] : commands) {
        ClickItem(window, f.Node("Flag"));
        TypeInto(f.ValueBox(), QString::number(++nTyped));
        f.Dialogs().Reset();
        f.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
        run();
        QVERIFY2(f.AskedToSave(), pName);
        QVERIFY2(f.ByteValue("Flag") == nTyped, pName);
    }

    // Export writes the typed text.
    ClickItem(window, f.Node("Name"));
    TypeInto(f.ValueBox(), QStringLiteral("Axe"));
    const std::string sExport = f.Harness().Dir().File("typed.txt");
    f.Dialogs().QueueFileName(sExport);
    f.Harness().Action("actFileExport")->trigger();
    const std::vector<uint8_t> bytes = ReadFileBytes(sExport);
    QVERIFY(std::string(bytes.begin(), bytes.end()).find("Axe") != std::string::npos);
}

void PanelTypedTextTest::refusedLabelStopsTheCommand()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.Get<QLineEdit>("eFieldID"), QStringLiteral("other"));
    f.Dialogs().Reset();
    f.Harness().Action("actFileSaveAs")->trigger();
    QCOMPARE(f.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(f.Dialogs().Boxes().front().sText, std::string(kInvalidLabelText));
    QVERIFY(f.Dialogs().FileDialogs().empty());
    QCOMPARE(f.Node("Flag")->m_sLabel, COroString("Flag"));

    // So does Exit: the window stays.
    TypeInto(f.Get<QLineEdit>("eFieldID"), QStringLiteral("OTHER"));
    f.Dialogs().Reset();
    QVERIFY(!window.close());
    QCOMPARE(f.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(f.Dialogs().Boxes().front().sText, std::string(kInvalidLabelText));
}

void PanelTypedTextTest::rebuiltTreeShowsTheSameNode()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    CKvtNodeBase* pDeep = f.Node("Inner/Deep");
    ClickItem(window, pDeep);
    window.findChild<QAction*>("miPreviewDataInTree")->trigger();
    QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), pDeep);
    TypeInto(f.ValueBox(), QStringLiteral("6"));
    ClickItem(window, f.Node("Flag"));
    QCOMPARE(f.ByteValue("Inner/Deep"), 6);

    ClickItem(window, pDeep);
    f.Dialogs().QueueFileName(f.Harness().Dir().File("rebuilt.txt"));
    f.Harness().Action("actFileExport")->trigger();
    QCOMPARE(window.TreeModel().NodeAt(window.SelectedItem()), pDeep);
    QCOMPARE(f.Value(), QStringLiteral("6"));

    // Another document: nothing is selected and the panel says so.
    f.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    window.WMDropFiles({COroString(f.Path().c_str())});
    QVERIFY(!window.SelectedItem().isValid());
    QCOMPARE(f.Value(), QString());
    QCOMPARE(f.Get<QLineEdit>("eFieldID")->text(), QString());
}

void PanelTypedTextTest::locStringPageFollowsTheFocusWithoutAWindowManager()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    auto* pMemo = f.Get<QPlainTextEdit>("mOroLocStringValue");
    ClickItem(window, f.Node("TitleA"));
    ClickInto(f.Get<QLineEdit>("eFieldID"));
    QVERIFY(window.IsLocStrEditing());
    // Another window takes the activation (no window manager tells the
    // editor's boxes that they lost the focus to it), and meanwhile the
    // selection moves in the inactive editor.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    ClickItem(window, f.Node("TitleB"));
    QVERIFY(!window.IsLocStrEditing());
    QCOMPARE(MemoShows(pMemo), QStringLiteral("TitleB"));
    QVERIFY(ActivateWindow(window));
    ClickItem(window, f.Node("Flag"));
    // Storing moves the language to the end; both are still there.
    QCOMPARE(EntryLanguages(f.Node("TitleB")).size(), 2);
    QCOMPARE(EntryText(f.Node("TitleB"), 0), QStringLiteral("TitleB"));
    QCOMPARE(EntryText(f.Node("TitleB"), 2), QStringLiteral("second"));
}

void PanelTypedTextTest::enterInANumberAppliesWithoutALineBreak()
{
    CTypedFixture f;
    QVERIFY(f.Ready());
    TfrmMain& window = f.Window();
    ClickItem(window, f.Node("Flag"));
    TypeInto(f.ValueBox(), QStringLiteral("7"));
    PressEnter(f.ValueBox());
    QCOMPARE(f.ByteValue("Flag"), 7);
    QCOMPARE(f.Value(), QStringLiteral("7"));
    QVERIFY(window.IsModified());
    ClickItem(window, f.Node("Other"));
    QCOMPARE(f.Dialogs().Beeps(), 0);
    QCOMPARE(f.ByteValue("Flag"), 7);
}

KVT_WINDOW_TEST_MAIN(PanelTypedTextTest)
#include "PanelTypedTextTest.moc"
