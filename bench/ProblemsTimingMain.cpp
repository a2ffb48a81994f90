// Times opening a damaged file in the real window: 5,000 list elements that
// share one unreadable STRING field (80 KB, one warning per element). The
// warnings go to the Problems panel; the figure includes the panel and the
// tree view painting. Also counts the boxes the window's own report handler
// was asked to show (there should be none).
// Usage: QT_QPA_PLATFORM=offscreen kvt_problems_timing [RUNS]
//        kvt_problems_timing --write FILE   (writes the damaged file only)

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "KVTProblemsModel.h"
#include "KVTProblemsPanel.h"
#include "KVTQtReportHandler.h"
#include "KvtHostileShapes.h"
#include "WindowTestSupport.h"
#include "orobase.h"
#include "ororesman.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--write")
        return WriteFileBytes(argv[2], CKvtHostileShapes::SharedDamagedFieldStructs(5000)) ? 0 : 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const int nRuns = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;
    int nExit = 0;
    {
        CWindowHarness harness;
        TfrmMain& window = harness.Start();
        CKvtQtReportHandler boxes(harness.Dialogs());
        IOroReportHandler* pPrevious = SetOroReportHandler(&boxes);
        const std::string sPath = harness.Dir().File("damaged.kvt");
        const std::vector<uint8_t> image = CKvtHostileShapes::SharedDamagedFieldStructs(5000);
        if (!WriteFileBytes(sPath, image)) {
            std::fprintf(stderr, "kvt_problems_timing: could not write the file\n");
            nExit = 1;
        }
        QTreeView* pTree = window.findChild<QTreeView*>(QStringLiteral("tvKVT"));
        QTreeView* pProblems = window.findChild<QTreeView*>(QStringLiteral("tvProblems"));
        std::vector<double> times;
        for (int i = 0; i < nRuns && nExit == 0; ++i) {
            QElapsedTimer timer;
            timer.start();
            const bool bOpened = window.OpenFile(sPath.c_str());
            QCoreApplication::processEvents();
            pTree->viewport()->repaint();
            pProblems->viewport()->repaint();
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
            if (!bOpened)
                nExit = 1;
        }
        std::sort(times.begin(), times.end());
        std::printf("damaged file: %zu bytes, %d rows in Problems, %zu boxes, open median %.3f s (of %zu runs, "
                    "max %.3f s)\n",
                    image.size(), window.Problems().Model().Count(), harness.Dialogs().Boxes().size(),
                    times.empty() ? -1.0 : times[times.size() / 2], times.size(), times.empty() ? -1.0 : times.back());
        SetOroReportHandler(pPrevious);
        harness.Stop();
    }
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return nExit;
}
