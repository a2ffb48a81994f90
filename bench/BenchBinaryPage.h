#pragma once
// The "Binary Data" page on a 64 MiB binary value: showing it, scrolling,
// typing one digit over a byte, inserting one byte at the start and undoing
// it, each until the hex view has painted, and the memory the page adds to
// the value.

#include <cstdint>
#include <cstdio>
#include <string>

class TfrmMain;

struct BenchBinaryFigures_st {
    bool bMeasured = false;
    uint32_t nValueBytes = 0;
    double dShow = 0;      // selecting the value until its rows have painted
    double dScroll = 0;    // moving the scroll bar to another place
    double dOverwrite = 0; // one hex digit typed over a byte
    double dFirstInsert = 0; // the first byte inserted: the value moves to a buffer with room
    double dInsert = 0;      // one more byte inserted at the start (the value moves up in place)
    double dUndo = 0;      // Undo of that insertion
    int64_t nPageBytes = -1; // resident memory added by showing the value
};

class CBenchBinaryPage {
public:
    // Writes the document into sWork, opens it in the window and measures;
    // the document is closed again afterwards.
    static BenchBinaryFigures_st Measure(TfrmMain& window, const std::string& sWork, int nRuns);
    static void Print(std::FILE* pOut, const BenchBinaryFigures_st& figures);
};
