#pragma once
// Find and paths on a large document: find-next from the root to a hit
// among the last nodes the tree shows (the view's expansion and paint
// included), Find All through the window, and the text of `kvttool paths`
// against that of `kvttool dump` (both without the load they share).

#include <cstdio>

class TfrmMain;

struct BenchFindFigures_st {
    double dFindNext = -1;   // seconds, median
    double dFindAllOne = -1;  // seconds, median: a text with one hit
    double dFindAll = -1;     // seconds, median: a text with many hits
    long long nFindAllHits = -1;
    double dPathsText = -1;  // seconds, median
    double dDumpText = -1;   // seconds, median
};

// Measures on the document open in the window (its values are changed: one
// string becomes the text searched for).
void MeasureFind(TfrmMain& window, BenchFindFigures_st& figures, int nRuns);
void PrintFindFigures(std::FILE* pOut, const BenchFindFigures_st& figures);
