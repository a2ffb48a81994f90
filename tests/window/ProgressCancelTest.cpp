// Open, save and export of a large document show a progress dialog whose
// Cancel stops them cleanly: a cancelled open leaves no document, a
// cancelled save leaves the old file and its folder as they were and the
// document modified, a cancelled export writes nothing, a cancelled Find All
// stops. Small documents show no dialog.

#include <QLineEdit>
#include <QProgressDialog>
#include <QToolButton>
#include <QStatusBar>
#include <QTest>
#include <filesystem>
#include <set>

#include "KVTFindController.h"
#include "KVTFindResultsModel.h"
#include "KVTProblemsModel.h"
#include "KVTTreeNavigation.h"
#include "PanelTestSupport.h"
#include "KVTProblemsPanel.h"
#include "ProgressCancelWatch.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

std::set<std::string> Entries(const std::string& sFolder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(sFolder))
        names.insert(entry.path().filename().string());
    return names;
}

// nStructs structs of 100 INT fields under a list, in a folder of its own.
std::string WriteLargeDocument(CWindowHarness& harness, int nStructs)
{
    const std::string sFolder = harness.Dir().File("docs" + std::to_string(nStructs));
    std::filesystem::create_directory(sFolder);
    const std::string sPath = sFolder + "/large.kvt";
    const bool bWritten = WriteDocument(sPath, [nStructs](CKvtNodeTopLevelStruct& root) {
        CKvtNodeStruct* pList = AddNode(&root, ftLIST, "Items")->GetStructNode();
        char label[16];
        for (int s = 0; s < nStructs; ++s) {
            CKvtNodeBase* pElement = CreateKvtNode(ftSTRUCT);
            pElement->m_nIndex = s;
            pList->AddChild(pElement);
            for (int f = 0; f < 100; ++f) {
                std::snprintf(label, sizeof label, "F%03d", f);
                AddNode(pElement->GetStructNode(), ftINT, label, "7");
            }
        }
    });
    return bWritten ? sPath : std::string();
}

QString StatusText(TfrmMain& window)
{
    return window.statusBar()->currentMessage();
}

} // namespace

class ProgressCancelTest : public QObject {
    Q_OBJECT
private slots:
    void cancelledOpenLeavesNoDocument_data();
    void cancelledOpenLeavesNoDocument();
    void cancelledSaveLeavesTheFileAndTheDocument_data();
    void cancelledSaveLeavesTheFileAndTheDocument();
    void cancelledExportWritesNothing();
    void cancelledFindAllStops();
    void smallDocumentsShowNoDialog();
};

void ProgressCancelTest::cancelledOpenLeavesNoDocument_data()
{
    QTest::addColumn<int>("permille");
    QTest::newRow("at once") << 1;
    QTest::newRow("half-way") << 500;
    QTest::newRow("near the end") << 950;
}

void ProgressCancelTest::cancelledOpenLeavesNoDocument()
{
    QFETCH(int, permille);
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = WriteLargeDocument(harness, 300);
    QVERIFY(!sPath.empty());
    window.SetProgressDelay(0);
    {
        CProgressCancelWatch cancel(permille);
        QVERIFY(!window.OpenFile(sPath.c_str()));
        QCOMPARE(cancel.Shown(), 1);
        QVERIFY(cancel.PressedAt() >= permille);
    }
    QVERIFY(!window.RootNode());
    QCOMPARE(window.TreeModel().rowCount(), 0);
    QCOMPARE(StatusText(window), QStringLiteral("Opening cancelled."));
    QCOMPARE(harness.Caption(), CWindowHarness::Title(" - [No File]"));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
    QVERIFY(window.findChildren<QProgressDialog*>().isEmpty());

    // Without a cancel the same file opens whole.
    QVERIFY(window.OpenFile(sPath.c_str()));
    QCOMPARE(CountNodes(window.RootNode()), int64_t(1 + 1 + 300 * 101));
}

void ProgressCancelTest::cancelledSaveLeavesTheFileAndTheDocument_data()
{
    QTest::addColumn<int>("permille");
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("save at once") << 1 << false;
    QTest::newRow("save half-way") << 500 << false;
    QTest::newRow("save near the end") << 950 << false;
    QTest::newRow("save as half-way") << 500 << true;
}

void ProgressCancelTest::cancelledSaveLeavesTheFileAndTheDocument()
{
    QFETCH(int, permille);
    QFETCH(bool, saveAs);
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = WriteLargeDocument(harness, 300);
    QVERIFY(window.OpenFile(sPath.c_str()));
    AddNode(window.RootNode(), ftSTRING, "Added", "not in the old file");
    window.MarkModified();
    window.RebuildTreeView();
    window.RefreshGui();
    const std::string sFolder = std::filesystem::path(sPath).parent_path().string();
    const std::vector<uint8_t> old = ReadFileBytes(sPath);
    const std::set<std::string> entries = Entries(sFolder);
    const std::string sOther = sFolder + "/other.kvt";

    window.SetProgressDelay(0);
    {
        CProgressCancelWatch cancel(permille);
        if (saveAs) {
            harness.Dialogs().QueueFileName(sOther);
            harness.Action("actFileSaveAs")->trigger();
        } else {
            harness.Action("actFileSave")->trigger();
        }
        QCOMPARE(cancel.Shown(), 1);
        QVERIFY(cancel.PressedAt() >= permille);
    }
    QVERIFY(ReadFileBytes(sPath) == old);
    QVERIFY(Entries(sFolder) == entries);
    QVERIFY(window.IsModified());
    QCOMPARE(std::string(window.FileName().CStr()), sPath);
    QCOMPARE(StatusText(window), QStringLiteral("Saving cancelled."));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
    QCOMPARE(window.RootNode()->GetChildCount(), 2);

    // Saved without a cancel, the file holds the change.
    harness.Action("actFileSave")->trigger();
    QVERIFY(!window.IsModified());
    CKvtNodeTopLevelStruct saved;
    QVERIFY(saved.LoadDocument(sPath.c_str()));
    QCOMPARE(saved.GetChildCount(), 2);
}

void ProgressCancelTest::cancelledExportWritesNothing()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    const std::string sPath = WriteLargeDocument(harness, 300);
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.SetProgressDelay(0);
    const std::string sNew = harness.Dir().File("new.txt");
    const std::string sExisting = harness.Dir().File("existing.txt");
    WriteFileText(sExisting, "kept");
    for (const std::string& sTarget : {sNew, sExisting}) {
        CProgressCancelWatch cancel(500);
        harness.Dialogs().QueueFileName(sTarget);
        harness.Action("actFileExport")->trigger();
        QCOMPARE(cancel.PressedAt() >= 500, true);
        QCOMPARE(StatusText(window), QStringLiteral("Export cancelled."));
    }
    QVERIFY(!std::filesystem::exists(sNew));
    QCOMPARE(ReadFileText(sExisting), std::string("kept"));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));

    // Not cancelled, the export is written whole.
    harness.Dialogs().QueueFileName(sNew);
    harness.Action("actFileExport")->trigger();
    QVERIFY(std::filesystem::file_size(sNew) > 300 * 100 * 30);
}

void ProgressCancelTest::cancelledFindAllStops()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    // 1,400 structs of 100 fields: the search reports its progress twice.
    const std::string sPath = WriteLargeDocument(harness, 1400);
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.SetProgressDelay(0);
    harness.Action("actFind")->trigger();
    QTest::keyClicks(Control<QLineEdit>(window, "eFindText"), "F050");
    CKvtFindResultsModel& results = window.Navigation().Find().Results();
    {
        CProgressCancelWatch cancel(400);
        Control<QToolButton>(window, "bFindAll")->click();
        QVERIFY(cancel.PressedAt() >= 400);
    }
    // The hits are listed after the whole tree has been searched; stopped
    // during the search, none are.
    QCOMPARE(results.rowCount(), 0);
    QCOMPARE(StatusText(window), QStringLiteral("Find All stopped: 0 hits so far."));
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));

    // Not cancelled, it finds every one.
    Control<QToolButton>(window, "bFindAll")->click();
    QCOMPARE(results.rowCount(), 1400);
    QCOMPARE(StatusText(window), QStringLiteral("Find All: 1400 hits."));
}

void ProgressCancelTest::smallDocumentsShowNoDialog()
{
    CWindowHarness harness;
    TfrmMain& window = harness.Start();
    // A few thousand nodes: the walks report their progress, but are done
    // long before the dialog's delay.
    const std::string sPath = WriteLargeDocument(harness, 20);
    CProgressCancelWatch watch(-1);
    QVERIFY(window.OpenFile(sPath.c_str()));
    window.MarkModified();
    window.RefreshGui();
    harness.Action("actFileSave")->trigger();
    QVERIFY(!window.IsModified());
    harness.Dialogs().QueueFileName(harness.Dir().File("small.txt"));
    harness.Action("actFileExport")->trigger();
    QCOMPARE(watch.Shown(), 0);
    QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
}

KVT_WINDOW_TEST_MAIN(ProgressCancelTest)
#include "ProgressCancelTest.moc"
