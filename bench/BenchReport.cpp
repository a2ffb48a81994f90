#include "BenchReport.h"

#include <cstring>
#include <functional>
#include <string>

namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::string Number(double dValue, const char* pFormat)
{
    if (dValue < 0)
        return "-";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pFormat, dValue);
    return buffer;
}

std::string Ratio(double dTop, double dBottom)
{
    return (dTop < 0 || dBottom <= 0) ? "-" : Number(dTop / dBottom, "%.2f");
}

std::string Millis(double dSeconds)
{
    return Number(dSeconds < 0 ? -1 : dSeconds * 1000.0, "%.1f");
}

std::string MicrosPerNode(double dSeconds, int64_t nNodes)
{
    return (dSeconds < 0 || nNodes <= 1) ? "-" : Number(dSeconds * 1e6 / static_cast<double>(nNodes - 1), "%.3f");
}

const char* Verdict(bool bMeasured, bool bMet)
{
    return !bMeasured ? "not measured" : (bMet ? "met" : "NOT MET");
}

} // namespace

const BenchFigures_st* CBenchReport::Find(const char* pName) const
{
    for (const BenchFigures_st& figures : m_Documents) {
        if (figures.sName == pName)
            return &figures;
    }
    return nullptr;
}

void CBenchReport::Print(std::FILE* pOut) const
{
    PrintTable(pOut);
    PrintEdits(pOut);
    PrintTargets(pOut);
}

void CBenchReport::PrintTable(std::FILE* pOut) const
{
    using CCell = std::function<std::string(const BenchFigures_st&)>;
    const std::vector<std::pair<const char*, CCell>> rows = {
        {"nodes", [](const BenchFigures_st& f) { return Number(static_cast<double>(f.nNodes), "%.0f"); }},
        {"file MiB", [](const BenchFigures_st& f) { return Number(f.nFileBytes / kMiB, "%.1f"); }},
        {"load ms", [](const BenchFigures_st& f) { return Millis(f.dLoad); }},
        {"save ms (atomic)", [](const BenchFigures_st& f) { return Millis(f.dSave); }},
        {"export ms", [](const BenchFigures_st& f) { return Millis(f.dExport); }},
        {"open-to-tree ms", [](const BenchFigures_st& f) { return Millis(f.dOpenToTree); }},
        {"expand root ms", [](const BenchFigures_st& f) { return Millis(f.dExpandRoot); }},
        {"peak RSS MiB", [](const BenchFigures_st& f) { return Number(f.nPeakBytes / kMiB, "%.0f"); }},
        {"bytes/node",
         [](const BenchFigures_st& f) {
             return f.nDocumentBytes < 0 ? std::string("-")
                                         : Number(static_cast<double>(f.nDocumentBytes) / f.nNodes, "%.0f");
         }},
        {"floor ms (read+copy)", [](const BenchFigures_st& f) { return Millis(f.dFloor); }},
        {"JSON MiB", [](const BenchFigures_st& f) { return Number(f.nJsonBytes / kMiB, "%.1f"); }},
        {"RapidJSON parse ms", [](const BenchFigures_st& f) { return Millis(f.dJsonParse); }},
        {"RapidJSON write ms", [](const BenchFigures_st& f) { return Millis(f.dJsonWrite); }},
        {"load / parse", [](const BenchFigures_st& f) { return Ratio(f.dLoad, f.dJsonParse); }},
        {"save / write", [](const BenchFigures_st& f) { return Ratio(f.dSave, f.dJsonWrite); }},
        {"load / floor", [](const BenchFigures_st& f) { return Ratio(f.dLoad, f.dFloor); }},
        {"load ms, fresh process", [](const BenchFigures_st& f) { return Millis(f.dColdLoad); }},
        {"parse ms, fresh process", [](const BenchFigures_st& f) { return Millis(f.dColdParse); }},
        {"fresh load / parse", [](const BenchFigures_st& f) { return Ratio(f.dColdLoad, f.dColdParse); }},
        {"open-to-tree ms, fresh", [](const BenchFigures_st& f) { return Millis(f.dColdOpenToTree); }},
        {"open-to-tree / load", [](const BenchFigures_st& f) { return Ratio(f.dOpenToTree, f.dLoad); }},
        {"load us/node", [](const BenchFigures_st& f) { return MicrosPerNode(f.dLoad, f.nNodes); }},
        {"save us/node", [](const BenchFigures_st& f) { return MicrosPerNode(f.dSave, f.nNodes); }},
        {"JSON form MiB", [](const BenchFigures_st& f) { return Number(f.nJsonFormBytes / kMiB, "%.1f"); }},
        {"to-json ms", [](const BenchFigures_st& f) { return Millis(f.dToJson); }},
        {"from-json ms", [](const BenchFigures_st& f) { return Millis(f.dFromJson); }},
        {"to-json / write", [](const BenchFigures_st& f) { return Ratio(f.dToJson, f.dJsonWrite); }},
        {"from-json / parse+save",
         [](const BenchFigures_st& f) {
             return f.dJsonParse > 0 && f.dSave > 0 ? Ratio(f.dFromJson, f.dJsonParse + f.dSave) : std::string("-");
         }},
        {"peak MiB: load", [](const BenchFigures_st& f) { return Number(f.nLoadPeakBytes / kMiB, "%.0f"); }},
        {"peak MiB: to-json", [](const BenchFigures_st& f) { return Number(f.nToJsonPeakBytes / kMiB, "%.0f"); }},
        {"peak MiB: from-json", [](const BenchFigures_st& f) { return Number(f.nFromJsonPeakBytes / kMiB, "%.0f"); }},
        {"diff ms (10 changes)", [](const BenchFigures_st& f) { return Millis(f.dDiff); }},
    };
    std::fprintf(pOut, "%-24s", "");
    for (const BenchFigures_st& figures : m_Documents)
        std::fprintf(pOut, " %10s", figures.sName.c_str());
    std::fprintf(pOut, "\n");
    for (const auto& [pLabel, cell] : rows) {
        std::fprintf(pOut, "%-24s", pLabel);
        for (const BenchFigures_st& figures : m_Documents)
            std::fprintf(pOut, " %10s", cell(figures).c_str());
        std::fprintf(pOut, "\n");
    }
}

void CBenchReport::PrintEdits(std::FILE* pOut) const
{
    std::fprintf(pOut,
                 "\nSingle edits through the window's commands in the %s document, inside its largest\n"
                 "top-level list (%d elements):\n",
                 m_Edits.sDocument.c_str(), m_Edits.nListSiblings);
    std::fprintf(pOut, "  expand that list                     %8s ms\n", Millis(m_Edits.dExpandList).c_str());
    std::fprintf(pOut, "  select a leaf and apply a new value  %8s ms\n", Millis(m_Edits.dSelectApply).c_str());
    std::fprintf(pOut, "  add a node                           %8s ms\n", Millis(m_Edits.dAddNode).c_str());
    std::fprintf(pOut, "  paste a 10-node subtree              %8s ms\n", Millis(m_Edits.dPasteSubtree).c_str());
    std::fprintf(pOut, "  delete a node                        %8s ms\n", Millis(m_Edits.dDeleteNode).c_str());
    std::fprintf(pOut, "  undo a 100,001-node paste            %8s ms\n", Millis(m_Edits.dUndoPaste).c_str());
    std::fprintf(pOut, "  redo a 100,001-node paste            %8s ms\n", Millis(m_Edits.dRedoPaste).c_str());
    std::fprintf(pOut, "  undo a 100,001-node delete           %8s ms\n", Millis(m_Edits.dUndoDelete).c_str());
    std::fprintf(pOut, "  redo a 100,001-node delete           %8s ms\n", Millis(m_Edits.dRedoDelete).c_str());
    std::fprintf(pOut, "  memory of 1,000 value steps          %8s KB\n",
                 Number(static_cast<double>(m_Edits.nValueStepsBytes) / 1e3, "%.0f").c_str());
}

void CBenchReport::PrintTargets(std::FILE* pOut) const
{
    std::fprintf(pOut, "\nTargets:\n");
    auto line = [pOut](const char* pWhat, bool bMeasured, bool bMet, const std::string& sFigures) {
        std::fprintf(pOut, "  %-44s %-13s %s\n", pWhat, Verdict(bMeasured, bMet), sFigures.c_str());
    };
    const BenchFigures_st* pBig = Find("1M");
    if (pBig) {
        const BenchFigures_st& f = *pBig;
        line("1M load <= 2 x RapidJSON parse", f.dLoad > 0 && f.dJsonParse > 0, f.dLoad <= 2 * f.dJsonParse,
             "ratio " + Ratio(f.dLoad, f.dJsonParse));
        line("1M save <= 2 x RapidJSON write", f.dSave > 0 && f.dJsonWrite > 0, f.dSave <= 2 * f.dJsonWrite,
             "ratio " + Ratio(f.dSave, f.dJsonWrite));
        line("1M export <= 1.5 s", f.dExport > 0, f.dExport <= 1.5, Millis(f.dExport) + " ms");
        line("1M open-to-tree <= 1.5 x load", f.dOpenToTree > 0 && f.dLoad > 0, f.dOpenToTree <= 1.5 * f.dLoad,
             "ratio " + Ratio(f.dOpenToTree, f.dLoad));
        line("1M to-json <= 1.5 x RapidJSON write", f.dToJson > 0 && f.dJsonWrite > 0,
             f.dToJson <= 1.5 * f.dJsonWrite, "ratio " + Ratio(f.dToJson, f.dJsonWrite));
        line("1M from-json <= 2 x (parse + save)", f.dFromJson > 0 && f.dJsonParse > 0 && f.dSave > 0,
             f.dFromJson <= 2 * (f.dJsonParse + f.dSave), "ratio " + Ratio(f.dFromJson, f.dJsonParse + f.dSave));
        const int64_t nJsonBudget = f.nLoadPeakBytes + f.nJsonFormBytes;
        line("1M to-json peak <= load peak + JSON", f.nToJsonPeakBytes > 0 && f.nLoadPeakBytes > 0,
             f.nToJsonPeakBytes <= nJsonBudget,
             Number(f.nToJsonPeakBytes / 1e6, "%.0f") + " <= " + Number(nJsonBudget / 1e6, "%.0f") + " MB");
        line("1M from-json peak <= load peak + JSON", f.nFromJsonPeakBytes > 0 && f.nLoadPeakBytes > 0,
             f.nFromJsonPeakBytes <= nJsonBudget,
             Number(f.nFromJsonPeakBytes / 1e6, "%.0f") + " <= " + Number(nJsonBudget / 1e6, "%.0f") + " MB");
        line("1M diff of 10 changed values <= 2 s", f.dDiff > 0 && f.nDiffLines == 10, f.dDiff <= 2.0,
             Millis(f.dDiff) + " ms, " + std::to_string(f.nDiffLines) + " lines");
        line("1M peak memory <= 400 MB", f.nPeakBytes > 0, f.nPeakBytes <= 400ll * 1000 * 1000,
             Number(f.nPeakBytes / 1e6, "%.0f") + " MB");
    }
    auto perNode = [](double dSeconds, const BenchFigures_st& f) {
        return dSeconds / static_cast<double>(f.nNodes - 1);
    };
    const BenchFigures_st* pWide = Find("wide");
    if (pBig && pWide) {
        const double dWide = perNode(pWide->dLoad, *pWide), dBig = perNode(pBig->dLoad, *pBig);
        line("wide load/field <= 2 x 1M load/node", pWide->dLoad > 0 && pBig->dLoad > 0, dWide <= 2 * dBig,
             "ratio " + Ratio(dWide, dBig));
        const double dWideSave = perNode(pWide->dSave, *pWide), dBigSave = perNode(pBig->dSave, *pBig);
        line("wide save/field <= 2 x 1M save/node", pWide->dSave > 0 && pBig->dSave > 0, dWideSave <= 2 * dBigSave,
             "ratio " + Ratio(dWideSave, dBigSave));
    }
    const BenchFigures_st* pAlternating = Find("alt20k");
    if (pBig && pAlternating) {
        const double dAlt = perNode(pAlternating->dSave, *pAlternating), dBig = perNode(pBig->dSave, *pBig);
        line("alternating save/node <= 2 x 1M save/node", pAlternating->dSave > 0 && pBig->dSave > 0, dAlt <= 2 * dBig,
             "ratio " + Ratio(dAlt, dBig));
    }
    const BenchFigures_st* pLoc = Find("loc");
    const BenchFigures_st* pPlain = Find("plain");
    if (pLoc && pPlain) {
        const double dLoc = perNode(pLoc->dLoad, *pLoc), dPlain = perNode(pPlain->dLoad, *pPlain);
        line("locstring load/field <= 2 x other types", pLoc->dLoad > 0 && pPlain->dLoad > 0, dLoc <= 2 * dPlain,
             "ratio " + Ratio(dLoc, dPlain));
    }
    const std::pair<const char*, double> edits[] = {{"edit: select + apply <= 16 ms", m_Edits.dSelectApply},
                                                    {"edit: add a node <= 16 ms", m_Edits.dAddNode},
                                                    {"edit: paste 10 nodes <= 16 ms", m_Edits.dPasteSubtree},
                                                    {"edit: delete a node <= 16 ms", m_Edits.dDeleteNode}};
    for (const auto& [pWhat, dSeconds] : edits)
        line(pWhat, dSeconds >= 0, dSeconds <= 0.016, Millis(dSeconds) + " ms");
    const std::pair<const char*, double> replays[] = {{"undo: paste of 100,001 nodes <= 50 ms", m_Edits.dUndoPaste},
                                                      {"redo: paste of 100,001 nodes <= 50 ms", m_Edits.dRedoPaste},
                                                      {"undo: delete of 100,001 nodes <= 50 ms", m_Edits.dUndoDelete},
                                                      {"redo: delete of 100,001 nodes <= 50 ms", m_Edits.dRedoDelete}};
    for (const auto& [pWhat, dSeconds] : replays)
        line(pWhat, dSeconds >= 0, dSeconds <= 0.050, Millis(dSeconds) + " ms");
    line("undo: 1,000 value steps < 1 MB", m_Edits.nValueStepsBytes >= 0, m_Edits.nValueStepsBytes < 1000 * 1000,
         Number(static_cast<double>(m_Edits.nValueStepsBytes) / 1e3, "%.0f") + " KB");
}
