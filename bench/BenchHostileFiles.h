#pragma once
// The benchmark's rows for crafted files (see KvtHostileShapes.h): each is
// opened and saved again in a process of its own, as `kvttool resave` does,
// and its times and peak memory are set against the bounds a file of its
// size must keep (opening peaks at 64 × size + 96 MiB, and each step takes
// at most 3 s).

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class CBenchHostileFiles {
public:
    // Runs the program in a child mode on a file and returns the line of its
    // output that starts with the tag (without it), or "".
    using TRunChild = std::function<std::string(const char* pMode, const std::string& sFile, const char* pTag)>;

    static constexpr const char* kChildMode = "--hostile-resave";

    // Writes each shape into the work folder and measures it in nRuns children.
    void Measure(const std::string& sWork, int nRuns, const TRunChild& runChild);
    void Print(std::FILE* pOut) const;

    // The child: opens the file, saves it beside itself, prints the figures.
    static int RunChild(const char* pFile);

private:
    struct Row_st {
        std::string sName;
        std::string sDescription;
        int64_t nFileBytes = -1;
        double dOpen = -1;
        double dSave = -1;
        int64_t nOpenPeakBytes = -1;
        int64_t nSavePeakBytes = -1;
        int64_t nSavedBytes = -1;
        int nWarnings = -1;
    };
    std::vector<Row_st> m_Rows;
};
