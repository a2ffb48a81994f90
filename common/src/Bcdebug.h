#pragma once
// BCAssert: a light assertion that reports and then asks the application to
// shut down in an orderly way; the caller skips the failed step.

#include <cstdint>
#include <functional>

void BCAssert(const char* pModule, int32_t nLine);

// The window installs the request that ends its message loop; without one the
// request does nothing (the command-line tool has no loop to end).
void SetBCShutdownRequest(std::function<void()> request);
// The caption of the report box (the application title); empty by default.
void SetBCAssertCaption(const char* pCaption);
