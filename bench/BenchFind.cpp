#include "BenchFind.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTreeView>
#include <string>

#include "BenchClock.h"
#include "KVTDocumentSession.h"
#include "KVTEditorMain.h"
#include "KVTExport.h"
#include "KVTFindBar.h"
#include "KVTFindController.h"
#include "KVTFindResultsModel.h"
#include "KVTPathWalk.h"
#include "KVTTreeModel.h"
#include "KVTTreeNavigation.h"

namespace {

const char kNeedle[] = "zq-needle-of-the-bench";

// The last string field the tree shows (the export's order): the one that a
// search from the root passes every other node to reach.
CKvtNodeBase* LastShownString(CKvtNodeTopLevelStruct* pRoot)
{
    CKvtNodeBase* pLast = nullptr;
    CKvtPathWalk walk(TKvtChildOrder::Caption, true);
    walk.SetBuildPaths(false);
    walk.Run(pRoot, [&](const KvtWalkVisit_st& visit) {
        if (visit.pNode->GetType() == ftSTRING)
            pLast = visit.pNode;
        return TKvtWalkStep::Continue;
    });
    return pLast;
}

void PaintNow(TfrmMain& window)
{
    QCoreApplication::processEvents();
    window.findChild<QTreeView*>(QStringLiteral("tvKVT"))->viewport()->repaint();
}

std::string Millis(double dSeconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", dSeconds * 1000);
    return dSeconds < 0 ? std::string("-") : std::string(text);
}

} // namespace

void MeasureFind(TfrmMain& window, BenchFindFigures_st& figures, int nRuns)
{
    CKvtNodeTopLevelStruct* pRoot = window.RootNode();
    CKvtNodeBase* pTarget = pRoot ? LastShownString(pRoot) : nullptr;
    if (!pTarget)
        return;
    pTarget->SetFromText(kNeedle);
    CKvtFindController& find = window.Navigation().Find();
    find.Bar().Open();
    find.Bar().findChild<QLineEdit*>(QStringLiteral("eFindText"))->setText(QString::fromLatin1(kNeedle));
    figures.dFindNext = CBenchClock::Median(
        nRuns,
        [&]() {
            // A fresh view each time: nothing made or expanded but the root.
            window.RebuildTreeView();
            window.SelectItem(window.TreeModel().RootIndex());
            PaintNow(window);
        },
        [&]() {
            find.FindNext(false);
            PaintNow(window);
        });
    if (window.Session().SelectedNode() != pTarget)
        figures.dFindNext = -1;

    figures.dFindAllOne = CBenchClock::Median(nRuns, nullptr, [&]() {
        find.FindAll();
        PaintNow(window);
    });
    if (find.Results().rowCount() != 1)
        figures.dFindAllOne = -1;
    // Find All over every node, listing the list nodes (their type name).
    find.Bar().findChild<QLineEdit*>(QStringLiteral("eFindText"))->setText(QStringLiteral("[List]"));
    figures.dFindAll = CBenchClock::Median(nRuns, nullptr, [&]() {
        find.FindAll();
        PaintNow(window);
    });
    figures.nFindAllHits = find.Results().rowCount();

    figures.dPathsText = CBenchClock::Median(nRuns, nullptr, [&]() {
        std::string sOut;
        CKvtPathWalk walk(TKvtChildOrder::Caption, true);
        walk.Run(pRoot, [&](const KvtWalkVisit_st& visit) {
            sOut += visit.sPath;
            sOut += '\n';
            return TKvtWalkStep::Continue;
        });
    });
    figures.dDumpText = CBenchClock::Median(nRuns, nullptr, [&]() { BuildExportText(pRoot); });
}

void PrintFindFigures(std::FILE* pOut, const BenchFindFigures_st& f)
{
    auto verdict = [](bool bMeasured, bool bMet) { return !bMeasured ? "not measured" : bMet ? "met" : "NOT MET"; };
    std::fprintf(pOut, "\nFind and paths in the 1M document:\n");
    std::fprintf(pOut, "  find-next from the root to the last hit <= 150 ms   %-12s %s ms\n",
                 verdict(f.dFindNext >= 0, f.dFindNext <= 0.150), Millis(f.dFindNext).c_str());
    std::fprintf(pOut, "  Find All over all nodes, one hit <= 1 s             %-12s %s ms\n",
                 verdict(f.dFindAllOne >= 0, f.dFindAllOne <= 1.0), Millis(f.dFindAllOne).c_str());
    std::fprintf(pOut, "  Find All over all nodes, every list <= 1 s          %-12s %s ms (%lld hits)\n",
                 verdict(f.dFindAll >= 0, f.dFindAll <= 1.0), Millis(f.dFindAll).c_str(), f.nFindAllHits);
    const bool bBoth = f.dPathsText > 0 && f.dDumpText > 0;
    std::fprintf(pOut, "  kvttool paths <= 2 x kvttool dump (without load)    %-12s %s ms vs %s ms\n",
                 verdict(bBoth, bBoth && f.dPathsText <= 2 * f.dDumpText), Millis(f.dPathsText).c_str(),
                 Millis(f.dDumpText).c_str());
}
