#include "KVTWalkProgress.h"

namespace {

IKvtWalkProgress* s_pProgress = nullptr;

} // namespace

IKvtWalkProgress* SetKvtWalkProgress(IKvtWalkProgress* pProgress)
{
    IKvtWalkProgress* pPrevious = s_pProgress;
    s_pProgress = pProgress;
    return pPrevious;
}

IKvtWalkProgress* GetKvtWalkProgress()
{
    return s_pProgress;
}
