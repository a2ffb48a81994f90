#pragma once
// The bytes that one load may copy into node values (STRING, RESREF, BINARY
// and the texts of LOCSTRING): twice the file's size and 1 MiB. A file the
// writer made stores each value once and never comes near it; records that
// share one value (a crafted file) would otherwise copy it once per record,
// turning a small file into gigabytes of nodes.

#include <cstdint>

class CKvtValueBudget {
public:
    static constexpr uint64_t kSlackBytes = 1024 * 1024;

    explicit CKvtValueBudget(uint64_t nFileSize);

    // Counts nBytes against the budget; false, counting nothing, when they
    // would pass it (a smaller value later may still fit).
    bool Take(uint64_t nBytes);
    uint64_t GetLeft() const { return m_nLeft; }

private:
    uint64_t m_nLeft;
};
