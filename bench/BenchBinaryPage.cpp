#include "BenchBinaryPage.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <vector>

#include "BenchClock.h"
#include "BenchMemory.h"
#include "BenchPaintWatch.h"
#include "KVTBinarySplice.h"
#include "KVTEditorMain.h"
#include "KVTHexView.h"
#include "KVTTreeModel.h"

namespace {

constexpr uint32_t kValueBytes = 64u * 1024 * 1024;
constexpr int kPaintTimeoutMs = 60000;

bool WriteBinaryDocument(const std::string& sPath)
{
    CKvtNodeTopLevelStruct root;
    root.SetFromText("BLOB\nV3.2");
    CKvtNodeBase* pFlag = CreateKvtNode(ftBYTE);
    pFlag->m_sLabel = "Flag";
    root.AddChild(pFlag);
    auto* pBlob = static_cast<CKvtNodeBINARY*>(CreateKvtNode(ftBINARY));
    pBlob->m_sLabel = "Blob";
    pBlob->m_nIndex = 1;
    root.AddChild(pBlob);
    std::vector<uint8_t> bytes(kValueBytes);
    uint32_t nState = 2463534242u;
    for (uint8_t& nByte : bytes) {
        nState ^= nState << 13;
        nState ^= nState >> 17;
        nState ^= nState << 5;
        nByte = static_cast<uint8_t>(nState);
    }
    return SpliceBinaryValue(*pBlob, 0, 0, bytes.data(), kValueBytes) && root.SaveDocument(sPath.c_str());
}

class CPagePainter {
public:
    explicit CPagePainter(CKvtHexView& view) : m_View(view), m_pWatch(new CBenchPaintWatch(&view))
    {
        view.viewport()->installEventFilter(m_pWatch);
    }
    // Seconds from the start of work until the view has painted.
    double Time(const std::function<void()>& work)
    {
        bool bPainted = false;
        const double dSeconds = CBenchClock::Time([&]() {
            m_pWatch->Reset();
            work();
            QElapsedTimer timer;
            timer.start();
            while (!m_pWatch->Painted() && timer.elapsed() < kPaintTimeoutMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            bPainted = m_pWatch->Painted();
        });
        return bPainted ? dSeconds : -1.0;
    }

private:
    CKvtHexView& m_View;
    CBenchPaintWatch* m_pWatch;
};

void Press(QWidget* pWidget, int nKey, const QString& sText = QString())
{
    QKeyEvent press(QEvent::KeyPress, nKey, Qt::NoModifier, sText);
    QCoreApplication::sendEvent(pWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, nKey, Qt::NoModifier, sText);
    QCoreApplication::sendEvent(pWidget, &release);
}

} // namespace

BenchBinaryFigures_st CBenchBinaryPage::Measure(TfrmMain& window, const std::string& sWork, int nRuns)
{
    BenchBinaryFigures_st figures;
    const std::string sPath = sWork + "/binary64M.kvt";
    auto* pView = window.findChild<CKvtHexView*>(QStringLiteral("gBinaryData"));
    if (!pView || !WriteBinaryDocument(sPath) || !window.OpenFile(COroString(sPath.c_str())))
        return figures;
    CKvtTreeModel& model = window.TreeModel();
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();
    if (pRoot->GetChildCount() != 2)
        return figures;
    const QModelIndex flag = model.MakeItemOnPath({pRoot, pRoot->GetChild(0)});
    const QModelIndex blob = model.MakeItemOnPath({pRoot, pRoot->GetChild(1)});
    if (!blob.isValid() || !flag.isValid())
        return figures;
    CPagePainter painter(*pView);
    window.SelectItem(flag);
    QCoreApplication::processEvents();

    const BenchMemory_st before = ReadProcessMemory();
    std::vector<double> shows;
    for (int r = 0; r < nRuns; ++r) {
        shows.push_back(painter.Time([&]() { window.SelectItem(blob); }));
        if (r + 1 < nRuns) {
            window.SelectItem(flag);
            QCoreApplication::processEvents();
        }
    }
    const BenchMemory_st after = ReadProcessMemory();
    figures.dShow = CBenchClock::MedianOf(shows);
    figures.nPageBytes = after.nResidentBytes - before.nResidentBytes;

    QScrollBar* pBar = pView->RowScrollBar();
    std::vector<double> scrolls, overwrites;
    for (int r = 0; r < nRuns; ++r) {
        const int nRow = pBar->maximum() / (r + 2);
        scrolls.push_back(painter.Time([&]() { pBar->setValue(nRow); }));
        pView->SetCursor(static_cast<uint64_t>(nRow) * CKvtHexTableModel::kBytesPerRow);
        overwrites.push_back(painter.Time([&]() { Press(pView, Qt::Key_A, QStringLiteral("a")); }));
    }
    figures.dScroll = CBenchClock::MedianOf(scrolls);
    figures.dOverwrite = CBenchClock::MedianOf(overwrites);

    QAction* pUndo = window.findChild<QAction*>(QStringLiteral("actEditUndo"));
    Press(pView, Qt::Key_Insert);
    std::vector<double> inserts, undos;
    for (int r = 0; r <= nRuns; ++r) {
        pView->SetCursor(0);
        QCoreApplication::processEvents();
        inserts.push_back(painter.Time([&]() { Press(pView, Qt::Key_5, QStringLiteral("5")); }));
        undos.push_back(painter.Time([&]() { pUndo->trigger(); }));
    }
    Press(pView, Qt::Key_Insert);
    figures.dFirstInsert = inserts.front();
    inserts.erase(inserts.begin());
    figures.dInsert = CBenchClock::MedianOf(inserts);
    figures.dUndo = CBenchClock::MedianOf(undos);
    figures.nValueBytes = kValueBytes;
    figures.bMeasured = figures.dShow >= 0 && figures.dScroll >= 0 && figures.dOverwrite >= 0;

    // Nothing is saved: the steps go with the document.
    window.CloseFile();
    std::remove(sPath.c_str());
    return figures;
}

void CBenchBinaryPage::Print(std::FILE* pOut, const BenchBinaryFigures_st& figures)
{
    if (!figures.bMeasured) {
        std::fprintf(pOut, "\nBinary Data page: not measured\n");
        return;
    }
    std::fprintf(pOut, "\nBinary Data page, one BINARY value of %u MiB (median, until the hex view has painted)\n",
                 figures.nValueBytes / (1024 * 1024));
    std::fprintf(pOut, "  show the value                 %8.2f ms  (target <= 100 ms)\n", figures.dShow * 1e3);
    std::fprintf(pOut, "  scroll to another place       %8.2f ms  (target <= 16 ms)\n", figures.dScroll * 1e3);
    std::fprintf(pOut, "  type one digit over a byte    %8.2f ms  (target <= 16 ms)\n", figures.dOverwrite * 1e3);
    std::fprintf(pOut, "  first byte inserted           %8.2f ms  (once: the value moves to a buffer with room)\n",
                 figures.dFirstInsert * 1e3);
    std::fprintf(pOut, "  insert one byte at the start  %8.2f ms  (target <= 16 ms)\n", figures.dInsert * 1e3);
    std::fprintf(pOut, "  undo that insertion           %8.2f ms  (target <= 16 ms)\n", figures.dUndo * 1e3);
    std::fprintf(pOut, "  resident memory of the page   %8.2f MiB beside the %u MiB value\n",
                 static_cast<double>(figures.nPageBytes) / (1024.0 * 1024.0), figures.nValueBytes / (1024 * 1024));
}
