#include "BenchDocumentTimer.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "BenchClock.h"
#include "atomicfile.h"
#include "KVTExport.h"
#include "KVTTreeNodes.h"

namespace {

bool WriteAtomically(const std::string& sPath, const char* pData, size_t nSize)
{
    CAtomicFileReplacement target(sPath);
    if (!target.IsReady())
        return false;
    std::FILE* pFile = std::fopen(target.TempPath().c_str(), "wb");
    if (!pFile)
        return false;
    const bool bWritten = std::fwrite(pData, 1, nSize, pFile) == nSize;
    return std::fclose(pFile) == 0 && bWritten && target.Commit();
}

} // namespace

void CBenchDocumentTimer::MeasureKvt(const std::string& sFile, BenchFigures_st& figures)
{
    std::unique_ptr<CKvtNodeTopLevelStruct> pRoot;
    figures.dLoad = CBenchClock::Median(
        m_nRuns, [&]() { pRoot = std::make_unique<CKvtNodeTopLevelStruct>(); },
        [&]() { pRoot->LoadDocument(sFile.c_str()); });

    const std::string sSaved = m_sScratch + "/saved.kvt";
    figures.dSave = CBenchClock::Median(m_nRuns, nullptr, [&]() {
        if (!pRoot->SaveDocument(sSaved.c_str()))
            std::fprintf(stderr, "kvt_bench: saving %s failed\n", sSaved.c_str());
    });
    std::remove(sSaved.c_str());

    size_t nExportBytes = 0;
    figures.dExport =
        CBenchClock::Median(m_nRuns, nullptr, [&]() { nExportBytes = BuildExportText(pRoot.get()).size(); });
    if (nExportBytes == 0)
        std::fprintf(stderr, "kvt_bench: the export of %s is empty\n", sFile.c_str());
}

void CBenchDocumentTimer::MeasureFloor(const std::string& sFile, BenchFigures_st& figures)
{
    std::vector<char> copy;
    figures.dFloor = CBenchClock::Median(m_nRuns, nullptr, [&]() {
        std::FILE* pFile = std::fopen(sFile.c_str(), "rb");
        if (!pFile)
            return;
        std::fseek(pFile, 0, SEEK_END);
        const long nSize = std::ftell(pFile);
        std::fseek(pFile, 0, SEEK_SET);
        std::unique_ptr<char[]> pImage(new char[static_cast<size_t>(nSize)]);
        const size_t nRead = std::fread(pImage.get(), 1, static_cast<size_t>(nSize), pFile);
        std::fclose(pFile);
        copy.resize(nRead);
        std::memcpy(copy.data(), pImage.get(), nRead);
    });
}

void CBenchDocumentTimer::MeasureJson(const std::string& sJsonText, BenchFigures_st& figures)
{
    figures.nJsonBytes = static_cast<int64_t>(sJsonText.size());
    // The default parse: RapidJSON's fast path, the usual point of comparison.
    std::unique_ptr<rapidjson::Document> pDocument;
    figures.dJsonParse = CBenchClock::Median(
        m_nRuns, [&]() { pDocument = std::make_unique<rapidjson::Document>(); },
        [&]() { pDocument->Parse(sJsonText.c_str(), sJsonText.size()); });
    if (pDocument->HasParseError())
        std::fprintf(stderr, "kvt_bench: the JSON text does not parse\n");
    // Written back to a file through the same atomic replacement as a save,
    // so both sides pay the same for the disk.
    const std::string sSaved = m_sScratch + "/saved.json";
    size_t nWritten = 0;
    figures.dJsonWrite = CBenchClock::Median(m_nRuns, nullptr, [&]() {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        pDocument->Accept(writer);
        nWritten = buffer.GetSize();
        if (!WriteAtomically(sSaved, buffer.GetString(), buffer.GetSize()))
            std::fprintf(stderr, "kvt_bench: writing %s failed\n", sSaved.c_str());
    });
    std::remove(sSaved.c_str());
    // RapidJSON's default parse may round the last digit of a double, so
    // the text written back can differ from the original by a few bytes.
    if (nWritten < sJsonText.size() / 2)
        std::fprintf(stderr, "kvt_bench: the JSON text written back is incomplete\n");
}
