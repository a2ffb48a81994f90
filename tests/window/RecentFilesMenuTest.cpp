// The recent-files part of the File menu: entries after opening through the
// Open dialog, the trim to five, re-opening, clicking entries, names with
// blanks and ampersands, and the settings file across runs.

#include <QEventLoop>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "Bcdebug.h"
#include "Kvtoptions.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "bcglobal.h"
#include "ororeportrecorder.h"

namespace {

QMenu* FileMenu(TfrmMain& window)
{
    return window.findChild<QMenu*>(QStringLiteral("miFile"));
}

// Name and caption of every File menu item ("-" for separators).
QStringList MenuNames(TfrmMain& window)
{
    QStringList names;
    for (const QAction* pItem : FileMenu(window)->actions())
        names << pItem->objectName();
    return names;
}

QString Entry(TfrmMain& window, int nIndex)
{
    const QAction* pItem = FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU%1").arg(nIndex));
    return pItem ? pItem->text() : QString();
}

QString EntryFor(int nNumber, const std::string& sPath)
{
    return QStringLiteral("&%1 ").arg(nNumber) + QString::fromStdString(sPath);
}

void OpenThroughDialog(CWindowHarness& harness, const std::string& sPath)
{
    harness.Dialogs().QueueFileName(sPath);
    harness.Action("actFileOpen")->trigger();
}

std::vector<std::string> MakeDocuments(CWindowHarness& harness, int nCount)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= nCount; ++i) {
        paths.push_back(harness.Dir().File("file" + std::to_string(i) + ".kvt"));
        WriteSmallDocument(paths.back());
    }
    return paths;
}

const QStringList kDesignedStart = {"miFileNew",        "miFileOpen",       "miFileSave", "miFileSaveAs",
                                    "miFileExport",     "miFileExportJson", "miFileImportJson",
                                    "N1",               "miFilePrint",      "miFilePrintSetup"};

} // namespace

class RecentFilesMenuTest : public QObject {
    Q_OBJECT
private slots:
    void withoutRecentFilesTheMenuIsAsDesigned();
    void oneOpenedFileMakesOneEntry();
    void sixOpenedFilesKeepTheNewestFive();
    void reopeningEntryThreeMovesItUnlessClicked();
    void entriesShowAmpersandsAndOpenNamesWithBlanks();
    void clickingAnEntryAsksToSaveFirst();
    void entriesSurviveARestart();
    void clickWithoutItemRaisesBCAssertAndShutsDown();
};

void RecentFilesMenuTest::withoutRecentFilesTheMenuIsAsDesigned()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QCOMPARE(MenuNames(window), kDesignedStart + QStringList({"N2", "miFileExit"}));
    QStringList captions;
    for (const QAction* pItem : FileMenu(window)->actions())
        captions << (pItem->isSeparator() ? QStringLiteral("-") : pItem->text().section(QLatin1Char('\t'), 0, 0));
    QCOMPARE(captions, (QStringList{"&New", "&Open", "&Save...", "Save &As...", "&Export...", "Export as JSON\u2026",
                                    "Import JSON\u2026", "-", "&Print...", "P&rint Setup...", "-", "E&xit"}));
    QVERIFY(!window.findChild<QAction*>(QStringLiteral("miFilePrint"))->isEnabled());
    QVERIFY(!window.findChild<QAction*>(QStringLiteral("miFilePrintSetup"))->isEnabled());
}

void RecentFilesMenuTest::oneOpenedFileMakesOneEntry()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::vector<std::string> paths = MakeDocuments(harness, 1);
    OpenThroughDialog(harness, paths[0]);

    QCOMPARE(MenuNames(window), kDesignedStart + QStringList({"MRU0", "MRUSeparator", "miFileExit"}));
    QCOMPARE(Entry(window, 0), EntryFor(1, paths[0]));
    const QAction* pSeparator = FileMenu(window)->actions().value(kDesignedStart.size() + 1);
    QVERIFY(pSeparator->isSeparator());
    // A plain line: a text would show beside it in some styles.
    QVERIFY(pSeparator->text().isEmpty());
    // The dialog started in the folder of the settings' Path.
    QCOMPARE(harness.Dialogs().FileDialogs()[0].nKind, TKvtFileDialogKind::Open);
    QCOMPARE(harness.Dialogs().FileDialogs()[0].sFilter, std::string("All Files (*.*)|*.*"));
    QCOMPARE(harness.Dialogs().FileDialogs()[0].sDefaultExtension, std::string("kvt"));
    QCOMPARE(std::string(g_pOptions->Path.CStr()), harness.Dir().Path() + "/");
}

void RecentFilesMenuTest::sixOpenedFilesKeepTheNewestFive()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::vector<std::string> paths = MakeDocuments(harness, 6);
    for (const std::string& sPath : paths)
        OpenThroughDialog(harness, sPath);

    QCOMPARE(g_pOptions->RecentFiles.Count(), 5);
    QCOMPARE(MenuNames(window),
             kDesignedStart + QStringList({"MRU0", "MRU1", "MRU2", "MRU3", "MRU4", "MRUSeparator", "miFileExit"}));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(Entry(window, i), EntryFor(i + 1, paths[static_cast<size_t>(5 - i)]));
}

void RecentFilesMenuTest::reopeningEntryThreeMovesItUnlessClicked()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::vector<std::string> paths = MakeDocuments(harness, 5);
    for (const std::string& sPath : paths)
        OpenThroughDialog(harness, sPath);
    // Newest first: file5, file4, file3, file2, file1.
    QCOMPARE(Entry(window, 2), EntryFor(3, paths[2]));

    OpenThroughDialog(harness, paths[2]);
    const std::vector<size_t> moved = {2, 4, 3, 1, 0};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(Entry(window, i), EntryFor(i + 1, paths[moved[static_cast<size_t>(i)]]));

    // Clicking entry 3 opens its file and leaves the order alone.
    FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU2"))->trigger();
    QCOMPARE(window.FileName().CStr(), paths[3].c_str());
    QCOMPARE(harness.Caption(), CWindowHarness::Title((" - " + paths[3]).c_str()));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(Entry(window, i), EntryFor(i + 1, paths[moved[static_cast<size_t>(i)]]));
}

void RecentFilesMenuTest::entriesShowAmpersandsAndOpenNamesWithBlanks()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    std::filesystem::create_directory(harness.Dir().File("saved games"));
    const std::string sPath = harness.Dir().File("saved games/fish & chips.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    OpenThroughDialog(harness, sPath);
    window.CloseFile();

    QAction* pEntry = FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU0"));
    QVERIFY(pEntry);
    // "&&" shows one literal ampersand in the menu.
    QCOMPARE(pEntry->text(),
             QStringLiteral("&1 ") + QString::fromStdString(harness.Dir().File("saved games/fish && chips.kvt")));
    pEntry->trigger();
    QCOMPARE(window.FileName().CStr(), sPath.c_str());

    // An entry is read from its caption as well: everything after the first blank.
    window.CloseFile();
    QAction handMade(QStringLiteral("&3 ") + QString::fromStdString(sPath).replace("&", "&&"));
    window.RecentFileClick(&handMade);
    QCOMPARE(window.FileName().CStr(), sPath.c_str());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
}

void RecentFilesMenuTest::clickingAnEntryAsksToSaveFirst()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::vector<std::string> paths = MakeDocuments(harness, 2);
    OpenThroughDialog(harness, paths[0]);
    OpenThroughDialog(harness, paths[1]);
    window.MarkModified();

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU1"))->trigger();
    QCOMPARE(window.FileName().CStr(), paths[1].c_str());
    QVERIFY(window.IsModified());

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU1"))->trigger();
    QCOMPARE(window.FileName().CStr(), paths[0].c_str());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));

    // A listed file that has gone since shows the ordinary open failure.
    std::filesystem::remove(paths[1]);
    FileMenu(window)->findChild<QAction*>(QStringLiteral("MRU0"))->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(3));
    QCOMPARE(harness.Dialogs().Boxes()[2].sText, "Could not find file '" + paths[1] + "'.");
    QCOMPARE(window.FileName().CStr(), paths[0].c_str());
}

void RecentFilesMenuTest::entriesSurviveARestart()
{
    CWindowHarness harness;
    harness.Start();
    const std::vector<std::string> paths = MakeDocuments(harness, 2);
    OpenThroughDialog(harness, paths[0]);
    OpenThroughDialog(harness, paths[1]);
    harness.Stop();

    const std::string sSettings = ReadFileText(harness.SettingsFile());
    QVERIFY(sSettings.find("MRU0=" + paths[1]) != std::string::npos);
    QVERIFY(sSettings.find("MRU1=" + paths[0]) != std::string::npos);

    TfrmMain& window = harness.Start();
    QCOMPARE(Entry(window, 0), EntryFor(1, paths[1]));
    QCOMPARE(Entry(window, 1), EntryFor(2, paths[0]));
    QCOMPARE(MenuNames(window).size(), kDesignedStart.size() + 4);
}

void RecentFilesMenuTest::clickWithoutItemRaisesBCAssertAndShutsDown()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    COroReportRecorder recorder;

    window.RecentFileClick(nullptr);
    QCOMPARE(recorder.Count(), size_t(1));
    const OroRecordedReport_st& report = recorder.Reports()[0];
    QCOMPARE(report.kind, TOroReportKind::BCAssert);
    QCOMPARE(report.module, std::string("KVTEditorMain.cpp"));
    QCOMPARE(report.line, 242);
    QCOMPARE(report.caption, std::string(g_sTitle.CStr()));
    QCOMPARE(report.text, std::string("Assertion Failed: KVTEditorMain.cpp, Line: 242"));
    // The shutdown ends the application's message loop as a quit does.
    // A watchdog that dies with this test, so it cannot end a later test's loop.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, []() { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
}

KVT_WINDOW_TEST_MAIN(RecentFilesMenuTest)

#include "RecentFilesMenuTest.moc"
