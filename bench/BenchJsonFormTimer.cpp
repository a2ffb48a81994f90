#include "BenchJsonFormTimer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchClock.h"
#include "BenchMemory.h"
#include "KVTDocumentDiff.h"
#include "KVTJsonReader.h"
#include "KVTJsonWriter.h"
#include "KVTTreeNodes.h"

const char* const CBenchJsonFormTimer::kLoadMode = "--json-memory-load";
const char* const CBenchJsonFormTimer::kToJsonMode = "--json-memory-to";
const char* const CBenchJsonFormTimer::kFromJsonMode = "--json-memory-from";

namespace {

std::string ReadAll(const std::string& sPath)
{
    std::string sText;
    if (std::FILE* pFile = std::fopen(sPath.c_str(), "rb")) {
        char block[1 << 16];
        size_t nRead = 0;
        while ((nRead = std::fread(block, 1, sizeof block, pFile)) > 0)
            sText.append(block, nRead);
        std::fclose(pFile);
    }
    return sText;
}

bool WriteForm(CKvtNodeTopLevelStruct* pRoot, const std::string& sPath)
{
    std::FILE* pFile = std::fopen(sPath.c_str(), "wb");
    if (!pFile)
        return false;
    const bool bWritten = CKvtJsonWriter::ToFile(pRoot, pFile);
    return std::fclose(pFile) == 0 && bWritten;
}

// Changes nChanges integer leaves spread over the document.
int ChangeValues(CKvtNodeTopLevelStruct* pRoot, int nChanges)
{
    std::vector<CKvtNodeBase*> leaves;
    std::vector<CKvtNodeStruct*> stack{pRoot};
    while (!stack.empty()) {
        CKvtNodeStruct* pStruct = stack.back();
        stack.pop_back();
        for (int32_t i = 0; i < pStruct->GetChildCount(); ++i) {
            CKvtNodeBase* pChild = pStruct->GetChild(i);
            if (CKvtNodeStruct* pInner = pChild->GetStructNode())
                stack.push_back(pInner);
            else if (pChild->GetType() >= ftBYTE && pChild->GetType() <= ftINT64)
                leaves.push_back(pChild);
        }
    }
    int nChanged = 0;
    for (int k = 0; k < nChanges && !leaves.empty(); ++k) {
        CKvtNodeBase* pLeaf = leaves[leaves.size() * static_cast<size_t>(k) / static_cast<size_t>(nChanges)];
        const bool bSeven = pLeaf->GetEditText() == "7";
        nChanged += pLeaf->SetFromText(bSeven ? "8" : "7") ? 1 : 0;
    }
    return nChanged;
}

void PrintPeak()
{
    std::printf("KVTJSONMEM %lld\n", static_cast<long long>(ReadProcessMemory().nPeakBytes));
    std::fflush(stdout);
    std::_Exit(0); // tearing the document down is not measured
}

} // namespace

void CBenchJsonFormTimer::Measure(const std::string& sFile, const std::string& sForm, BenchFigures_st& figures)
{
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    pRoot->LoadDocument(sFile.c_str());

    figures.dToJson = CBenchClock::Median(m_nRuns, nullptr, [&]() {
        if (!WriteForm(pRoot.get(), sForm))
            std::fprintf(stderr, "kvt_bench: writing %s failed\n", sForm.c_str());
    });
    const std::string sText = ReadAll(sForm);
    figures.nJsonFormBytes = static_cast<int64_t>(sText.size());

    // The document read back stays alive until the next run: its teardown is
    // not part of from-json, as RapidJSON's is not part of its parse.
    const std::string sSaved = m_sScratch + "/from-json.kvt";
    std::unique_ptr<CKvtNodeTopLevelStruct> pBack;
    figures.dFromJson = CBenchClock::Median(
        m_nRuns, [&]() { pBack.reset(); },
        [&]() {
            std::string sError;
            pBack = CKvtJsonReader::FromText(sText.c_str(), sText.size(), sError);
            if (!pBack || !pBack->SaveDocument(sSaved.c_str()))
                std::fprintf(stderr, "kvt_bench: from-json failed: %s\n", sError.c_str());
        });
    if (ReadAll(sSaved) != ReadAll(sFile))
        std::fprintf(stderr, "kvt_bench: from-json did not give the file's bytes back\n");
    std::remove(sSaved.c_str());
    pBack.reset();

    auto pChanged = std::make_unique<CKvtNodeTopLevelStruct>();
    pChanged->LoadDocument(sFile.c_str());
    const int nChanged = ChangeValues(pChanged.get(), 10);
    size_t nLines = 0;
    figures.dDiff = CBenchClock::Median(m_nRuns, nullptr, [&]() {
        nLines = CKvtDocumentDiff::Compare(pRoot.get(), pChanged.get(), [](const std::string&) {});
    });
    figures.nDiffLines = static_cast<int64_t>(nLines);
    if (nLines != static_cast<size_t>(nChanged))
        std::fprintf(stderr, "kvt_bench: the diff found %zu of %d changes\n", nLines, nChanged);
}

bool CBenchJsonFormTimer::IsChildMode(const char* pMode)
{
    return std::strcmp(pMode, kLoadMode) == 0 || std::strcmp(pMode, kToJsonMode) == 0 ||
           std::strcmp(pMode, kFromJsonMode) == 0;
}

int CBenchJsonFormTimer::RunChild(const char* pMode, const char* pFile)
{
    if (std::strcmp(pMode, kFromJsonMode) == 0) {
        std::string sError;
        std::unique_ptr<CKvtNodeTopLevelStruct> pRoot = CKvtJsonReader::FromFile(pFile, sError);
        const std::string sOut = std::string(pFile) + ".kvt";
        if (!pRoot || !pRoot->SaveDocument(sOut.c_str()))
            return 1;
        std::remove(sOut.c_str());
        PrintPeak();
    }
    auto pRoot = std::make_unique<CKvtNodeTopLevelStruct>();
    pRoot->LoadDocument(pFile);
    if (std::strcmp(pMode, kToJsonMode) == 0) {
        const std::string sOut = std::string(pFile) + ".child.json";
        if (!WriteForm(pRoot.get(), sOut))
            return 1;
        std::remove(sOut.c_str());
    }
    PrintPeak();
    return 0;
}
