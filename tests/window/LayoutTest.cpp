// The window's arrangement: named controls with their texts, actions with
// captions, shortcuts and hints, menus, dialogs, the start-up state, the
// splitter, the Hex Edit command, the icon and a dark palette.

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>
#include <sys/stat.h>

#include "KVTApplicationIcon.h"
#include "KVTFileDialog.h"
#include "KVTQtDialogs.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

template <typename T> T* Find(TfrmMain& window, const char* pName)
{
    return window.findChild<T*>(QString::fromLatin1(pName));
}

QString LabelText(TfrmMain& window, const char* pName)
{
    const QLabel* pLabel = Find<QLabel>(window, pName);
    return pLabel ? pLabel->text() : QStringLiteral("<missing>");
}

QStringList ItemNames(const QMenu* pMenu)
{
    QStringList names;
    for (const QAction* pItem : pMenu->actions())
        names << pItem->objectName();
    return names;
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void panelControlsExistWithTheirTexts();
    void actionsHaveTheirCaptionsShortcutsAndHints();
    void menusHoldTheirItems();
    void dialogsHaveTheirFiltersAndExtensions();
    void startUpShowsOnlyTheFieldPage();
    void splitterGivesWindowGrowthToTheTree();
    void hintsAppearInTheStatusBar();
    void hexEditFollowsTheRegistry();
    void builtInIconHoldsEverySize();
    void darkPaletteLeavesEveryTextReadable();
    void panelTextsShowWhole();
};

void LayoutTest::panelControlsExistWithTheirTexts()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QCOMPARE(window.objectName(), QStringLiteral("frmMain"));
    QVERIFY(Find<QWidget>(window, "pMain"));
    QVERIFY(Find<QTreeView>(window, "tvKVT"));
    QVERIFY(Find<QSplitter>(window, "Splitter1"));
    QVERIFY(Find<QWidget>(window, "pNodeInfo"));
    QVERIFY(Find<QWidget>(window, "pInfoNodeTop"));
    QVERIFY(Find<QStatusBar>(window, "sbMain"));
    QCOMPARE(window.statusBar(), Find<QStatusBar>(window, "sbMain"));

    const QTextEdit* pInfo = Find<QTextEdit>(window, "mInfo");
    QVERIFY(pInfo);
    QVERIFY(pInfo->isReadOnly());
    QCOMPARE(pInfo->focusPolicy(), Qt::NoFocus);
    QCOMPARE(pInfo->toPlainText(), QStringLiteral("This section is used to define field information.\n") +
                                       QString(89, QLatin1Char('-')) +
                                       QStringLiteral("\nSelect a node in the tree and edit it's information below."));
    QCOMPARE(Find<QWidget>(window, "pInfoNodeTop")->height(), 150);

    QCOMPARE(LabelText(window, "lTypeTitle"), QStringLiteral("Type: "));
    QVERIFY(Find<QLabel>(window, "lTypeTitle")->font().bold());
    QCOMPARE(LabelText(window, "lFieldID"), QStringLiteral("Field ID:"));
    QCOMPARE(LabelText(window, "lFieldIndex"), QStringLiteral("Field Index:"));
    QCOMPARE(LabelText(window, "Label3"), QStringLiteral("<- Overridden by hash value if FieldID used."));
    QCOMPARE(LabelText(window, "lValue"), QStringLiteral("Data Value:"));
    QCOMPARE(LabelText(window, "lFormatHelp"), QStringLiteral("Format:"));
    QCOMPARE(LabelText(window, "lStrRefTitle"), QStringLiteral("STRREF:"));
    QCOMPARE(LabelText(window, "Label1"), QStringLiteral("Gender:"));
    QCOMPARE(LabelText(window, "lLangIDTitle"), QStringLiteral("Language ID:"));
    QCOMPARE(LabelText(window, "Label4"), QStringLiteral("Type a number THEN hit Add."));
    QVERIFY(!LabelText(window, "Label5").isEmpty());
    for (const char* pEdit : {"eNType", "eFieldID", "eNIndex", "eStrRef"})
        QVERIFY2(Find<QLineEdit>(window, pEdit), pEdit);
    QVERIFY(Find<QLineEdit>(window, "eNIndex")->isReadOnly());
    QVERIFY(Find<QPlainTextEdit>(window, "eValue"));
    QVERIFY(Find<QPlainTextEdit>(window, "mOroLocStringValue"));
    QCOMPARE(Find<QPushButton>(window, "bOroLocStringAdd")->text(), QStringLiteral("Add"));
    QCOMPARE(Find<QPushButton>(window, "bOroLocStringDelete")->text(), QStringLiteral("Delete"));

    const QComboBox* pGender = Find<QComboBox>(window, "cbGender");
    QCOMPARE(pGender->count(), 2);
    QCOMPARE(pGender->itemText(0), QStringLiteral("Female"));
    QCOMPARE(pGender->itemText(1), QStringLiteral("Male"));
    QCOMPARE(pGender->currentIndex(), -1);
    QVERIFY(Find<QComboBox>(window, "cbLangIDs")->isEditable());

    const QTabWidget* pPages = Find<QTabWidget>(window, "pcDataPage");
    QCOMPARE(pPages->count(), 3);
    QCOMPARE(pPages->tabText(0), QStringLiteral("Basic Field Data"));
    QCOMPARE(pPages->tabText(1), QStringLiteral("COroLocString Data"));
    QCOMPARE(pPages->tabText(2), QStringLiteral("Binary Data"));
    QCOMPARE(pPages->widget(0)->objectName(), QStringLiteral("tsFieldTab"));
    QCOMPARE(pPages->widget(1)->objectName(), QStringLiteral("tsLocStringTab"));
    QCOMPARE(pPages->widget(2)->objectName(), QStringLiteral("tsBinaryTab"));
    // The hex view takes the place of the box and the memo; the length shows.
    for (const char* pHidden : {"eBinaryLength", "mBinaryData"})
        QVERIFY2(Find<QWidget>(window, pHidden)->isHidden(), pHidden);
    QVERIFY(!Find<QWidget>(window, "lBinaryLength")->isHidden());
}

void LayoutTest::actionsHaveTheirCaptionsShortcutsAndHints()
{
    CWindowHarness harness;
    harness.Start();
    struct Expected {
        const char* pName;
        const char* pCaption;
        QKeySequence shortcut;
        const char* pHint;
        bool bImage;
    };
    const Expected expected[] = {
        {"actFileNew", "&New", QKeySequence(), "", true},
        {"actFileOpen", "&Open", QKeySequence("Ctrl+O"), "", true},
        {"actFileSave", "&Save...", QKeySequence("Ctrl+S"), "", true},
        {"actFileSaveAs", "Save &As...", QKeySequence(), "", true},
        {"actFileExport", "&Export...", QKeySequence(), "", true},
        {"actFileExit", "E&xit", QKeySequence("Ctrl+Q"), "", false},
        {"actNodeCopy", "Copy Node / Subtree", QKeySequence("Ctrl+C"),
         "Copies the currently selected node or subtree to the program's \"clipboard\".", true},
        {"actNodePaste", "Paste as Child Node", QKeySequence("Ctrl+V"),
         "Pastes the node (or subtree) from the program's \"clipboard\" as a child of the currently selected node.",
         true},
        {"actNodeDelete", "Delete Node / Subtree", QKeySequence(), "Delete the currently selected node or subtree.",
         true},
        {"actHexEdit", "&Hex Edit", QKeySequence("F5"), "", true},
    };
    for (const Expected& e : expected) {
        const QAction* pAction = harness.Action(e.pName);
        QVERIFY2(pAction, e.pName);
        QCOMPARE(pAction->text(), QString::fromLatin1(e.pCaption));
        QCOMPARE(pAction->shortcut(), e.shortcut);
        QCOMPARE(pAction->statusTip(), QString::fromLatin1(e.pHint));
        QCOMPARE(!pAction->icon().isNull(), e.bImage);
        QCOMPARE(pAction->parent()->objectName(), QStringLiteral("actMain"));
    }
}

void LayoutTest::menusHoldTheirItems()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const QMenuBar* pBar = Find<QMenuBar>(window, "mmMain");
    QVERIFY(pBar);
    QStringList titles;
    for (const QAction* pMenu : pBar->actions())
        titles << pMenu->text();
    QCOMPARE(titles, (QStringList{"&File", "Edit", "View"}));

    const QMenu* pEdit = Find<QMenu>(window, "miEdit");
    QCOMPARE(ItemNames(pEdit), (QStringList{"miEditUndo", "miEditRedo", "N6", "miNodeCopy", "miNodePaste", "N3",
                                            "miNodeDelete", "N4", "miHexEdit", "N7", "miFind", "miFindNext",
                                            "miFindPrevious", "miCopyPath"}));
    // A menu item shows its action's caption and shortcut and runs it.
    QCOMPARE(Find<QAction>(window, "miNodeCopy")->text(),
             QStringLiteral("Copy Node / Subtree\t") + QKeySequence("Ctrl+C").toString(QKeySequence::NativeText));
    QAction* pExportItem = Find<QAction>(window, "miFileExport");
    QVERIFY(!pExportItem->isEnabled());
    harness.Action("actFileExport")->setEnabled(true);
    QVERIFY(pExportItem->isEnabled());

    const QMenu* pView = Find<QMenu>(window, "miView");
    QCOMPARE(ItemNames(pView), (QStringList{"miHexView", "miPreviewDataInTree", "N8", "miSortByCaption", "miFileOrder",
                                            "N9", "miExpandSubtree", "miCollapseSubtree", "N10", "miProblems"}));
    QCOMPARE(Find<QAction>(window, "miProblems")->text(), QStringLiteral("Problems"));
    QVERIFY(Find<QAction>(window, "miSortByCaption")->isChecked());
    QVERIFY(!Find<QAction>(window, "miFileOrder")->isChecked());
    QCOMPARE(Find<QAction>(window, "miHexView")->text(), QStringLiteral("Hex Data"));
    QVERIFY(!Find<QAction>(window, "miHexView")->isChecked());
    QCOMPARE(Find<QAction>(window, "miPreviewDataInTree")->text(), QStringLiteral("Preview data in tree"));
    QVERIFY(Find<QAction>(window, "miPreviewDataInTree")->isChecked());

    const QMenu* pPopup = Find<QMenu>(window, "pumAddNode");
    QVERIFY(pPopup);
    const QList<QAction*> entries = pPopup->actions();
    QCOMPARE(entries.size(), 23);
    const char* captions[] = {"Add [BYTE]",
                              "Add [CHAR]",
                              "Add [WORD]",
                              "Add [SHORT]",
                              "Add [DWORD]",
                              "Add [INT]",
                              "Add [DWORD64]",
                              "Add [INT64]",
                              "Add [FLOAT]",
                              "Add [DOUBLE]",
                              "Add [COroString]",
                              "Add [CResRef]",
                              "Add [Binary]",
                              "Add [COroLocString]",
                              nullptr,
                              "Add [User-defined Struct: 0]",
                              "Add [List]"};
    for (int i = 0; i < 17; ++i) {
        if (!captions[i]) {
            QVERIFY(entries[i]->isSeparator());
            QVERIFY(entries[i]->objectName().isEmpty());
            continue;
        }
        QCOMPARE(entries[i]->objectName(), QStringLiteral("Add%1").arg(i));
        QCOMPARE(entries[i]->text(), QString::fromLatin1(captions[i]));
        QCOMPARE(entries[i]->data().toInt(), i);
    }
    QVERIFY(entries[17]->isSeparator());
    QCOMPARE(entries[18]->objectName(), QStringLiteral("RemoveNode"));
    QCOMPARE(entries[18]->text(), QStringLiteral("Delete Node / Subtree"));
    QCOMPARE(entries[20]->text(), QStringLiteral("Copy Path\t") + QKeySequence("Ctrl+Shift+C").toString(QKeySequence::NativeText));
    QCOMPARE(Find<QTreeView>(window, "tvKVT")->contextMenuPolicy(), Qt::CustomContextMenu);
}

void LayoutTest::dialogsHaveTheirFiltersAndExtensions()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const CKvtFileDialog* pOpen = Find<CKvtFileDialog>(window, "odMain");
    const CKvtFileDialog* pSave = Find<CKvtFileDialog>(window, "sdMain");
    const CKvtFileDialog* pExport = Find<CKvtFileDialog>(window, "sdExport");
    QVERIFY(pOpen && pSave && pExport);
    QCOMPARE(pOpen->Kind(), TKvtFileDialogKind::Open);
    QCOMPARE(pOpen->Filter(), std::string("All Files (*.*)|*.*"));
    QCOMPARE(pOpen->DefaultExt(), std::string("kvt"));
    QCOMPARE(pSave->Kind(), TKvtFileDialogKind::Save);
    QCOMPARE(pSave->Filter(), std::string("All Files (*.*)|*.*"));
    QCOMPARE(pSave->DefaultExt(), std::string("kvt"));
    QCOMPARE(pExport->Kind(), TKvtFileDialogKind::Save);
    QCOMPARE(pExport->Filter(), std::string("KVT Files (*.txt)|*.txt"));
    QCOMPARE(pExport->DefaultExt(), std::string("txt"));

    // Every file matches "*.*" on the platform these filters come from.
    QCOMPARE(CKvtQtDialogs::NameFiltersFromPairs("All Files (*.*)|*.*"), QStringList{"All Files (*)"});
    QCOMPARE(CKvtQtDialogs::NameFiltersFromPairs("KVT Files (*.txt)|*.txt"), QStringList{"KVT Files (*.txt)"});
    QCOMPARE(CKvtQtDialogs::NameFiltersFromPairs("A|*.a;*.b|B (x)|*.*"), (QStringList{"A (*.a *.b)", "B (*)"}));

    // Without settings the Open dialog starts in the home folder.
    harness.Dialogs().QueueFileDialogCancel();
    harness.Action("actFileOpen")->trigger();
    QCOMPARE(harness.Dialogs().FileDialogs()[0].sStartFolder, qEnvironmentVariable("HOME").toStdString() + "/");
}

void LayoutTest::startUpShowsOnlyTheFieldPage()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QCOMPARE(window.size(), QSize(899, 651));
    QCOMPARE(harness.Caption(), CWindowHarness::Title(" - [No File]"));
    const QTabWidget* pPages = Find<QTabWidget>(window, "pcDataPage");
    QVERIFY(pPages->isTabVisible(0));
    QVERIFY(!pPages->isTabVisible(1));
    QVERIFY(!pPages->isTabVisible(2));
    QCOMPARE(pPages->currentIndex(), 0);
    for (const char* pEdit : {"eNType", "eFieldID", "eNIndex"})
        QVERIFY2(Find<QLineEdit>(window, pEdit)->text().isEmpty(), pEdit);
    QVERIFY(Find<QPlainTextEdit>(window, "eValue")->toPlainText().isEmpty());
    QCOMPARE(window.TreeModel().rowCount(), 0);
}

void LayoutTest::splitterGivesWindowGrowthToTheTree()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QSplitter* pSplitter = Find<QSplitter>(window, "Splitter1");
    QCOMPARE(pSplitter->handleWidth(), 3);
    QVERIFY(pSplitter->opaqueResize());
    QWidget* pPanel = Find<QWidget>(window, "pNodeInfo");
    QWidget* pTree = Find<QWidget>(window, "tvKVT");
    QCOMPARE(pPanel->width(), 387);
    const int nTreeWidth = pTree->width();

    window.resize(1199, 651);
    QTRY_COMPARE(pTree->width(), nTreeWidth + 300);
    QCOMPARE(pPanel->width(), 387);
}

void LayoutTest::hintsAppearInTheStatusBar()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const QStatusBar* pBar = Find<QStatusBar>(window, "sbMain");
    harness.Action("actNodeDelete")->showStatusText(&window);
    QCOMPARE(pBar->currentMessage(), QStringLiteral("Delete the currently selected node or subtree."));

    QLineEdit* pIndex = Find<QLineEdit>(window, "eNIndex");
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QCoreApplication::sendEvent(pIndex, &enter);
    QCOMPARE(pBar->currentMessage(), QStringLiteral("This value is overridden by hash value if FieldID is used."));
}

void LayoutTest::hexEditFollowsTheRegistry()
{
    {
        CWindowHarness harness;
        harness.Start();
        QVERIFY(!harness.Action("actHexEdit")->isEnabled());
    }
    CWindowHarness harness;
    const std::string sScript = harness.Dir().File("hexeditor.sh");
    const std::string sOutput = harness.Dir().File("hexeditor.out");
    QVERIFY(WriteFileText(sScript, "#!/bin/sh\nsleep 0.2\nprintf '%s' \"$1\" > '" + sOutput + "'\n"));
    QVERIFY(chmod(sScript.c_str(), 0755) == 0);
    QVERIFY(
        WriteFileText(harness.RegistryFile(), "[\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0]\nPath=" + sScript + "\n"));
    TfrmMain& window = harness.Start();
    QAction* pHexEdit = harness.Action("actHexEdit");
    QVERIFY(pHexEdit->isEnabled());
    QCOMPARE(pHexEdit->shortcut(), QKeySequence(Qt::Key_F5));

    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    pHexEdit->trigger();
    // The command waited for the program, which wrote the file name it got.
    QCOMPARE(ReadFileText(sOutput), sPath);
}

// A build folder or a portable copy has no icon theme entry: the icon built
// into the program must then be there at every size the desktop asks for.
void LayoutTest::builtInIconHoldsEverySize()
{
    const QIcon icon = KvtApplicationIcon();
    for (const int nSize : {16, 22, 24, 32, 48, 64, 128, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(nSize, nSize)), qPrintable(QString::number(nSize)));
    QCOMPARE(icon.pixmap(QSize(48, 48)).size(), QSize(48, 48));
}

namespace {

double Lightness(const QColor& color)
{
    return 0.2126 * color.redF() + 0.7152 * color.greenF() + 0.0722 * color.blueF();
}

} // namespace

// A colour fixed by the window instead of taken from the platform's palette
// shows as dark text on a dark ground (or light on light) under a dark theme.
void LayoutTest::darkPaletteLeavesEveryTextReadable()
{
    const QPalette previous = QApplication::palette();
    // Qt derives the other roles, light texts included, from these two.
    const QPalette dark(QColor(0x35, 0x35, 0x35), QColor(0x2b, 0x2b, 0x2b));
    QApplication::setPalette(dark);
    {
        CWindowHarness harness;
        TfrmMain& window = harness.Start();
        const std::string sPath = harness.Dir().File("small.kvt");
        QVERIFY(WriteSmallDocument(sPath));
        QVERIFY(window.OpenFile(sPath.c_str()));
        const QList<QWidget*> widgets = window.findChildren<QWidget*>();
        for (const QWidget* pWidget : widgets) {
            const QPalette& palette = pWidget->palette();
            const QString sName = pWidget->objectName() + QStringLiteral(" (") +
                                  QString::fromLatin1(pWidget->metaObject()->className()) + QStringLiteral(")");
            for (const auto& [text, ground] :
                 {std::pair{QPalette::WindowText, QPalette::Window}, std::pair{QPalette::Text, QPalette::Base},
                  std::pair{QPalette::ButtonText, QPalette::Button},
                  std::pair{QPalette::HighlightedText, QPalette::Highlight}}) {
                const double nContrast = std::abs(Lightness(palette.color(QPalette::Active, text)) -
                                                  Lightness(palette.color(QPalette::Active, ground)));
                QVERIFY2(nContrast > 0.4, qPrintable(sName));
            }
        }
    }
    QApplication::setPalette(previous);
}

void LayoutTest::panelTextsShowWhole()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::string sPath = harness.Dir().File("layout.kvt");
    QVERIFY(WriteDocument(sPath, [](CKvtNodeTopLevelStruct& root) {
        AddNode(&root, ftLOCSTRING, "Title", "1");
    }));
    QVERIFY(window.OpenFile(sPath.c_str()));
    // The root's help wraps to several lines; every one of them is shown.
    window.SelectItem(window.TreeModel().RootIndex());
    QLabel* pHelp = Find<QLabel>(window, "lFormatHelp");
    QWidget* pStrip = Find<QWidget>(window, "pValueStrip");
    QTRY_VERIFY(pHelp->isVisible());
    const int nNeeded = pHelp->heightForWidth(pHelp->width());
    QVERIFY(nNeeded > pHelp->fontMetrics().lineSpacing() * 2);
    QTRY_VERIFY2(pHelp->height() >= pHelp->heightForWidth(pHelp->width()),
                 qPrintable(QStringLiteral("%1 < %2").arg(pHelp->height()).arg(nNeeded)));
    QVERIFY(pStrip->rect().contains(pHelp->geometry()));

    // The hint shares the second row with the language box and the buttons.
    window.SelectItem(window.TreeModel().ChildItem(window.TreeModel().RootIndex(), 0));
    QLabel* pHint = Find<QLabel>(window, "Label4");
    QTRY_VERIFY(pHint->isVisible());
    // Wide enough for its longest word, and tall enough for every line.
    QTRY_VERIFY(pHint->width() >= pHint->fontMetrics().horizontalAdvance(QStringLiteral("number")));
    QTRY_VERIFY(pHint->height() >= pHint->heightForWidth(pHint->width()));
    for (const char* pName : {"cbLangIDs", "bOroLocStringAdd", "bOroLocStringDelete"}) {
        const QRect control = Find<QWidget>(window, pName)->geometry();
        QVERIFY2(control.top() <= pHint->geometry().center().y() && pHint->geometry().center().y() <= control.bottom(),
                 pName);
        QVERIFY2(pHint->geometry().left() >= control.right(), pName);
    }
}

KVT_WINDOW_TEST_MAIN(LayoutTest)

#include "LayoutTest.moc"
