#pragma once
// The printed result of one run: one table with a column per document, the
// single-edit latencies, and each target with the figures that decide it.

#include <cstdio>
#include <vector>

#include "BenchFigures.h"

class CBenchReport {
public:
    CBenchReport(const std::vector<BenchFigures_st>& documents, const BenchEditFigures_st& edits)
        : m_Documents(documents), m_Edits(edits)
    {}

    void Print(std::FILE* pOut) const;

private:
    void PrintTable(std::FILE* pOut) const;
    void PrintEdits(std::FILE* pOut) const;
    void PrintTargets(std::FILE* pOut) const;
    const BenchFigures_st* Find(const char* pName) const;

    const std::vector<BenchFigures_st>& m_Documents;
    const BenchEditFigures_st& m_Edits;
};
