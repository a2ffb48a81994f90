#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "oroalloc.h"
#include "ororeportrecorder.h"

namespace {

// Keeps the compiler from removing or reordering a byte access that the
// language considers outside the object.
void Poke(volatile unsigned char* p, unsigned char value)
{
    *p = value;
}

} // namespace

TEST(GuardedAllocator, FreshBlocksAreFilledAndFramedByMarkers)
{
    unsigned char* p = new unsigned char[5];
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(p[i], 0xCD) << i;
    uint64_t nSizeWord = 0;
    std::memcpy(&nSizeWord, p - 16, sizeof nSizeWord);
    EXPECT_EQ(nSizeWord & 0xFFFFFFFFFFFFull, 5u);
    EXPECT_EQ(std::memcmp(p - 8, ">DEBUG>>", 8), 0);
    EXPECT_EQ(std::memcmp(p + 5, "<<DEBUG<", 8), 0);
    EXPECT_EQ(OroGuardedBlockSize(5), 29u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    delete[] p;
}

TEST(GuardedAllocator, SingleObjectsAreAlignedAndGuardedToo)
{
    COroReportRecorder recorder;
    auto* pValue = new long double(1.5L);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(pValue) % 16, 0u);
    delete pValue;
    auto pShared = std::make_shared<int>(3);
    pShared.reset();
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(GuardedAllocator, WritingPastTheEndIsReportedOnceOnRelease)
{
    COroReportRecorder recorder;
    unsigned char* p = new unsigned char[8];
    Poke(p + 8, 0);
    delete[] p;
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Reports()[0].module, "orodebug");
    EXPECT_EQ(recorder.Reports()[0].line, 288);
    EXPECT_EQ(recorder.Reports()[0].message, "exception: memory overwrite at end of allocated memory");
}

TEST(GuardedAllocator, WritingJustBeforeIsReportedOnceOnRelease)
{
    COroReportRecorder recorder;
    unsigned char* p = new unsigned char[8];
    Poke(p - 1, 0);
    delete[] p;
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Reports()[0].line, 276);
    EXPECT_EQ(recorder.Reports()[0].message, "exception: memory overwrite at front of allocated memory");
}

TEST(GuardedAllocator, DamagedSizeDoesNotSendTheEndCheckOutsideTheBlock)
{
    COroReportRecorder recorder;
    unsigned char* p = new unsigned char[8];
    for (int i = 1; i <= 16; ++i)
        Poke(p - i, 0xFF);
    delete[] p;
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Reports()[0].line, 276);
}

TEST(GuardedAllocator, AnyDamagedByteOfTheSizeIsReportedOnceAsAFrontOverwrite)
{
    // A high byte changes no size the end check would use; a low byte moves
    // the end check. Both are the size word's own damage.
    for (int nByte = 0; nByte < 8; ++nByte) {
        for (unsigned char nBit : {0x01, 0x80}) {
            COroReportRecorder recorder;
            unsigned char* p = new unsigned char[40];
            volatile unsigned char* pByte = p - 16 + nByte;
            Poke(pByte, static_cast<unsigned char>(*pByte ^ nBit));
            delete[] p;
            ASSERT_EQ(recorder.Count(), 1u) << "byte " << nByte << " bit " << int(nBit);
            EXPECT_EQ(recorder.Reports()[0].line, 276) << "byte " << nByte << " bit " << int(nBit);
        }
    }
}

TEST(GuardedAllocator, BytesInUseFollowTheBlocksOfThisThread)
{
    const int64_t nBefore = OroGuardedBytesInUse();
    OroGuardedResetPeak();
    char* pFirst = new char[1000];
    char* pSecond = new char[500];
    EXPECT_EQ(OroGuardedBytesInUse() - nBefore, 1500);
    delete[] pFirst;
    delete[] pSecond;
    EXPECT_EQ(OroGuardedBytesInUse(), nBefore);
    EXPECT_EQ(OroGuardedPeakBytes() - nBefore, 1500);
}

TEST(GuardedAllocator, ReleasingNullDoesNothing)
{
    COroReportRecorder recorder;
    char* pNull = nullptr;
    delete pNull;
    delete[] pNull;
    ::operator delete(nullptr);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST(GuardedAllocator, OverAlignedRequestsKeepTheirAlignment)
{
    struct alignas(64) CWide {
        unsigned char bytes[64];
    };
    auto* p = new CWide;
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 64, 0u);
    delete p;
}
