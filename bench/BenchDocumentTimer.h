#pragma once
// Times the document layer on one file: load, save and export as the editor
// runs them, the floor of loading (read the file, copy it once) and the
// RapidJSON anchors on the equivalent JSON text.

#include <string>

#include "BenchFigures.h"

class CBenchDocumentTimer {
public:
    // sScratch is a folder for the saved copies; nRuns runs per figure.
    CBenchDocumentTimer(std::string sScratch, int nRuns) : m_sScratch(std::move(sScratch)), m_nRuns(nRuns) {}

    void MeasureKvt(const std::string& sFile, BenchFigures_st& figures);
    void MeasureFloor(const std::string& sFile, BenchFigures_st& figures);
    void MeasureJson(const std::string& sJsonText, BenchFigures_st& figures);

private:
    std::string m_sScratch;
    int m_nRuns;
};
