// kvttool: opens and saves KVT documents exactly as the editor does, without
// a window.
//   kvttool dump FILE        the File > Export text of FILE on standard output
//   kvttool resave IN OUT    open IN and save it as OUT
//   kvttool check [--quiet] FILE  exit 1 when opening FILE raised any warning
//   kvttool paths FILE       every node's path
//   kvttool get FILE PATH    the export line of the node at PATH
//   kvttool find FILE TEXT   every Find hit as "PATH<TAB>export line"
//   kvttool to-json FILE [OUT], from-json JSON OUT   the lossless JSON form
//   kvttool diff A B         the nodes that differ (A and B: KVT or JSON)
// Warnings go to standard error and are answered with Ignore.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "KVTExport.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "KVTOpenDocument.h"
#include "KvtToolFind.h"
#include "KvtToolDiff.h"
#include "KvtToolPaths.h"
#include "bcglobal.h"
#include "orobase.h"
#include "ororesman.h"

namespace {

const int kExitOk = 0;
const int kExitWarnings = 1;
const int kExitOpenFailed = 2;
const int kExitSaveFailed = 3;

const char kUsage[] =
    "Usage: kvttool COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  dump FILE        write the export text of FILE to standard output\n"
    "  resave IN OUT    open IN as the editor does and save it as OUT\n"
    "  check [--quiet] FILE\n"
    "                   open FILE; exit 1 if opening raised any warning, then\n"
    "                   write \"N warnings\" to standard error (--quiet: only that)\n"
    "  paths FILE       print every node's path, one a line, in the export's order\n"
    "  get FILE PATH    print the export line of the node at PATH (exit 4: no such node)\n"
    "  find FILE TEXT [--labels] [--values] [--types] [--case] [--word] [--regex]\n"
    "                   print PATH<TAB>export line for every node whose label, value\n"
    "                   or type name holds TEXT (all three without the first three\n"
    "                   options); exit 1 when nothing matches\n"
    "  to-json FILE [OUT]  write FILE's JSON form to OUT or standard output\n"
    "  from-json JSON OUT  read a JSON form and save it as the KVT file OUT\n"
    "  diff A B         print the nodes that differ (A, B: KVT files or JSON forms);\n"
    "                   exit 0 alike, 1 different\n"
    "  --version        print the program's title and version\n"
    "  --help           print this text\n"
    "\n"
    "Exit status: 0 success, 1 warnings (check), no hit (find) or a difference\n"
    "(diff), 2 the file could not be opened, the JSON is invalid, the command\n"
    "line is wrong or TEXT is not a valid expression, 3 the save or the write\n"
    "failed (resave, to-json, from-json), 4 no node has the path (get).\n"
    "docs/paths.md describes paths.\n";

// Writes each warning to standard error as its box text (unless quiet) and
// answers Ignore, counting them for "check".
class CToolReportHandler : public IOroReportHandler {
public:
    TOroReportAnswer Report(const OroReport_st& report) override
    {
        ++m_nReports;
        if (!m_bQuiet)
            std::fprintf(stderr, "%s: %s\n", report.caption, report.text);
        return TOroReportAnswer::Ignore;
    }
    long Count() const { return m_nReports; }
    void SetQuiet(bool bQuiet) { m_bQuiet = bQuiet; }

private:
    long m_nReports = 0;
    bool m_bQuiet = false;
};

// The objects the editor's program entry creates before anything else.
class CToolRuntime {
public:
    CToolRuntime()
    {
        SetOroReportHandler(&m_Handler);
        g_pOroBase = new COroBase;
        g_pOroResMan = new COroResMan;
    }
    ~CToolRuntime()
    {
        delete g_pOroResMan;
        g_pOroResMan = nullptr;
        delete g_pOroBase;
        g_pOroBase = nullptr;
        SetOroReportHandler(nullptr);
    }
    CToolRuntime(const CToolRuntime&) = delete;
    CToolRuntime& operator=(const CToolRuntime&) = delete;

    long Warnings() const { return m_Handler.Count(); }
    void SetQuiet(bool bQuiet) { m_Handler.SetQuiet(bQuiet); }

private:
    CToolReportHandler m_Handler;
};

// Opens the document or prints the editor's message for the failure.
std::unique_ptr<CKvtNodeTopLevelStruct> Open(const char* pFileName)
{
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    const TKvtOpenResult nResult = OpenKvtDocument(pFileName, pRoot);
    if (nResult != TKvtOpenResult::Opened)
        std::fprintf(stderr, "%s\n", GetOpenErrorText(nResult, pFileName).CStr());
    return pRoot;
}

int Dump(const char* pFileName)
{
    CToolRuntime runtime;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = Open(pFileName);
    if (!pRoot)
        return kExitOpenFailed;
    const std::string sText = BuildExportText(pRoot.get());
    if (std::fwrite(sText.data(), 1, sText.size(), stdout) != sText.size() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "kvttool: could not write to standard output\n");
        return kExitOpenFailed;
    }
    return kExitOk;
}

int Resave(const char* pIn, const char* pOut)
{
    CToolRuntime runtime;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = Open(pIn);
    if (!pRoot)
        return kExitOpenFailed;
    if (!pRoot->SaveDocument(pOut)) {
        std::fprintf(stderr, "%s\n", GetSaveErrorText(pOut).CStr());
        return kExitSaveFailed;
    }
    return kExitOk;
}

int Check(const char* pFileName, bool bQuiet)
{
    CToolRuntime runtime;
    runtime.SetQuiet(bQuiet);
    const bool bOpened = Open(pFileName) != nullptr;
    if (runtime.Warnings() > 0)
        std::fprintf(stderr, "%ld warnings\n", runtime.Warnings());
    if (!bOpened)
        return kExitOpenFailed;
    return runtime.Warnings() > 0 ? kExitWarnings : kExitOk;
}

// Opens the file and hands the document to a command.
template <typename TCommand>
int WithDocument(const char* pFileName, TCommand command)
{
    CToolRuntime runtime;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = Open(pFileName);
    if (!pRoot)
        return kExitOpenFailed;
    return command(pRoot.get());
}

int ToJson(const char* pFileName, const char* pOut)
{
    CToolRuntime runtime;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = Open(pFileName);
    if (!pRoot)
        return kExitOpenFailed;
    std::FILE* pFile = pOut ? std::fopen(pOut, "wb") : stdout;
    if (!pFile) {
        std::fprintf(stderr, "%s\n", GetSaveErrorText(pOut).CStr());
        return kExitSaveFailed;
    }
    const bool bWritten = CKvtJsonWriter::ToFile(pRoot.get(), pFile);
    const bool bClosed = !pOut || std::fclose(pFile) == 0;
    if (!bWritten || !bClosed) {
        std::fprintf(stderr, "%s\n", GetSaveErrorText(pOut ? pOut : "standard output").CStr());
        return kExitSaveFailed;
    }
    return kExitOk;
}

int FromJson(const char* pJson, const char* pOut)
{
    CToolRuntime runtime;
    std::string sError;
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = CKvtJsonReader::FromFile(pJson, sError);
    if (!pRoot) {
        std::fprintf(stderr, "%s: %s\n", pJson, sError.c_str());
        return kExitOpenFailed;
    }
    if (!pRoot->SaveDocument(pOut)) {
        std::fprintf(stderr, "%s\n", GetSaveErrorText(pOut).CStr());
        return kExitSaveFailed;
    }
    return kExitOk;
}

int Diff(const char* pFirst, const char* pSecond)
{
    CToolRuntime runtime;
    std::unique_ptr<CKvtNodeTopLevelStruct> pA = OpenKvtOrJson(pFirst);
    std::unique_ptr<CKvtNodeTopLevelStruct> pB = pA ? OpenKvtOrJson(pSecond) : nullptr;
    if (!pA || !pB)
        return kExitOpenFailed;
    return PrintDocumentDiff(pA.get(), pB.get());
}

int Usage()
{
    std::fputs(kUsage, stderr);
    return kExitOpenFailed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", BuildTitle().CStr());
        return kExitOk;
    }
    if (argc == 3 && std::strcmp(argv[1], "dump") == 0)
        return Dump(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "resave") == 0)
        return Resave(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0)
        return Check(argv[2], false);
    if (argc == 4 && std::strcmp(argv[1], "check") == 0 && std::strcmp(argv[2], "--quiet") == 0)
        return Check(argv[3], true);
    if (argc == 3 && std::strcmp(argv[1], "paths") == 0)
        return WithDocument(argv[2], PrintNodePaths);
    if (argc == 4 && std::strcmp(argv[1], "get") == 0)
        return WithDocument(argv[2], [&](CKvtNodeTopLevelStruct* pRoot) { return PrintNodeAtPath(pRoot, argv[3]); });
    KvtFindOptions_st findOptions;
    if (argc >= 4 && std::strcmp(argv[1], "find") == 0 && ParseFindOptions(argc, argv, 4, findOptions))
        return WithDocument(argv[2], [&](CKvtNodeTopLevelStruct* pRoot) {
            return PrintFindHits(pRoot, argv[3], findOptions);
        });
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "to-json") == 0)
        return ToJson(argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc == 4 && std::strcmp(argv[1], "from-json") == 0)
        return FromJson(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "diff") == 0)
        return Diff(argv[2], argv[3]);
    return Usage();
}
