#pragma once
// Times the JSON form on one document: to-json and from-json as kvttool runs
// them, the structural diff against a copy that differs in 10 values, and in
// processes of their own the peak memory of loading, of to-json and of
// from-json.

#include <string>

#include "BenchFigures.h"

class CBenchJsonFormTimer {
public:
    // sForm: where the JSON form is written (kept for the memory children).
    CBenchJsonFormTimer(std::string sScratch, int nRuns) : m_sScratch(std::move(sScratch)), m_nRuns(nRuns) {}

    void Measure(const std::string& sFile, const std::string& sForm, BenchFigures_st& figures);

    // The modes of the memory children and their run: each prints
    // "KVTJSONMEM <peak bytes>".
    static const char* const kLoadMode;
    static const char* const kToJsonMode;
    static const char* const kFromJsonMode;
    static bool IsChildMode(const char* pMode);
    static int RunChild(const char* pMode, const char* pFile);

private:
    std::string m_sScratch;
    int m_nRuns;
};
