// The benchmark: makes the synthetic documents, times the editor's load,
// save, export and open paths on them with the anchors beside them, and
// prints one table. Every figure comes from this one run.
//
//   kvt_bench [--work DIR] [--runs N] [--docs NAME,NAME...] [--edits-in NAME]
//   kvt_bench --memory FILE      (internal: one document's memory figures)
//   kvt_bench --cold-load FILE   (internal: one load in a fresh process)
//   kvt_bench --cold-parse FILE  (internal: one RapidJSON parse in a fresh process)
//   kvt_bench --hostile-resave FILE (internal: one open and save of a crafted file)

#include <QApplication>
#include <malloc.h>
#include <rapidjson/document.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "BenchDocumentGenerator.h"
#include "BenchDocumentTimer.h"
#include "BenchHostileFiles.h"
#include "BenchFind.h"
#include "BenchJsonFormTimer.h"
#include "BenchJsonText.h"
#include "BenchMemory.h"
#include "BenchReport.h"
#include "BenchBinaryPage.h"
#include "BenchWindow.h"
#include "atomicfile.h"
#include "orobase.h"
#include "ororeportrecorder.h"
#include "ororesman.h"

namespace {

struct BenchDocument_st {
    const char* pName;
    int nRuns;
    std::function<std::unique_ptr<CKvtNodeTopLevelStruct>(CBenchDocumentGenerator&)> make;
};

std::vector<BenchDocument_st> Documents()
{
    return {
        {"10k", 9, [](CBenchDocumentGenerator& g) { return g.MakeNested(10000); }},
        {"100k", 7, [](CBenchDocumentGenerator& g) { return g.MakeNested(100000); }},
        {"1M", 5, [](CBenchDocumentGenerator& g) { return g.MakeNested(1000000); }},
        {"wide", 7, [](CBenchDocumentGenerator& g) { return g.MakeWide(50000); }},
        {"alt20k", 7, [](CBenchDocumentGenerator& g) { return g.MakeAlternating(20000); }},
        {"loc", 7, [](CBenchDocumentGenerator& g) { return g.MakeFlat(100000, true); }},
        {"plain", 7, [](CBenchDocumentGenerator& g) { return g.MakeFlat(100000, false); }},
    };
}

uint64_t SeedOf(const char* pName)
{
    uint64_t nSeed = 0x4B5654u;
    for (const char* p = pName; *p; ++p)
        nSeed = nSeed * 131 + static_cast<unsigned char>(*p);
    return nSeed;
}

int64_t FileSize(const std::string& sPath)
{
    struct stat info {};
    return stat(sPath.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
}

std::string Quoted(const std::string& sText)
{
    std::string sOut = "'";
    for (char c : sText)
        sOut += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return sOut + "'";
}

std::string OwnProgram()
{
    char program[4096];
    const ssize_t nLength = readlink("/proc/self/exe", program, sizeof program - 1);
    if (nLength <= 0)
        return std::string();
    program[nLength] = '\0';
    return program;
}

// Runs this program with one of the child modes below and returns the first
// line of its output that starts with sTag (without the tag), or "".
std::string RunChild(const char* pMode, const std::string& sFile, const char* pTag)
{
    const std::string sProgram = OwnProgram();
    if (sProgram.empty())
        return std::string();
    // The child's messages (Qt's among them) are not part of the table.
    const std::string sCommand = Quoted(sProgram) + " " + pMode + " " + Quoted(sFile) + " 2>/dev/null";
    std::FILE* pChild = popen(sCommand.c_str(), "r");
    if (!pChild)
        return std::string();
    std::string sFound;
    char line[256];
    const size_t nTag = std::strlen(pTag);
    while (std::fgets(line, sizeof line, pChild)) {
        if (sFound.empty() && std::strncmp(line, pTag, nTag) == 0)
            sFound = line + nTag;
    }
    pclose(pChild);
    return sFound;
}

// Memory is measured in processes of their own, so each document's peak is
// its own: each opens the file in the window as the editor does and reports
// its memory and how long the opening took. Medians of nRuns processes.
void MeasureMemoryInChildren(const std::string& sFile, int nRuns, BenchFigures_st& figures)
{
    std::vector<double> peaks, documents, opens;
    for (int i = 0; i < nRuns; ++i) {
        long long nBase = -1, nAfter = -1, nPeak = -1;
        double dOpen = -1;
        const std::string sLine = RunChild("--memory", sFile, "KVTMEM ");
        if (std::sscanf(sLine.c_str(), "%lld %lld %lld %lf", &nBase, &nAfter, &nPeak, &dOpen) != 4 || nPeak <= 0)
            continue;
        peaks.push_back(static_cast<double>(nPeak));
        documents.push_back(static_cast<double>(nAfter - nBase));
        if (dOpen >= 0)
            opens.push_back(dOpen);
    }
    if (peaks.empty())
        return;
    figures.nPeakBytes = static_cast<int64_t>(CBenchClock::MedianOf(peaks));
    figures.nDocumentBytes = static_cast<int64_t>(CBenchClock::MedianOf(documents));
    if (!opens.empty())
        figures.dColdOpenToTree = CBenchClock::MedianOf(opens);
}

// The peak memory of a process that loads the file, of one that also writes
// its JSON form, and of one that reads the JSON form and saves it.
void MeasureJsonMemory(const std::string& sFile, const std::string& sForm, BenchFigures_st& figures)
{
    auto peak = [](const char* pMode, const std::string& sPath) {
        long long nPeak = -1;
        return std::sscanf(RunChild(pMode, sPath, "KVTJSONMEM ").c_str(), "%lld", &nPeak) == 1 ? nPeak : -1;
    };
    figures.nLoadPeakBytes = peak(CBenchJsonFormTimer::kLoadMode, sFile);
    figures.nToJsonPeakBytes = peak(CBenchJsonFormTimer::kToJsonMode, sFile);
    figures.nFromJsonPeakBytes = peak(CBenchJsonFormTimer::kFromJsonMode, sForm);
}

// A fresh process loads (or parses) once: nothing of an earlier run is left
// in its heap, as when the editor opens its first document. The median of
// nRuns processes.
double MeasureInFreshProcesses(const char* pMode, const std::string& sFile, int nRuns)
{
    std::vector<double> times;
    for (int i = 0; i < nRuns; ++i) {
        double dSeconds = -1;
        if (std::sscanf(RunChild(pMode, sFile, "KVTTIME ").c_str(), "%lf", &dSeconds) == 1 && dSeconds >= 0)
            times.push_back(dSeconds);
    }
    return times.empty() ? -1.0 : CBenchClock::MedianOf(times);
}

int RunColdLoadChild(const char* pFile)
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    const double dSeconds = CBenchClock::Time([&]() { pRoot->LoadDocument(pFile); });
    std::printf("KVTTIME %.6f\n", dSeconds);
    std::fflush(stdout);
    std::_Exit(0);
}

int RunColdParseChild(const char* pFile)
{
    std::string sText;
    bool bExists = false;
    if (!ReadWholeFile(pFile, sText, bExists) || !bExists)
        return 1;
    rapidjson::Document document;
    const double dSeconds = CBenchClock::Time([&]() { document.Parse(sText.c_str(), sText.size()); });
    std::printf("KVTTIME %.6f\n", dSeconds);
    std::fflush(stdout);
    std::_Exit(document.HasParseError() ? 1 : 0);
}

int RunMemoryChild(const char* pFile, int argc, char** argv)
{
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const std::string sScratch = std::string(pFile) + ".window";
    mkdir(sScratch.c_str(), 0777);
    CBenchWindow window(sScratch);
    const BenchMemory_st before = ReadProcessMemory();
    const double dSeconds = window.OpenToTree(pFile);
    if (dSeconds < 0)
        return 1;
    const BenchMemory_st after = ReadProcessMemory();
    std::printf("KVTMEM %lld %lld %lld %.6f\n", static_cast<long long>(before.nResidentBytes),
                static_cast<long long>(after.nResidentBytes), static_cast<long long>(after.nPeakBytes), dSeconds);
    std::fflush(stdout);
    // The process ends here: tearing a million nodes down is not measured.
    std::_Exit(0);
}

bool Wanted(const std::string& sList, const char* pName)
{
    if (sList.empty())
        return true;
    // Whole names only: "1M" is not wanted by "10M".
    size_t nStart = 0;
    while (nStart <= sList.size()) {
        size_t nEnd = sList.find(',', nStart);
        if (nEnd == std::string::npos)
            nEnd = sList.size();
        if (sList.compare(nStart, nEnd - nStart, pName) == 0)
            return true;
        nStart = nEnd + 1;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    COroReportRecorder recorder;
    g_pOroBase = new COroBase;
    g_pOroResMan = new COroResMan;

    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return RunMemoryChild(argv[2], argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--cold-load") == 0)
        return RunColdLoadChild(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--cold-parse") == 0)
        return RunColdParseChild(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], CBenchHostileFiles::kChildMode) == 0)
        return CBenchHostileFiles::RunChild(argv[2]);
    if (argc == 3 && CBenchJsonFormTimer::IsChildMode(argv[1]))
        return CBenchJsonFormTimer::RunChild(argv[1], argv[2]);

    // The in-process figures are taken with a warm heap: memory freed by one
    // run stays mapped for the next, for the editor and RapidJSON alike.
    // Without this, whether the C library hands freed memory back to the
    // system (and every run pays the page faults again) depends on chance
    // allocations between runs. The fresh-process rows show the cold case.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);

    std::string sWork = "bench-work";
    std::string sDocs;
    std::string sEditsIn = "1M";
    int nRunsOverride = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--work") == 0)
            sWork = argv[i + 1];
        else if (std::strcmp(argv[i], "--runs") == 0)
            nRunsOverride = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--docs") == 0)
            sDocs = argv[i + 1];
        else if (std::strcmp(argv[i], "--edits-in") == 0)
            sEditsIn = argv[i + 1];
    }
    mkdir(sWork.c_str(), 0777);

    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    application.setQuitOnLastWindowClosed(false);
    std::setlocale(LC_NUMERIC, "C");
    const std::string sWindowScratch = sWork + "/window";
    mkdir(sWindowScratch.c_str(), 0777);
    auto pWindow = std::make_unique<CBenchWindow>(sWindowScratch);

    std::vector<BenchFigures_st> results;
    BenchEditFigures_st edits;
    BenchFindFigures_st find;
    for (const BenchDocument_st& document : Documents()) {
        if (!Wanted(sDocs, document.pName))
            continue;
        const int nRuns = nRunsOverride > 0 ? nRunsOverride : document.nRuns;
        BenchFigures_st figures;
        figures.sName = document.pName;
        const std::string sFile = sWork + "/" + document.pName + ".kvt";
        std::string sJson;
        {
            CBenchDocumentGenerator generator(SeedOf(document.pName));
            std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = document.make(generator);
            figures.nNodes = CBenchDocumentGenerator::CountNodes(pRoot.get());
            if (!pRoot->SaveDocument(sFile.c_str())) {
                std::fprintf(stderr, "kvt_bench: could not write %s\n", sFile.c_str());
                return 1;
            }
            sJson = MakeJsonText(pRoot.get());
        }
        figures.nFileBytes = FileSize(sFile);
        const std::string sJsonFile = sWork + "/" + document.pName + ".json";
        if (!ReplaceFileAtomically(sJsonFile, sJson)) {
            std::fprintf(stderr, "kvt_bench: could not write %s\n", sJsonFile.c_str());
            return 1;
        }
        std::fprintf(stderr, "kvt_bench: %s: %lld nodes, %d runs\n", document.pName,
                     static_cast<long long>(figures.nNodes), nRuns);

        CBenchDocumentTimer timer(sWork, nRuns);
        timer.MeasureFloor(sFile, figures);
        timer.MeasureKvt(sFile, figures);
        timer.MeasureJson(sJson, figures);
        sJson.clear();
        sJson.shrink_to_fit();

        std::vector<double> opens, expands;
        for (int r = 0; r < nRuns; ++r) {
            opens.push_back(pWindow->OpenToTree(sFile));
            expands.push_back(pWindow->ExpandRoot());
        }
        figures.dOpenToTree = CBenchClock::MedianOf(opens);
        figures.dExpandRoot = CBenchClock::MedianOf(expands);
        if (figures.sName == "1M") {
            pWindow->OpenToTree(sFile);
            MeasureFind(pWindow->Window(), find, nRuns);
        }
        if (figures.sName == sEditsIn) {
            pWindow->OpenToTree(sFile);
            edits.sDocument = figures.sName;
            pWindow->MeasureEdits(edits, 9);
            pWindow->MeasureUndo(edits, 9);
        }
        pWindow->CloseDocument();
        MeasureMemoryInChildren(sFile, nRuns, figures);
        figures.dColdLoad = MeasureInFreshProcesses("--cold-load", sFile, nRuns);
        figures.dColdParse = MeasureInFreshProcesses("--cold-parse", sJsonFile, nRuns);
        std::remove(sJsonFile.c_str());
        const std::string sForm = sWork + "/" + document.pName + ".form.json";
        CBenchJsonFormTimer(sWork, nRuns).Measure(sFile, sForm, figures);
        MeasureJsonMemory(sFile, sForm, figures);
        std::remove(sForm.c_str());
        results.push_back(figures);
    }

    // One 64 MiB binary value on the "Binary Data" page ("--docs binary" alone runs only this).
    BenchBinaryFigures_st binary;
    if (Wanted(sDocs, "binary"))
        binary = CBenchBinaryPage::Measure(pWindow->Window(), sWork, nRunsOverride > 0 ? nRunsOverride : 5);

    // Crafted files, each in processes of its own ("--docs hostile" alone runs only these).
    CBenchHostileFiles hostile;
    if (Wanted(sDocs, "hostile"))
        hostile.Measure(sWork, nRunsOverride > 0 ? nRunsOverride : 3, RunChild);

    CBenchReport(results, edits).Print(stdout);
    hostile.Print(stdout);
    PrintFindFigures(stdout, find);
    if (Wanted(sDocs, "binary"))
        CBenchBinaryPage::Print(stdout, binary);
    if (!recorder.Reports().empty())
        std::fprintf(stdout, "\n%zu warnings were raised during the run (the figures may not be meaningful).\n",
                     recorder.Reports().size());

    pWindow.reset();
    delete g_pOroResMan;
    g_pOroResMan = nullptr;
    delete g_pOroBase;
    g_pOroBase = nullptr;
    return 0;
}
