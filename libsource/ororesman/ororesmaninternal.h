#pragma once
// Module name and report lines of the resource objects and the manager.

#include <cstdint>

namespace ororesman {

inline constexpr const char* kModule = "ororesman";

inline constexpr int32_t kLineResRefTooLong = 397;
inline constexpr int32_t kLineDestroyedInDemand = 509;
inline constexpr int32_t kLineNoManagerOnDestroy = 578;
inline constexpr int32_t kLineNoManagerOnRelease = 659;
inline constexpr int32_t kLineFreeWhileDemanded = 1682;
inline constexpr int32_t kLineReleaseNullObject = 2490;
inline constexpr int32_t kLineReleaseStillDemanded = 2505;

} // namespace ororesman
