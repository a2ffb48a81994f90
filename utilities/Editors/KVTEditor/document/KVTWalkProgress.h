#pragma once
// The observer of long walks over a document (load, save, export): told how
// far the running walk is, it may ask it to stop. The window shows a progress
// dialog with it; without one, walks run to their end.

#include <cstdint>

class IKvtWalkProgress {
public:
    virtual ~IKvtWalkProgress() = default;
    // nDone of about nTotal nodes are done; false asks the walk to stop.
    virtual bool WalkProgress(uint64_t nDone, uint64_t nTotal) = 0;
};

// The observer of every later walk (null: none); returns the previous one.
IKvtWalkProgress* SetKvtWalkProgress(IKvtWalkProgress* pProgress);
IKvtWalkProgress* GetKvtWalkProgress();
