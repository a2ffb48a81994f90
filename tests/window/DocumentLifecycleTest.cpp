// The document lifecycle of the main window: captions, opening with every
// failure, saving, New, closing, dropped files, the command line and the
// read-only flag.

#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <sys/stat.h>

#include "KVTCommandLine.h"
#include "Kvtoptions.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "bcglobal.h"

namespace {

const char* const kNotKvtText = "Error opening file.  \n\nIs The selected file a KVT file?";
const char* const kBadHeaderText = "Could not open file. The header is invalid.";
const char* const kAskSaveText = "Do you wish to save the current file?";

std::string SaveErrorText(const std::string& sPath)
{
    return "Could not save file\n  '" + sPath + "'.\nIt may be in use by another application, or it may be read-only.";
}

QString Suffix(const std::string& sText)
{
    return CWindowHarness::Title(sText.c_str());
}

// A valid document whose first eight bytes are replaced by header (or, when
// header is shorter than eight bytes, a file holding just those bytes).
bool WriteWithHeader(const std::string& sPath, const QByteArray& header)
{
    if (header.size() < 8) {
        return WriteFileBytes(sPath, std::vector<uint8_t>(header.begin(), header.end()));
    }
    if (!WriteSmallDocument(sPath))
        return false;
    std::vector<uint8_t> bytes = ReadFileBytes(sPath);
    std::copy(header.begin(), header.begin() + 8, bytes.begin());
    return WriteFileBytes(sPath, bytes);
}

void OpenThroughDialog(CWindowHarness& harness, const std::string& sPath)
{
    harness.Dialogs().QueueFileName(sPath);
    harness.Action("actFileOpen")->trigger();
}

bool Drop(TfrmMain& window, const std::vector<std::string>& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& sPath : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(sPath));
    mime.setUrls(urls);
    // As the window system delivers a drag: enter, move, then the drop.
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    return drop.isAccepted();
}

} // namespace

class DocumentLifecycleTest : public QObject {
    Q_OBJECT
private slots:
    void captionFollowsEveryDocumentState();
    void missingFileWarnsAndKeepsTheDocument();
    void headerCheck_data();
    void headerCheck();
    void unreadablePathFailsTheHeaderCheck();
    void refusedLoadLeavesNoDocument();
    void failedSaveKeepsTheDocumentModified();
    void failedSaveAsRestoresTheOldName();
    void failedSaveFromTheQuestionCancels();
    void savingANewDocumentFromTheQuestionCancels();
    void saveAsOfNewDocumentWithoutFileTypeFails();
    void newAsksToSaveAModifiedDocument();
    void closingAnUnmodifiedDocumentAsksToExit();
    void closingAModifiedDocumentAsksOnlyToSave();
    void droppingThreeFilesOpensTheFirst();
    void commandLine();
    void readOnlyFileShowsInCaptionAndBlocksSave();
    void failedSaveRetestsTheReadOnlyFlag();
    void unwritableSettingsAreReportedAtExit();
};

void DocumentLifecycleTest::captionFollowsEveryDocumentState()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QVERIFY(QString::fromLocal8Bit(g_sTitle.CStr()).startsWith("KVT Editor v"));

    QCOMPARE(harness.Caption(), Suffix(" - [No File]"));
    QVERIFY(!harness.Action("actFileSave")->isEnabled());
    QVERIFY(harness.Action("actFileSaveAs")->isEnabled());
    QVERIFY(!harness.Action("actFileExport")->isEnabled());

    harness.Action("actFileNew")->trigger();
    QCOMPARE(harness.Caption(), Suffix(" - [New File]"));
    QVERIFY(window.RootNode() != nullptr);
    QVERIFY(harness.Action("actFileSave")->isEnabled());
    QVERIFY(harness.Action("actFileExport")->isEnabled());

    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No); // leave the new document unsaved
    OpenThroughDialog(harness, sPath);
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath));
    QVERIFY(!harness.Action("actFileSave")->isEnabled());
    QCOMPARE(window.FileName().CStr(), sPath.c_str());

    window.MarkModified();
    window.RefreshGui();
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + "*"));
    QVERIFY(harness.Action("actFileSave")->isEnabled());

    harness.Action("actFileSave")->trigger();
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath));
    QVERIFY(!window.IsModified());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1)); // only the question before Open
    QCOMPARE(harness.Dialogs().Unscripted(), 0);
}

void DocumentLifecycleTest::missingFileWarnsAndKeepsTheDocument()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();

    const std::string sMissing = harness.Dir().File("nowhere.kvt");
    QVERIFY(!window.OpenFile(sMissing.c_str()));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, "Could not find file '" + sMissing + "'.");
    QCOMPARE(box.sTitle, std::string("Warning"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Warning);
    QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
    QCOMPARE(window.RootNode(), pRoot);
    QCOMPARE(window.FileName().CStr(), sPath.c_str());
    QCOMPARE(window.TreeModel().rowCount(), 1);
}

void DocumentLifecycleTest::headerCheck_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("three letters and a space") << QByteArray("ABC V3.2") << true;
    QTest::newRow("four letters") << QByteArray("DATAV3.2") << true;
    QTest::newRow("two letters, two spaces") << QByteArray("AB  V3.2") << true;
    QTest::newRow("four spaces") << QByteArray("    V3.2") << true;
    QTest::newRow("digits") << QByteArray("1234V3.2") << true;
    QTest::newRow("version 3.3") << QByteArray("ABC V3.3") << false;
    QTest::newRow("lower-case v") << QByteArray("ABC v3.2") << false;
    QTest::newRow("DATA version 3.3") << QByteArray("DATAV3.3") << false;
    QTest::newRow("hyphen in type") << QByteArray("AB-CV3.2") << false;
    QTest::newRow("letter space letter space") << QByteArray("A B V3.2") << false;
    QTest::newRow("two zero bytes") << QByteArray("AB\0\0V3.2", 8) << false;
    QTest::newRow("seven bytes") << QByteArray("DATAV3.") << false;
    QTest::newRow("three bytes") << QByteArray("DAT") << false;
    QTest::newRow("empty file") << QByteArray() << false;
}

void DocumentLifecycleTest::headerCheck()
{
    QFETCH(QByteArray, header);
    QFETCH(bool, accepted);
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPrevious = harness.Dir().File("previous.kvt");
    QVERIFY(WriteSmallDocument(sPrevious));
    QVERIFY(window.OpenFile(sPrevious.c_str()));
    CKvtNodeTopLevelStruct* pPrevious = window.RootNode();

    const std::string sPath = harness.Dir().File("candidate.kvt");
    QVERIFY(WriteWithHeader(sPath, header));
    QCOMPARE(window.OpenFile(sPath.c_str()), accepted);
    if (accepted) {
        QVERIFY(harness.Dialogs().Boxes().empty());
        QCOMPARE(window.FileName().CStr(), sPath.c_str());
        return;
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, std::string(kBadHeaderText));
    QCOMPARE(box.sTitle, std::string("Error"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Error);
    QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
    QCOMPARE(window.RootNode(), pPrevious);
    QCOMPARE(window.FileName().CStr(), sPrevious.c_str());
}

void DocumentLifecycleTest::unreadablePathFailsTheHeaderCheck()
{
    // A folder exists but yields no bytes, like a file that cannot be read.
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sFolder = harness.Dir().File("folder.kvt");
    std::filesystem::create_directory(sFolder);
    QVERIFY(!window.OpenFile(sFolder.c_str()));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, std::string(kBadHeaderText));
    QVERIFY(window.RootNode() == nullptr);
}

void DocumentLifecycleTest::refusedLoadLeavesNoDocument()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sGood = harness.Dir().File("good.kvt");
    QVERIFY(WriteSmallDocument(sGood));
    QVERIFY(window.OpenFile(sGood.c_str()));
    window.MarkModified();

    // A valid header on a file too short to hold the rest of the header.
    const std::string sShort = harness.Dir().File("short.kvt");
    std::vector<uint8_t> bytes = {'D', 'A', 'T', 'A', 'V', '3', '.', '2'};
    bytes.resize(40, 0);
    QVERIFY(WriteFileBytes(sShort, bytes));

    QVERIFY(!window.OpenFile(sShort.c_str()));
    window.RefreshGui();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, std::string(kNotKvtText));
    QCOMPARE(box.nIcon, TKvtBoxIcon::None);
    QCOMPARE(box.nButtons, TKvtBoxButtons::Ok);
    QVERIFY(window.RootNode() == nullptr);
    QCOMPARE(window.FileName().GetLength(), 0);
    QVERIFY(!window.IsModified());
    QCOMPARE(window.TreeModel().rowCount(), 0);
    QCOMPARE(harness.Caption(), Suffix(" - [No File]"));
    // Nothing disables Export once a document was opened.
    QVERIFY(harness.Action("actFileExport")->isEnabled());
}

void DocumentLifecycleTest::failedSaveKeepsTheDocumentModified()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sFolder = harness.Dir().File("gone");
    std::filesystem::create_directory(sFolder);
    const std::string sPath = sFolder + "/doc.kvt";
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.MarkModified();
    window.RefreshGui();
    std::filesystem::remove_all(sFolder);

    harness.Action("actFileSave")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, SaveErrorText(sPath));
    QCOMPARE(box.sTitle, std::string("Error"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Error);
    QVERIFY(window.IsModified());
    QVERIFY(!window.IsReadOnly());
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + "*"));
}

void DocumentLifecycleTest::failedSaveAsRestoresTheOldName()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.MarkModified();

    const std::string sTarget = harness.Dir().File("missing/other.kvt");
    harness.Dialogs().QueueFileName(sTarget);
    harness.Action("actFileSaveAs")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, SaveErrorText(sTarget));
    QCOMPARE(window.FileName().CStr(), sPath.c_str());
    QVERIFY(window.IsModified());
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + "*"));
    QCOMPARE(g_pOptions->RecentFiles.Count(), 0);
}

void DocumentLifecycleTest::failedSaveFromTheQuestionCancels()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sFolder = harness.Dir().File("gone");
    std::filesystem::create_directory(sFolder);
    const std::string sPath = sFolder + "/doc.kvt";
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.MarkModified();
    std::filesystem::remove_all(sFolder);

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
    harness.Action("actFileOpen")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, std::string(kAskSaveText));
    QCOMPARE(harness.Dialogs().Boxes()[1].sText, SaveErrorText(sPath));
    // Cancelled: the open dialog never appeared.
    QVERIFY(harness.Dialogs().FileDialogs().empty());
    QCOMPARE(window.FileName().CStr(), sPath.c_str());
    QVERIFY(window.IsModified());
}

void DocumentLifecycleTest::savingANewDocumentFromTheQuestionCancels()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Action("actFileNew")->trigger();
    CKvtNodeTopLevelStruct* pNew = window.RootNode();

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
    harness.Action("actFileOpen")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1)); // nothing after the question
    QVERIFY(harness.Dialogs().FileDialogs().empty());
    QCOMPARE(window.RootNode(), pNew);
    QVERIFY(window.IsModified());
    QCOMPARE(harness.Caption(), Suffix(" - [New File]"));
}

void DocumentLifecycleTest::saveAsOfNewDocumentWithoutFileTypeFails()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Action("actFileNew")->trigger();

    // Save of an unnamed document goes through Save As.
    const std::string sTarget = harness.Dir().File("new.kvt");
    harness.Dialogs().QueueFileName(sTarget);
    harness.Action("actFileSave")->trigger();

    QCOMPARE(harness.Dialogs().FileDialogs().size(), size_t(1));
    const KvtFileDialogRequest_st& request = harness.Dialogs().FileDialogs()[0];
    QCOMPARE(request.nKind, TKvtFileDialogKind::Save);
    QCOMPARE(request.sFilter, std::string("All Files (*.*)|*.*"));
    QCOMPARE(request.sDefaultExtension, std::string("kvt"));
    QCOMPARE(request.sStartFolder, std::string(g_pOptions->Path.CStr()));

    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, SaveErrorText(sTarget));
    QVERIFY(!FileExists(sTarget));
    QCOMPARE(window.FileName().GetLength(), 0);
    QVERIFY(window.IsModified());
    QCOMPARE(harness.Caption(), Suffix(" - [New File]"));
}

void DocumentLifecycleTest::newAsksToSaveAModifiedDocument()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));

    // Unmodified: New asks nothing.
    QVERIFY(window.OpenFile(sPath.c_str()));
    harness.Action("actFileNew")->trigger();
    QVERIFY(harness.Dialogs().Boxes().empty());
    QCOMPARE(window.FileName().GetLength(), 0);

    // Modified, Cancel: nothing happens.
    QVERIFY(window.OpenFile(sPath.c_str()));
    CKvtNodeTopLevelStruct* pOpened = window.RootNode();
    window.MarkModified();
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    harness.Action("actFileNew")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, std::string(kAskSaveText));
    QCOMPARE(box.sTitle, std::string("Confirm"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Question);
    QCOMPARE(box.nButtons, TKvtBoxButtons::YesNoCancel);
    QCOMPARE(window.RootNode(), pOpened);
    QCOMPARE(window.FileName().CStr(), sPath.c_str());

    // Modified, Yes: the change is saved, then the new document appears.
    window.RootNode()->GetChild(0)->SetFromText("42");
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
    harness.Action("actFileNew")->trigger();
    QCOMPARE(harness.Caption(), Suffix(" - [New File]"));
    CKvtNodeTopLevelStruct saved;
    QVERIFY(saved.LoadDocument(sPath.c_str()));
    QCOMPARE(saved.GetChild(0)->GetEditText().CStr(), "42");

    // Modified (the new document), No: discarded for another new one.
    window.RootNode()->m_sFileType = "MARK";
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    harness.Action("actFileNew")->trigger();
    QVERIFY(window.RootNode() != nullptr);
    QCOMPARE(window.RootNode()->m_sFileType.GetLength(), 0);
    QVERIFY(window.IsModified());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(3));
    QCOMPARE(harness.Dialogs().Unscripted(), 0);
}

void DocumentLifecycleTest::closingAnUnmodifiedDocumentAsksToExit()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, std::string("Are you sure you wish to exit?"));
    QCOMPARE(box.sTitle, std::string("Confirm"));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Question);
    QCOMPARE(box.nButtons, TKvtBoxButtons::OkCancel);

    // Exit asks the same way and closes on OK.
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
    harness.Action("actFileExit")->trigger();
    QVERIFY(!window.isVisible());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));
}

void DocumentLifecycleTest::closingAModifiedDocumentAsksOnlyToSave()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    harness.Action("actFileNew")->trigger();

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, std::string(kAskSaveText));

    // Yes for a document never saved is a Cancel too.
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
    QVERIFY(!window.close());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(3));
    for (const KvtMessageBox_st& box : harness.Dialogs().Boxes())
        QCOMPARE(box.sText, std::string(kAskSaveText));
}

void DocumentLifecycleTest::droppingThreeFilesOpensTheFirst()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    QVERIFY(window.acceptDrops());
    std::vector<std::string> paths;
    for (const char* pName : {"first.kvt", "second.kvt", "third.kvt"}) {
        paths.push_back(harness.Dir().File(pName));
        QVERIFY(WriteSmallDocument(paths.back()));
    }

    // With unsaved changes the question comes first; Cancel drops nothing.
    harness.Action("actFileNew")->trigger();
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Cancel);
    QVERIFY(Drop(window, paths));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(window.FileName().GetLength(), 0);

    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::No);
    QVERIFY(Drop(window, paths));
    QCOMPARE(window.FileName().CStr(), paths[0].c_str());
    QCOMPARE(harness.Caption(), Suffix(" - " + paths[0]));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));
    // Dropping does not touch the recent files.
    QCOMPARE(g_pOptions->RecentFiles.Count(), 0);
}

void DocumentLifecycleTest::commandLine()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    std::filesystem::create_directory(harness.Dir().File("with blank"));
    const std::string sPath = harness.Dir().File("with blank/a doc.kvt");
    QVERIFY(WriteSmallDocument(sPath));

    // The shell left the quotes in place: they go.
    const std::string sQuotedStart = "\"" + harness.Dir().File("with");
    const std::string sQuotedEnd = "blank/a doc.kvt\"";
    const char* quoted[] = {"kvteditor", sQuotedStart.c_str(), sQuotedEnd.c_str()};
    const COroString sQuotedLine = JoinCommandLine(3, quoted);
    QCOMPARE(sQuotedLine.CStr(), ("\"" + sPath + "\"").c_str());
    QVERIFY(window.OpenFile(CommandLineFileName(sQuotedLine)));
    QCOMPARE(window.FileName().CStr(), sPath.c_str());

    // The shell removed the quotes: the name arrives whole.
    const char* unquoted[] = {"kvteditor", sPath.c_str()};
    QVERIFY(window.OpenFile(CommandLineFileName(JoinCommandLine(2, unquoted))));

    // Further text belongs to the name, which then does not exist.
    const char* extra[] = {"kvteditor", sPath.c_str(), "extra"};
    QVERIFY(!window.OpenFile(CommandLineFileName(JoinCommandLine(3, extra))));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, "Could not find file '" + sPath + " extra'.");
    QCOMPARE(window.FileName().CStr(), sPath.c_str());

    const char* none[] = {"kvteditor"};
    QCOMPARE(JoinCommandLine(1, none).GetLength(), 0);
    QCOMPARE(CommandLineFileName("\"").GetLength(), 0);
    QCOMPARE(CommandLineFileName("\"ab").CStr(), "a");
    QCOMPARE(CommandLineFileName("plain name").CStr(), "plain name");
    // Opening from the command line adds nothing to the recent files.
    QCOMPARE(g_pOptions->RecentFiles.Count(), 0);
}

void DocumentLifecycleTest::readOnlyFileShowsInCaptionAndBlocksSave()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = harness.Dir().File("locked.kvt");
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(chmod(sPath.c_str(), 0444) == 0);
    CScopedNoWriteOverride noOverride;
    if (!IsUnwritable(sPath))
        QSKIP("this process may write to files without write permission");

    OpenThroughDialog(harness, sPath);
    QVERIFY(window.IsReadOnly());
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + " [Read Only] "));
    window.MarkModified();
    window.RefreshGui();
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + " [Read Only] *"));
    QVERIFY(!harness.Action("actFileSave")->isEnabled());
    harness.Action("actFileSave")->trigger();
    QVERIFY(harness.Dialogs().Boxes().empty());

    const std::string sCopy = harness.Dir().File("copy.kvt");
    harness.Dialogs().QueueFileName(sCopy);
    harness.Action("actFileSaveAs")->trigger();
    QVERIFY(!window.IsReadOnly());
    QVERIFY(!window.IsModified());
    QCOMPARE(harness.Caption(), Suffix(" - " + sCopy));
    QVERIFY(FileExists(sCopy));
    QCOMPARE(g_pOptions->RecentFiles[0].CStr(), sCopy.c_str());
}

void DocumentLifecycleTest::failedSaveRetestsTheReadOnlyFlag()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sFolder = harness.Dir().File("shelf");
    std::filesystem::create_directory(sFolder);
    const std::string sPath = sFolder + "/doc.kvt";
    QVERIFY(WriteSmallDocument(sPath));
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.MarkModified();
    window.RefreshGui();
    QVERIFY(harness.Action("actFileSave")->isEnabled());

    // The file and its folder become read-only while the document is open.
    QVERIFY(chmod(sPath.c_str(), 0444) == 0);
    QVERIFY(chmod(sFolder.c_str(), 0555) == 0);
    CScopedNoWriteOverride noOverride;
    if (!IsUnwritable(sPath))
        QSKIP("this process may write to files without write permission");

    harness.Action("actFileSave")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, SaveErrorText(sPath));
    QVERIFY(window.IsReadOnly());
    QVERIFY(window.IsModified());
    QCOMPARE(harness.Caption(), Suffix(" - " + sPath + " [Read Only] *"));
    QVERIFY(!harness.Action("actFileSave")->isEnabled());
}

void DocumentLifecycleTest::unwritableSettingsAreReportedAtExit()
{
    CWindowHarness harness;
    harness.Start();
    QVERIFY(chmod(harness.Dir().Path().c_str(), 0555) == 0);
    CScopedNoWriteOverride noOverride;
    const std::string sProbe = harness.Dir().File("probe");
    if (WriteFileText(sProbe, "x")) {
        std::remove(sProbe.c_str());
        QSKIP("this process may write to folders without write permission");
    }
    harness.Stop();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    const KvtMessageBox_st& box = harness.Dialogs().Boxes()[0];
    QCOMPARE(box.sText, "Unable to write to " + harness.SettingsFile());
    QCOMPARE(box.sTitle, std::string(g_sTitle.CStr()));
    QCOMPARE(box.nIcon, TKvtBoxIcon::Error);
    QVERIFY(!FileExists(harness.SettingsFile()));
}

KVT_WINDOW_TEST_MAIN(DocumentLifecycleTest)

#include "DocumentLifecycleTest.moc"
