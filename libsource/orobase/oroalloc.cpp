// The guarded allocator: replaces the global allocation and release operators.
// A block of n caller bytes takes n + 24 bytes from the heap:
//   [0, 8)          the size word: n in its low 48 bits, a check value
//                   derived from n in its high 16 bits
//   [8, 16)         ">DEBUG>>"
//   [16, 16 + n)    the caller's bytes (16-byte aligned, as operator new must be)
//   [16 + n, 24 + n) "<<DEBUG<"
// Everything starts filled with 0xCD so that fresh memory is recognisable.
// Release checks the size word and both markers and reports an overwrite
// before freeing. A size word that fails its check is a front overwrite too:
// the size it holds is not trusted, so the end marker cannot be found.

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

constexpr uint64_t kSizeBits = 48;
constexpr uint64_t kLargestSize = (uint64_t{1} << kSizeBits) - 1;

// The bytes this thread holds; the counters are only read by the thread
// that allocates, so they need no synchronisation.
thread_local int64_t t_nBytesInUse = 0;
thread_local int64_t t_nPeakBytes = 0;

// Each 16-bit word of the size lands in the check rotated differently, so a
// change confined to one byte of the word (size or check) always shows.
uint16_t SizeCheck(uint64_t nSize)
{
    const auto rotate = [](uint32_t nWord, int nBits) {
        return static_cast<uint16_t>((nWord << nBits) | (nWord >> (16 - nBits)));
    };
    const uint32_t w0 = static_cast<uint32_t>(nSize & 0xFFFF);
    const uint32_t w1 = static_cast<uint32_t>((nSize >> 16) & 0xFFFF);
    const uint32_t w2 = static_cast<uint32_t>((nSize >> 32) & 0xFFFF);
    return static_cast<uint16_t>(w0 ^ rotate(w1, 5) ^ rotate(w2, 11) ^ 0x5AC3);
}

uint64_t SizeWord(uint64_t nSize)
{
    return nSize | (static_cast<uint64_t>(SizeCheck(nSize)) << kSizeBits);
}

// The size the word holds, or false when the word has been damaged.
bool SizeFromWord(uint64_t nWord, uint64_t& nSize)
{
    nSize = nWord & kLargestSize;
    return (nWord >> kSizeBits) == SizeCheck(nSize);
}

void* GuardedAllocate(std::size_t n)
{
    unsigned char* pBlock = nullptr;
    if (n <= kLargestSize - kOroGuardOverhead)
        pBlock = static_cast<unsigned char*>(std::malloc(n + kOroGuardOverhead));
    if (!pBlock)
        OroAssert("orodebug", 153, "Memory Allocation Failed!!!");
    std::memset(pBlock, 0xCD, n + kOroGuardOverhead);
    const uint64_t nWord = SizeWord(n);
    std::memcpy(pBlock, &nWord, sizeof nWord);
    t_nBytesInUse += static_cast<int64_t>(n);
    if (t_nBytesInUse > t_nPeakBytes)
        t_nPeakBytes = t_nBytesInUse;
    std::memcpy(pBlock + 8, kFrontMarker, sizeof kFrontMarker);
    std::memcpy(pBlock + 16 + n, kEndMarker, sizeof kEndMarker);
    return pBlock + 16;
}

void GuardedRelease(void* p)
{
    if (!p)
        return;
    unsigned char* pBytes = static_cast<unsigned char*>(p);
    uint64_t nWord = 0;
    std::memcpy(&nWord, pBytes - 16, sizeof nWord);
    uint64_t nSize = 0;
    const bool bSizeIntact = SizeFromWord(nWord, nSize);
    if (!bSizeIntact || std::memcmp(pBytes - 8, kFrontMarker, sizeof kFrontMarker) != 0)
        OroWarning("orodebug", 276, "exception: memory overwrite at front of allocated memory");
    // Only an intact size that fits the heap block leads to the end marker.
    const std::size_t nUsable = malloc_usable_size(pBytes - 16);
    if (bSizeIntact) {
        t_nBytesInUse -= static_cast<int64_t>(nSize);
        if (nUsable >= kOroGuardOverhead && nSize <= nUsable - kOroGuardOverhead &&
            std::memcmp(pBytes + nSize, kEndMarker, sizeof kEndMarker) != 0)
            OroWarning("orodebug", 288, "exception: memory overwrite at end of allocated memory");
    }
    std::free(pBytes - 16);
}

} // namespace

std::size_t OroGuardedBlockSize(std::size_t n)
{
    return n + kOroGuardOverhead;
}

int64_t OroGuardedBytesInUse()
{
    return t_nBytesInUse;
}

int64_t OroGuardedPeakBytes()
{
    return t_nPeakBytes;
}

void OroGuardedResetPeak()
{
    t_nPeakBytes = t_nBytesInUse;
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
