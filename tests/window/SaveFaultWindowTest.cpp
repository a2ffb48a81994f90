// Saves that fail in the file layer, seen from the main window: a write that
// stops part-way or a rename that fails must show the save error, keep the
// document and its modified state, and leave the old file and its folder
// exactly as they were, whether the save came from Save, Save As, the
// question before Open, or closing the window.

#include <QTest>
#include <filesystem>
#include <set>

#include "Kvtoptions.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"
#include "filefaults.h"

namespace {

std::string SaveErrorText(const std::string& sPath)
{
    return "Could not save file\n  '" + sPath + "'.\nIt may be in use by another application, or it may be read-only.";
}

std::set<std::string> Entries(const std::string& sFolder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sFolder))
        names.insert(entry.path().filename().string());
    return names;
}

// The file layer's faults, removed again however the test ends.
class CScopedSaveFault {
public:
    // nWriteBudget: bytes written before writes fail (negative: none fail).
    CScopedSaveFault(int64_t nWriteBudget, bool bRenameFails)
    {
        SetFileWriteFault(nWriteBudget);
        SetFileRenameFault(bRenameFails);
    }
    ~CScopedSaveFault()
    {
        SetFileWriteFault(-1);
        SetFileRenameFault(false);
    }
    CScopedSaveFault(const CScopedSaveFault&) = delete;
    CScopedSaveFault& operator=(const CScopedSaveFault&) = delete;
};

// An open document in its own folder, changed so that a save would write
// other bytes than the file holds.
struct OpenChangedDocument_st {
    std::string sFolder;
    std::string sPath;
    std::vector<uint8_t> old;
    std::set<std::string> entries;
};

bool OpenAndChange(CWindowHarness& harness, OpenChangedDocument_st& document)
{
    document.sFolder = harness.Dir().File("docs");
    std::filesystem::create_directory(document.sFolder);
    document.sPath = document.sFolder + "/doc.kvt";
    if (!WriteSmallDocument(document.sPath) || !harness.Window().OpenFile(document.sPath.c_str()))
        return false;
    document.old = ReadFileBytes(document.sPath);
    document.entries = Entries(document.sFolder);
    CKvtNodeTopLevelStruct* pRoot = harness.Window().RootNode();
    AddNode(pRoot, ftSTRING, "Added", "a value the old file does not hold");
    harness.Window().MarkModified();
    harness.Window().RebuildTreeView();
    harness.Window().RefreshGui();
    return true;
}

// The one error box of a failed save of sPath.
bool IsSaveErrorBox(const KvtMessageBox_st& box, const std::string& sPath)
{
    return box.sText == SaveErrorText(sPath) && box.sTitle == "Error" && box.nIcon == TKvtBoxIcon::Error &&
           box.nButtons == TKvtBoxButtons::Ok;
}

} // namespace

class SaveFaultWindowTest : public QObject {
    Q_OBJECT
private slots:
    void saveFailingInTheFileLayerShowsTheErrorAndKeepsTheDocument_data();
    void saveFailingInTheFileLayerShowsTheErrorAndKeepsTheDocument();
    void saveThroughALinkFailingKeepsTheLinkAndItsTarget();
    void saveAsFailingKeepsTheOldNameAndCreatesNothing();
    void failedSaveBeforeOpenCancelsTheOpen();
    void failedSaveOnClosingKeepsTheWindowOpen();
};

void SaveFaultWindowTest::saveFailingInTheFileLayerShowsTheErrorAndKeepsTheDocument_data()
{
    QTest::addColumn<qint64>("writeBudget");
    QTest::addColumn<bool>("renameFails");
    QTest::newRow("nothing written") << qint64(0) << false;
    QTest::newRow("stops in the header") << qint64(20) << false;
    QTest::newRow("stops in the tables") << qint64(100) << false;
    QTest::newRow("rename fails") << qint64(-1) << true;
}

void SaveFaultWindowTest::saveFailingInTheFileLayerShowsTheErrorAndKeepsTheDocument()
{
    QFETCH(qint64, writeBudget);
    QFETCH(bool, renameFails);
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    OpenChangedDocument_st document;
    QVERIFY(OpenAndChange(harness, document));
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();
    QVERIFY(harness.Action("actFileSave")->isEnabled());

    {
        CScopedSaveFault fault(writeBudget, renameFails);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
        harness.Action("actFileSave")->trigger();
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QVERIFY(IsSaveErrorBox(harness.Dialogs().Boxes()[0], document.sPath));
    QCOMPARE(harness.Dialogs().Unscripted(), 0);
    // The document is kept, still modified, and may be saved again: the file
    // itself is writable, so the read-only test after the failure says no.
    QCOMPARE(window.RootNode(), pRoot);
    QCOMPARE(pRoot->GetChildCount(), 2);
    QVERIFY(window.IsModified());
    QVERIFY(!window.IsReadOnly());
    QCOMPARE(harness.Caption(), CWindowHarness::Title((" - " + document.sPath + "*").c_str()));
    QVERIFY(harness.Action("actFileSave")->isEnabled());
    QVERIFY(ReadFileBytes(document.sPath) == document.old);
    QVERIFY(Entries(document.sFolder) == document.entries);

    // Once the file layer works again, the same command saves.
    harness.Action("actFileSave")->trigger();
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QVERIFY(!window.IsModified());
    CKvtNodeTopLevelStruct saved;
    QVERIFY(saved.LoadDocument(document.sPath.c_str()));
    QCOMPARE(saved.GetChildCount(), 2);
    QVERIFY(Entries(document.sFolder) == document.entries);
}

void SaveFaultWindowTest::saveThroughALinkFailingKeepsTheLinkAndItsTarget()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sTarget = harness.Dir().File("target.kvt");
    const std::string sLink = harness.Dir().File("link.kvt");
    QVERIFY(WriteSmallDocument(sTarget));
    QVERIFY(std::filesystem::exists(sTarget));
    std::filesystem::create_symlink("target.kvt", sLink);
    QVERIFY(window.OpenFile(sLink.c_str()));
    const std::vector<uint8_t> old = ReadFileBytes(sTarget);
    const std::set<std::string> entries = Entries(harness.Dir().Path());
    AddNode(window.RootNode(), ftINT, "Count", "3");
    window.MarkModified();
    window.RebuildTreeView();
    window.RefreshGui();

    {
        CScopedSaveFault fault(60, false);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
        harness.Action("actFileSave")->trigger();
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
    QVERIFY(IsSaveErrorBox(harness.Dialogs().Boxes()[0], sLink));
    QVERIFY(window.IsModified());
    QVERIFY(std::filesystem::is_symlink(sLink));
    QVERIFY(ReadFileBytes(sTarget) == old);
    QVERIFY(Entries(harness.Dir().Path()) == entries);
}

void SaveFaultWindowTest::saveAsFailingKeepsTheOldNameAndCreatesNothing()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    OpenChangedDocument_st document;
    QVERIFY(OpenAndChange(harness, document));
    const std::string sOther = document.sFolder + "/other.kvt";

    for (const bool bRenameFails : {false, true}) {
        harness.Dialogs().Reset();
        {
            CScopedSaveFault fault(bRenameFails ? -1 : 30, bRenameFails);
            harness.Dialogs().QueueFileName(sOther);
            harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
            harness.Action("actFileSaveAs")->trigger();
        }
        QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
        QVERIFY(IsSaveErrorBox(harness.Dialogs().Boxes()[0], sOther));
        QCOMPARE(window.FileName().CStr(), document.sPath.c_str());
        QVERIFY(window.IsModified());
        QCOMPARE(harness.Caption(), CWindowHarness::Title((" - " + document.sPath + "*").c_str()));
        QVERIFY(Entries(document.sFolder) == document.entries);
        QCOMPARE(g_pOptions->RecentFiles.Count(), 0);
    }
}

void SaveFaultWindowTest::failedSaveBeforeOpenCancelsTheOpen()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    OpenChangedDocument_st document;
    QVERIFY(OpenAndChange(harness, document));
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();

    {
        CScopedSaveFault fault(0, false);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
        harness.Action("actFileOpen")->trigger();
    }
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));
    QCOMPARE(harness.Dialogs().Boxes()[0].sText, std::string("Do you wish to save the current file?"));
    QVERIFY(IsSaveErrorBox(harness.Dialogs().Boxes()[1], document.sPath));
    // The failed save counts as Cancel: no open dialog, the document stays.
    QVERIFY(harness.Dialogs().FileDialogs().empty());
    QCOMPARE(window.RootNode(), pRoot);
    QVERIFY(window.IsModified());
    QVERIFY(ReadFileBytes(document.sPath) == document.old);
    QVERIFY(Entries(document.sFolder) == document.entries);
}

void SaveFaultWindowTest::failedSaveOnClosingKeepsTheWindowOpen()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    OpenChangedDocument_st document;
    QVERIFY(OpenAndChange(harness, document));

    {
        CScopedSaveFault fault(-1, true);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
        harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Ok);
        QVERIFY(!window.close());
    }
    QVERIFY(window.isVisible());
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(2));
    QVERIFY(IsSaveErrorBox(harness.Dialogs().Boxes()[1], document.sPath));
    QVERIFY(window.IsModified());
    QVERIFY(ReadFileBytes(document.sPath) == document.old);
    QVERIFY(Entries(document.sFolder) == document.entries);

    // Without the fault, Yes saves and the window closes.
    harness.Dialogs().QueueAnswer(TKvtBoxAnswer::Yes);
    QVERIFY(window.close());
    QVERIFY(ReadFileBytes(document.sPath) != document.old);
    QCOMPARE(harness.Dialogs().Unscripted(), 0);
}

KVT_WINDOW_TEST_MAIN(SaveFaultWindowTest)

#include "SaveFaultWindowTest.moc"
