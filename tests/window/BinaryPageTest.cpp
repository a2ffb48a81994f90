// The "Binary Data" page through the real widgets: the hex view of a value,
// typing over and into it, removing, copying and pasting bytes, Import and
// Export (files that cannot be read or written change nothing), one undo
// step per change, and the edited bytes surviving a save and a reopen.

#include <sys/stat.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <fstream>
#include <iterator>

#include "KVTBinarySplice.h"
#include "KVTHexView.h"
#include "PanelTestSupport.h"
#include "TreeMirrorCheck.h"
#include "WindowTestProcess.h"
#include "WindowTestSupport.h"

namespace {

constexpr int kBlobBytes = 40;

std::string BlobBytes()
{
    std::string sBytes;
    for (int i = 0; i < kBlobBytes; ++i)
        sBytes += static_cast<char>(i < 16 ? i : 'A' + i - 16);
    return sBytes;
}

std::string FileBytes(const std::string& sPath)
{
    std::ifstream file(sPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& sPath, const std::string& sBytes)
{
    std::ofstream(sPath, std::ios::binary) << sBytes;
}

class CBinaryFixture {
public:
    CBinaryFixture() : m_Window(m_Harness.Start())
    {
        m_sPath = m_Harness.Dir().File("blob.kvt");
        m_bReady = ActivateWindow(m_Window) && WriteDocument(m_sPath, [](CKvtNodeTopLevelStruct& root) {
                       AddNode(&root, ftBYTE, "Flag", "1");
                       auto* pBlob = static_cast<CKvtNodeBINARY*>(AddNode(&root, ftBINARY, "Blob"));
                       const std::string sBytes = BlobBytes();
                       SpliceBinaryValue(*pBlob, 0, 0, reinterpret_cast<const uint8_t*>(sBytes.data()), kBlobBytes);
                   }) && m_Window.OpenFile(m_sPath.c_str());
        m_pView = Control<CKvtHexView>(m_Window, "gBinaryData");
    }
    bool Ready() const { return m_bReady && m_pView; }
    TfrmMain& Window() { return m_Window; }
    CWindowHarness& Harness() { return m_Harness; }
    CKvtScriptedDialogs& Dialogs() { return m_Harness.Dialogs(); }
    CKvtHexView& View() { return *m_pView; }
    const std::string& Path() const { return m_sPath; }
    CKvtNodeBINARY* Blob() { return static_cast<CKvtNodeBINARY*>(NodeAtPath(m_Window.RootNode(), "Blob")); }
    std::string Bytes()
    {
        CKvtNodeBINARY* pBlob = Blob();
        return std::string(reinterpret_cast<const char*>(pBlob->m_pData), BinaryValueSize(*pBlob));
    }
    // Selects the value and clicks the byte's cell, as the user does.
    void ClickByte(uint64_t nPosition)
    {
        if (m_Window.SelectedItem() != ItemOf(m_Window, Blob()))
            ClickItem(m_Window, Blob());
        const QModelIndex cell = View().Model().IndexOfPosition(nPosition);
        QTest::mouseClick(View().viewport(), Qt::LeftButton, {}, View().visualRect(cell).center());
    }
    void Key(Qt::Key nKey, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(&View(), nKey, modifiers); }
    void Type(const char* pDigits) { QTest::keyClicks(&View(), QString::fromLatin1(pDigits)); }
    QString Cell(int nRow, int nColumn) { return View().Model().index(nRow, nColumn).data().toString(); }
    QString UndoText() { return m_Harness.Action("actEditUndo")->text(); }
    void Undo() { m_Harness.Action("actEditUndo")->trigger(); }
    void Redo() { m_Harness.Action("actEditRedo")->trigger(); }
    QString Length() { return Control<QLabel>(m_Window, "lBinaryLength")->text(); }

private:
    CWindowHarness m_Harness;
    TfrmMain& m_Window;
    std::string m_sPath;
    CKvtHexView* m_pView = nullptr;
    bool m_bReady = false;
};

} // namespace

class BinaryPageTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheBytesInRowsOfSixteen();
    void typingOverwritesAndInsertsOneStepPerByte();
    void deleteAndBackspaceRemoveTheSelection();
    void copyAndPasteHexText();
    void importAndExportFiles();
    void editedBytesSurviveSaveAndReopen();
};

void BinaryPageTest::showsTheBytesInRowsOfSixteen()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    auto* pPages = Control<QTabWidget>(f.Window(), "pcDataPage");
    ClickItem(f.Window(), f.Blob());
    QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("tsBinaryTab"));
    QCOMPARE(f.Length(), QStringLiteral("Length: 40 bytes"));
    QVERIFY(f.View().isVisible());
    QCOMPARE(f.View().font().family(), Control<QTreeView>(f.Window(), "tvKVT")->font().family());
    // Offset, 16 bytes in hex, then the text with dots for control bytes;
    // the last row ends with the end position, where bytes are appended.
    QCOMPARE(f.Cell(0, 0), QStringLiteral("00000000"));
    QCOMPARE(f.Cell(0, 1), QStringLiteral("00"));
    QCOMPARE(f.Cell(0, 16), QStringLiteral("0F"));
    QCOMPARE(f.Cell(0, 17), QString(16, QLatin1Char('.')));
    QCOMPARE(f.Cell(1, 0), QStringLiteral("00000010"));
    QCOMPARE(f.Cell(1, 1), QStringLiteral("41"));
    QCOMPARE(f.Cell(1, 17), QStringLiteral("ABCDEFGHIJKLMNOP"));
    QCOMPARE(f.Cell(2, 17), QStringLiteral("QRSTUVWX"));
    QCOMPARE(f.Cell(2, 9), QString());
    QCOMPARE(f.View().Model().rowCount(), 3);
    QVERIFY(!f.Window().IsModified());
    // Another node shows its own page; the view lets go of the value.
    ClickItem(f.Window(), NodeAtPath(f.Window().RootNode(), "Flag"));
    QCOMPARE(pPages->currentWidget()->objectName(), QStringLiteral("tsFieldTab"));
    QCOMPARE(f.View().Model().Node(), nullptr);
    QVERIFY(!f.Window().IsModified());
}

void BinaryPageTest::typingOverwritesAndInsertsOneStepPerByte()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    const std::string sOriginal = f.Bytes();
    f.ClickByte(17);
    f.Type("a");
    // The first digit already shows; the second completes the same step.
    QCOMPARE(f.Bytes()[17], '\xA2');
    f.Type("b");
    QCOMPARE(f.Bytes()[17], '\xAB');
    QCOMPARE(f.View().Cursor(), 18u);
    QCOMPARE(f.UndoText(), QStringLiteral("Undo Type into Blob"));
    QVERIFY(f.Window().IsModified());
    QVERIFY(f.Harness().Caption().endsWith(QLatin1Char('*')));
    f.Type("c");
    f.ClickByte(30); // moving away leaves the half-typed byte as one step
    f.Type("1");
    f.Undo();
    QCOMPARE(f.Bytes()[30], sOriginal[30]);
    QCOMPARE(f.Bytes()[18], '\xC3');
    f.Undo();
    QCOMPARE(f.Bytes()[18], sOriginal[18]);
    QCOMPARE(f.Bytes()[17], '\xAB');
    f.Undo();
    QCOMPARE(f.Bytes(), sOriginal);
    QVERIFY(!f.Window().IsModified());
    // Undo showed the page again, with the value as it is now.
    QCOMPARE(f.Cell(1, 2), QStringLiteral("42"));

    // Insert mode: two digits make one new byte; the end position appends.
    f.ClickByte(2);
    f.Key(Qt::Key_Insert);
    QVERIFY(Control<QLabel>(f.Window(), "Label5")->text().startsWith(QStringLiteral("Insert mode")));
    f.Type("7e");
    QCOMPARE(f.Bytes().size(), sOriginal.size() + 1);
    QCOMPARE(f.Bytes().substr(1, 3), std::string("\x01\x7e\x02"));
    QCOMPARE(f.Length(), QStringLiteral("Length: 41 bytes"));
    f.Key(Qt::Key_Insert);
    f.ClickByte(41);
    f.Type("ff");
    QCOMPARE(f.Bytes().size(), sOriginal.size() + 2);
    QCOMPARE(f.Bytes().back(), '\xFF');
    const std::string sEdited = f.Bytes();
    f.Undo();
    f.Undo();
    QCOMPARE(f.Bytes(), sOriginal);
    QCOMPARE(f.Length(), QStringLiteral("Length: 40 bytes"));
    f.Redo();
    // Undo from another node selects the value and shows the changed byte.
    ClickItem(f.Window(), NodeAtPath(f.Window().RootNode(), "Flag"));
    f.Redo();
    QCOMPARE(f.Bytes(), sEdited);
    QCOMPARE(Control<QTabWidget>(f.Window(), "pcDataPage")->currentWidget()->objectName(),
             QStringLiteral("tsBinaryTab"));
    QCOMPARE(f.View().Cursor(), 41u);
    QCOMPARE(f.Length(), QStringLiteral("Length: 42 bytes"));
    QCOMPARE(FindTreeMirrorFault(f.Window().TreeModel(), f.Window().RootNode()), std::string());
}

void BinaryPageTest::deleteAndBackspaceRemoveTheSelection()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    const std::string sOriginal = f.Bytes();
    f.ClickByte(16);
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    // Delete is the node command's shortcut too: here it takes bytes.
    f.Key(Qt::Key_Delete);
    QVERIFY(f.Blob());
    QCOMPARE(f.Bytes(), sOriginal.substr(0, 16) + sOriginal.substr(19));
    QCOMPARE(f.UndoText(), QStringLiteral("Undo Delete Bytes of Blob"));
    f.ClickByte(37);
    f.Key(Qt::Key_Backspace); // at the end position: the byte before it
    QCOMPARE(f.Bytes(), sOriginal.substr(0, 16) + sOriginal.substr(19, 20));
    f.ClickByte(0);
    f.Key(Qt::Key_Backspace); // a selected byte goes itself
    QCOMPARE(f.Bytes(), sOriginal.substr(1, 15) + sOriginal.substr(19, 20));
    f.Undo();
    f.Undo();
    f.Undo();
    QCOMPARE(f.Bytes(), sOriginal);
    QVERIFY(!f.Window().IsModified());
}

void BinaryPageTest::copyAndPasteHexText()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    const std::string sOriginal = f.Bytes();
    f.ClickByte(16);
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    f.Key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("41 42 43"));
    // Overwrite: the pasted bytes replace as many at the cursor.
    f.ClickByte(0);
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Bytes(), std::string("ABC") + sOriginal.substr(3));
    QCOMPARE(f.View().Cursor(), 3u);
    // Insert mode: they go in; a selection of several bytes is replaced.
    f.Key(Qt::Key_Insert);
    QGuiApplication::clipboard()->setText(QStringLiteral("dead\nBEEF"));
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Bytes(), std::string("ABC\xDE\xAD\xBE\xEF") + sOriginal.substr(3));
    f.Key(Qt::Key_Right, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("00"));
    f.Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.Bytes(), std::string("ABC\xDE\xAD\xBE\xEF", 7) + std::string(1, '\0') + sOriginal.substr(5));
    // Text that is not whole hex bytes: a beep, nothing changed.
    const std::string sBefore = f.Bytes();
    const int nBeeps = f.Dialogs().Beeps();
    for (const char* pBad : {"4", "zz", "4 1", ""}) {
        QGuiApplication::clipboard()->setText(QString::fromLatin1(pBad));
        f.Key(Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(f.Dialogs().Beeps(), nBeeps + 4);
    QCOMPARE(f.Bytes(), sBefore);
    f.Undo();
    f.Undo();
    f.Undo();
    QCOMPARE(f.Bytes(), sOriginal);
    QVERIFY(!f.Window().IsModified());
}

void BinaryPageTest::importAndExportFiles()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    const std::string sOriginal = f.Bytes();
    const std::string sImport = f.Harness().Dir().File("import.bin");
    WriteFileBytes(sImport, std::string("\x00\x01imported\xFF", 11));
    ClickItem(f.Window(), f.Blob());
    auto* pImport = Control<QPushButton>(f.Window(), "bBinaryImport");
    auto* pExport = Control<QPushButton>(f.Window(), "bBinaryExport");
    f.Dialogs().QueueFileName(sImport);
    QTest::mouseClick(pImport, Qt::LeftButton);
    QCOMPARE(f.Bytes(), FileBytes(sImport));
    QCOMPARE(f.Length(), QStringLiteral("Length: 11 bytes"));
    QCOMPARE(f.UndoText(), QStringLiteral("Undo Import into Blob"));

    // Export writes the value; an existing file is replaced whole.
    const std::string sExport = f.Harness().Dir().File("export.bin");
    WriteFileBytes(sExport, std::string(100, 'x'));
    f.Dialogs().QueueFileName(sExport);
    QTest::mouseClick(pExport, Qt::LeftButton);
    QCOMPARE(FileBytes(sExport), FileBytes(sImport));
    QVERIFY(f.Dialogs().Boxes().empty());

    // Files that cannot be read: a message, the value and the steps as they were.
    for (const std::string& sBad : {f.Harness().Dir().File("missing.bin"), f.Harness().Dir().Path()}) {
        f.Dialogs().QueueFileName(sBad);
        QTest::mouseClick(pImport, Qt::LeftButton);
        QCOMPARE(f.Dialogs().Boxes().back().sText, "Cannot read file " + sBad);
    }
    QCOMPARE(f.Bytes(), FileBytes(sImport));
    QCOMPARE(f.UndoText(), QStringLiteral("Undo Import into Blob"));

    // Files that cannot be written: a message, the old file untouched.
    const std::string sNoFolder = f.Harness().Dir().File("no-such-folder/export.bin");
    f.Dialogs().QueueFileName(sNoFolder);
    QTest::mouseClick(pExport, Qt::LeftButton);
    QCOMPARE(f.Dialogs().Boxes().back().sText, "Cannot create file " + sNoFolder);
    QCOMPARE(f.Dialogs().Boxes().back().nIcon, TKvtBoxIcon::Error);
    const std::string sLocked = f.Harness().Dir().File("locked.bin");
    WriteFileBytes(sLocked, "old");
    QVERIFY(chmod(sLocked.c_str(), 0444) == 0);
    {
        CScopedNoWriteOverride noOverride;
        if (IsUnwritable(sLocked)) {
            f.Dialogs().QueueFileName(sLocked);
            QTest::mouseClick(pExport, Qt::LeftButton);
            QCOMPARE(f.Dialogs().Boxes().back().sText, "Cannot create file " + sLocked);
            QCOMPARE(FileBytes(sLocked), std::string("old"));
        }
    }
    f.Undo();
    QCOMPARE(f.Bytes(), sOriginal);
    QCOMPARE(f.Length(), QStringLiteral("Length: 40 bytes"));
    QVERIFY(!f.Window().IsModified());
    QCOMPARE(f.Dialogs().PendingFileNames(), 0u);
}

void BinaryPageTest::editedBytesSurviveSaveAndReopen()
{
    CBinaryFixture f;
    QVERIFY(f.Ready());
    f.ClickByte(39);
    f.Type("5a");
    f.Key(Qt::Key_Insert);
    f.Type("c3");
    f.ClickByte(0);
    f.Key(Qt::Key_Delete);
    const std::string sEdited = f.Bytes();
    QCOMPARE(sEdited.size(), 40u);
    f.Harness().Action("actFileSave")->trigger();
    QVERIFY(!f.Window().IsModified());
    QVERIFY(f.Window().OpenFile(f.Path().c_str()));
    QCOMPARE(f.Bytes(), sEdited);
    QCOMPARE(sEdited.substr(37), std::string("W\x5A\xC3"));
}

KVT_WINDOW_TEST_MAIN(BinaryPageTest)

#include "BinaryPageTest.moc"
