#include "BenchHostileFiles.h"

#include <cstdlib>
#include <memory>

#include "BenchClock.h"
#include "BenchMemory.h"
#include "KVTOpenDocument.h"
#include "KvtHostileShapes.h"
#include "TempDir.h"
#include "ororeportrecorder.h"

namespace {

constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kSecondsAllowed = 3.0;
// The writer's first table capacities and the output buffer: what any save
// takes, however small its file.
constexpr int64_t kSaveSlackBytes = 1024 * 1024;

int64_t MemoryBound(int64_t nFileBytes)
{
    return 64 * nFileBytes + 96 * 1024 * 1024;
}

} // namespace

void CBenchHostileFiles::Measure(const std::string& sWork, int nRuns, const TRunChild& runChild)
{
    for (const CKvtHostileShapes::Shape_st& shape : CKvtHostileShapes::BenchmarkShapes()) {
        Row_st row;
        row.sName = shape.sName;
        row.sDescription = shape.sDescription;
        row.nFileBytes = static_cast<int64_t>(shape.image.size());
        const std::string sFile = sWork + "/" + shape.sName + ".kvt";
        if (!WriteFileBytes(sFile, shape.image)) {
            std::fprintf(stderr, "kvt_bench: could not write %s\n", sFile.c_str());
            continue;
        }
        std::fprintf(stderr, "kvt_bench: %s: %lld bytes, %d runs\n", shape.sName.c_str(),
                     static_cast<long long>(row.nFileBytes), nRuns);
        std::vector<double> opens, saves, openPeaks, savePeaks;
        for (int i = 0; i < nRuns; ++i) {
            double dOpen = -1, dSave = -1;
            long long nOpenPeak = -1, nSavePeak = -1, nSaved = -1;
            int nWarnings = -1;
            const std::string sLine = runChild(kChildMode, sFile, "KVTHOSTILE ");
            if (std::sscanf(sLine.c_str(), "%lf %lf %lld %lld %lld %d", &dOpen, &dSave, &nOpenPeak, &nSavePeak,
                            &nSaved, &nWarnings) != 6)
                continue;
            row.nSavedBytes = nSaved;
            opens.push_back(dOpen);
            saves.push_back(dSave);
            openPeaks.push_back(static_cast<double>(nOpenPeak));
            savePeaks.push_back(static_cast<double>(nSavePeak));
            row.nWarnings = nWarnings;
        }
        if (!opens.empty()) {
            row.dOpen = CBenchClock::MedianOf(opens);
            row.dSave = CBenchClock::MedianOf(saves);
            row.nOpenPeakBytes = static_cast<int64_t>(CBenchClock::MedianOf(openPeaks));
            row.nSavePeakBytes = static_cast<int64_t>(CBenchClock::MedianOf(savePeaks));
        }
        std::remove(sFile.c_str());
        m_Rows.push_back(row);
    }
}

void CBenchHostileFiles::Print(std::FILE* pOut) const
{
    std::fprintf(pOut, "\nCrafted files (open and save again in a fresh process each; medians):\n");
    std::fprintf(pOut, "%-18s %10s %9s %9s %12s %12s %12s %8s  %s\n", "shape", "file KiB", "open s", "save s",
                 "open MiB", "save MiB", "bound MiB", "warnings", "verdict");
    for (const Row_st& row : m_Rows) {
        const bool bMeasured = row.dOpen >= 0;
        const bool bMet = bMeasured && row.dOpen <= kSecondsAllowed && row.dSave <= kSecondsAllowed &&
                          row.nOpenPeakBytes <= MemoryBound(row.nFileBytes) &&
                          row.nSavePeakBytes <= row.nOpenPeakBytes + row.nSavedBytes + kSaveSlackBytes;
        std::fprintf(pOut, "%-18s %10.1f %9.3f %9.3f %12.1f %12.1f %12.1f %8d  %s\n", row.sName.c_str(),
                     static_cast<double>(row.nFileBytes) / 1024.0, row.dOpen, row.dSave,
                     static_cast<double>(row.nOpenPeakBytes) / kMiB, static_cast<double>(row.nSavePeakBytes) / kMiB,
                     static_cast<double>(MemoryBound(row.nFileBytes)) / kMiB, row.nWarnings,
                     !bMeasured ? "not measured" : (bMet ? "met" : "NOT MET"));
    }
    for (const Row_st& row : m_Rows)
        std::fprintf(pOut, "  %-18s %s\n", row.sName.c_str(), row.sDescription.c_str());
    std::fprintf(pOut, "  Bounds: open and save each within %.0f s; open peak within 64 x file + 96 MiB; save peak "
                       "within the open peak, the saved file's size and 1 MiB.\n",
                 kSecondsAllowed);
}

int CBenchHostileFiles::RunChild(const char* pFile)
{
    COroReportRecorder recorder;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    const double dOpen = CBenchClock::Time([&]() { OpenKvtDocument(pFile, pRoot); });
    if (!pRoot)
        return 1;
    const BenchMemory_st opened = ReadProcessMemory();
    const std::string sSaved = std::string(pFile) + ".saved";
    bool bSaved = false;
    const double dSave = CBenchClock::Time([&]() { bSaved = pRoot->SaveDocument(sSaved.c_str()); });
    const BenchMemory_st saved = ReadProcessMemory();
    const size_t nSavedBytes = ReadFileBytes(sSaved).size();
    std::remove(sSaved.c_str());
    if (!bSaved)
        return 1;
    std::printf("KVTHOSTILE %.6f %.6f %lld %lld %zu %zu\n", dOpen, dSave, static_cast<long long>(opened.nPeakBytes),
                static_cast<long long>(saved.nPeakBytes), nSavedBytes, recorder.Count());
    std::fflush(stdout);
    std::_Exit(0);
}
