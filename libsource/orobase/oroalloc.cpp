// The guarded allocator: replaces the global allocation and release operators.
// A block of n caller bytes takes n + 24 bytes from the heap:
//   [0, 8)          n, the requested size
//   [8, 16)         ">DEBUG>>"
//   [16, 16 + n)    the caller's bytes (16-byte aligned, as operator new must be)
//   [16 + n, 24 + n) "<<DEBUG<"
// Everything starts filled with 0xCD so that fresh memory is recognisable.
// Release checks both markers and reports an overwrite before freeing.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

#include "oroalloc.h"
#include "orobase.h"

namespace {

const char kFrontMarker[8] = {'>', 'D', 'E', 'B', 'U', 'G', '>', '>'};
const char kEndMarker[8] = {'<', '<', 'D', 'E', 'B', 'U', 'G', '<'};

void* GuardedAllocate(std::size_t n)
{
    unsigned char* pBlock = nullptr;
    if (n <= SIZE_MAX - kOroGuardOverhead)
        pBlock = static_cast<unsigned char*>(std::malloc(n + kOroGuardOverhead));
    if (!pBlock)
        OroAssert("orodebug", 153, "Memory Allocation Failed!!!");
    std::memset(pBlock, 0xCD, n + kOroGuardOverhead);
    const uint64_t nSize = n;
    std::memcpy(pBlock, &nSize, sizeof nSize);
    std::memcpy(pBlock + 8, kFrontMarker, sizeof kFrontMarker);
    std::memcpy(pBlock + 16 + n, kEndMarker, sizeof kEndMarker);
    return pBlock + 16;
}

void GuardedRelease(void* p)
{
    if (!p)
        return;
    unsigned char* pBytes = static_cast<unsigned char*>(p);
    if (std::memcmp(pBytes - 8, kFrontMarker, sizeof kFrontMarker) != 0)
        OroWarning("orodebug", 276, "exception: memory overwrite at front of allocated memory");
    uint64_t nSize = 0;
    std::memcpy(&nSize, pBytes - 16, sizeof nSize);
    // A size destroyed by a front overwrite must not send the end check
    // outside the block: only a size that fits the heap block is trusted.
    const std::size_t nUsable = malloc_usable_size(pBytes - 16);
    if (nUsable >= kOroGuardOverhead && nSize <= nUsable - kOroGuardOverhead &&
        std::memcmp(pBytes + nSize, kEndMarker, sizeof kEndMarker) != 0)
        OroWarning("orodebug", 288, "exception: memory overwrite at end of allocated memory");
    std::free(pBytes - 16);
}

} // namespace

std::size_t OroGuardedBlockSize(std::size_t n)
{
    return n + kOroGuardOverhead;
}

void* operator new(std::size_t n)
{
    return GuardedAllocate(n);
}

void* operator new[](std::size_t n)
{
    return GuardedAllocate(n);
}

void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return GuardedAllocate(n);
}

void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
{
    return GuardedAllocate(n);
}

void operator delete(void* p) noexcept
{
    GuardedRelease(p);
}

void operator delete[](void* p) noexcept
{
    GuardedRelease(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    GuardedRelease(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    GuardedRelease(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    GuardedRelease(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    GuardedRelease(p);
}

// Over-aligned requests cannot use the 16-byte header layout; they come
// straight from the heap with the alignment asked for.
namespace {

void* AlignedAllocate(std::size_t n, std::align_val_t align)
{
    void* p = nullptr;
    const std::size_t nAlign = static_cast<std::size_t>(align) < sizeof(void*) ? sizeof(void*)
                                                                               : static_cast<std::size_t>(align);
    if (posix_memalign(&p, nAlign, n ? n : 1) != 0 || !p)
        OroAssert("orodebug", 153, "Memory Allocation Failed!!!");
    std::memset(p, 0xCD, n);
    return p;
}

} // namespace

void* operator new(std::size_t n, std::align_val_t align)
{
    return AlignedAllocate(n, align);
}

void* operator new[](std::size_t n, std::align_val_t align)
{
    return AlignedAllocate(n, align);
}

void* operator new(std::size_t n, std::align_val_t align, const std::nothrow_t&) noexcept
{
    return AlignedAllocate(n, align);
}

void* operator new[](std::size_t n, std::align_val_t align, const std::nothrow_t&) noexcept
{
    return AlignedAllocate(n, align);
}

void operator delete(void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t, std::align_val_t) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept
{
    std::free(p);
}
