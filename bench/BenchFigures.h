#pragma once
// Every figure measured for one document; -1 where it was not measured.

#include <cstdint>
#include <string>

struct BenchFigures_st {
    std::string sName;
    int64_t nNodes = -1;
    int64_t nFileBytes = -1;
    int64_t nJsonBytes = -1;
    // Medians, in seconds.
    double dLoad = -1;
    double dSave = -1;
    double dExport = -1;
    double dFloor = -1;
    double dJsonParse = -1;
    double dJsonWrite = -1;
    double dOpenToTree = -1;
    // The same load and parse, each in a process of its own.
    double dColdLoad = -1;
    double dColdParse = -1;
    // Opening in the window of a process that has opened nothing before.
    double dColdOpenToTree = -1;
    double dExpandRoot = -1;
    // Memory of a separate process that opened the document in the window.
    int64_t nPeakBytes = -1;
    int64_t nDocumentBytes = -1;
    // The JSON form: to-json (to a file) and from-json (text in memory to a
    // saved file), the diff against a copy with 10 values changed, and the
    // peak memory of a process that loads, runs to-json or runs from-json.
    int64_t nJsonFormBytes = -1;
    double dToJson = -1;
    double dFromJson = -1;
    double dDiff = -1;
    int64_t nDiffLines = -1;
    int64_t nLoadPeakBytes = -1;
    int64_t nToJsonPeakBytes = -1;
    int64_t nFromJsonPeakBytes = -1;
};

// Latencies of single edits (seconds, medians); -1 when not measured.
struct BenchEditFigures_st {
    std::string sDocument;
    double dSelectApply = -1;
    double dAddNode = -1;
    double dPasteSubtree = -1;
    double dDeleteNode = -1;
    double dExpandList = -1;
    int32_t nListSiblings = -1;
    // Undo and Redo of a paste and of a delete of a 100,001-node subtree
    // (its 100,000 items shown), until the view is up to date.
    double dUndoPaste = -1;
    double dRedoPaste = -1;
    double dUndoDelete = -1;
    double dRedoDelete = -1;
    // Heap bytes that 1,000 value edits keep on the undo stack.
    int64_t nValueStepsBytes = -1;
};
