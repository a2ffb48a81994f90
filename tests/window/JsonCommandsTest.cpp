// File > "Export as JSON…" and File > "Import JSON…" in the window.

#include <QAction>
#include <QTest>

#include "KVTJsonWriter.h"
#include "PanelTestSupport.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

class JsonCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void importOpensAnUntitledModifiedDocumentAndExportWritesItBack()
    {
        CWindowHarness harness;
        TfrmMain& window = harness.Start();
        QCOMPARE(harness.Action("actFileExportJson")->text(), QStringLiteral("Export as JSON\u2026"));
        QCOMPARE(harness.Action("actFileImportJson")->text(), QStringLiteral("Import JSON\u2026"));
        QVERIFY(!harness.Action("actFileExportJson")->isEnabled()); // no document yet

        const std::string sKvt = harness.Dir().File("a.kvt");
        QVERIFY(WriteExportExample(sKvt));
        harness.Dialogs().QueueFileName(sKvt);
        harness.Action("actFileOpen")->trigger();
        QVERIFY(harness.Action("actFileExportJson")->isEnabled());
        const std::string sOutline = TreeOutline(window.RootNode());
        const std::string sJson = harness.Dir().File("a.json");
        harness.Dialogs().QueueFileName(sJson);
        harness.Action("actFileExportJson")->trigger();
        QCOMPARE(ReadFileText(sJson), CKvtJsonWriter::ToString(window.RootNode()));

        // The unchanged document is replaced without a question.
        harness.Dialogs().QueueFileName(sJson);
        harness.Action("actFileImportJson")->trigger();
        QCOMPARE(harness.Dialogs().Boxes().size(), size_t(0));
        QVERIFY(window.IsModified());
        QCOMPARE(window.FileName(), COroString(""));
        QCOMPARE(TreeOutline(window.RootNode()), sOutline);
        QCOMPARE(CountNodes(window.RootNode()), int64_t(5));
    }

    void refusedJsonShowsTheReadersMessageAndKeepsTheDocument()
    {
        CWindowHarness harness;
        TfrmMain& window = harness.Start();
        const std::string sKvt = harness.Dir().File("a.kvt");
        QVERIFY(WriteExportExample(sKvt));
        harness.Dialogs().QueueFileName(sKvt);
        harness.Action("actFileOpen")->trigger();
        const std::string sOutline = TreeOutline(window.RootNode());

        const std::string sBad = harness.Dir().File("bad.json");
        QVERIFY(WriteFileText(sBad, "{\"format\":\"KVT JSON\",\n \"format_version\":2}"));
        harness.Dialogs().QueueFileName(sBad);
        harness.Action("actFileImportJson")->trigger();
        QCOMPARE(harness.Dialogs().Boxes().size(), size_t(1));
        const KvtMessageBox_st& box = harness.Dialogs().Boxes().back();
        QCOMPARE(box.sText, sBad + ": line 2, column 19, JSON Pointer \"/format_version\": this reader knows format "
                                  "version 1");
        QCOMPARE(box.nIcon, TKvtBoxIcon::Error);
        QVERIFY(!window.IsModified());
        QCOMPARE(window.FileName(), COroString(sKvt.c_str()));
        QCOMPARE(TreeOutline(window.RootNode()), sOutline);
    }
};

KVT_WINDOW_TEST_MAIN(JsonCommandsTest)

#include "JsonCommandsTest.moc"
