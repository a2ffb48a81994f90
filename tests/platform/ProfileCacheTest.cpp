// The cached profile value: always the answer ProfileGetString gives now,
// the file read again only when it may have changed, and every change seen
// by the very next read, however soon after the previous one it was made.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "TempDir.h"
#include "profile.h"
#include "profilecache.h"

namespace {

// Granularity assumed by the tests: files older than this count as settled.
constexpr int64_t kGranularityNs = 50 * 1000 * 1000;

std::string Cached(CProfileValueCache& cache, const std::string& sFile, const char* pKey = "Key", uint32_t nSize = 256)
{
    char buffer[512];
    const uint32_t nCopied = cache.GetString("Section", pKey, buffer, nSize, sFile.c_str());
    EXPECT_EQ(nCopied, std::string(buffer).size());
    return buffer;
}

std::string Direct(const std::string& sFile, const char* pKey = "Key", uint32_t nSize = 256)
{
    char buffer[512];
    ProfileGetString("Section", pKey, "", buffer, nSize, sFile.c_str());
    return buffer;
}

void WaitUntilSettled()
{
    std::this_thread::sleep_for(std::chrono::nanoseconds(3 * kGranularityNs));
}

// Puts the file's modification time back to what it was, as a copy tool or
// a careless editor might.
void SetModified(const std::string& sFile, const timespec& modified)
{
    const timespec times[2] = {modified, modified};
    ASSERT_EQ(utimensat(AT_FDCWD, sFile.c_str(), times, 0), 0);
}

timespec ModifiedOf(const std::string& sFile)
{
    struct stat info {};
    EXPECT_EQ(stat(sFile.c_str(), &info), 0);
    return info.st_mtim;
}

class ProfileCacheTest : public ::testing::Test {
protected:
    CTempDir m_Dir;
    std::string m_sFile = m_Dir.File("option.ini");
    CProfileValueCache m_Cache{kGranularityNs};
};

} // namespace

TEST_F(ProfileCacheTest, AnswersAsTheProfileFunctions)
{
    EXPECT_EQ(Cached(m_Cache, m_sFile), ""); // no file
    ASSERT_TRUE(WriteFileText(m_sFile, "[section]\n  key =  \"quoted value\" \nOther=x\n"));
    EXPECT_EQ(Cached(m_Cache, m_sFile), Direct(m_sFile));
    EXPECT_EQ(Cached(m_Cache, m_sFile), "quoted value");
    EXPECT_EQ(Cached(m_Cache, m_sFile, "Missing"), "");
    EXPECT_EQ(Cached(m_Cache, m_sFile, "Other"), "x");
    EXPECT_EQ(Cached(m_Cache, m_sFile, "Key", 7), Direct(m_sFile, "Key", 7)); // cut to the buffer
    EXPECT_EQ(Cached(m_Cache, m_sFile, "Key", 7), "quoted");

    // A backslash separates folders as in the profile functions.
    const std::string sBackslashed = m_Dir.Path() + "\\option.ini";
    EXPECT_EQ(Cached(m_Cache, sBackslashed), "quoted value");
}

TEST_F(ProfileCacheTest, ReadsASettledFileOnce)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=1\n"));
    WaitUntilSettled();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(Cached(m_Cache, m_sFile), "1");
    EXPECT_EQ(m_Cache.FileReads(), 1u);
}

TEST_F(ProfileCacheTest, AChangeRightAfterAReadIsSeenByTheNextRead)
{
    // Rewritten in place at once, with the same size: within one tick of the
    // file system's clock the stamps may not change at all.
    for (int i = 0; i < 20; ++i) {
        const std::string sValue = i % 2 == 0 ? "1" : "0";
        ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=" + sValue + "\n"));
        ASSERT_EQ(Cached(m_Cache, m_sFile), sValue) << i;
    }
}

TEST_F(ProfileCacheTest, ASettledFileChangedInPlaceIsSeenEvenWithItsOldTime)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=1\n"));
    WaitUntilSettled();
    ASSERT_EQ(Cached(m_Cache, m_sFile), "1");
    const timespec modified = ModifiedOf(m_sFile);
    ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=0\n"));
    SetModified(m_sFile, modified); // only the change time tells
    EXPECT_EQ(Cached(m_Cache, m_sFile), "0");
}

TEST_F(ProfileCacheTest, AReplacedRemovedOrRecreatedFileIsSeen)
{
    ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=1\n"));
    WaitUntilSettled();
    ASSERT_EQ(Cached(m_Cache, m_sFile), "1");

    // Renamed over the old file: same size and time, another inode.
    const timespec modified = ModifiedOf(m_sFile);
    const std::string sNew = m_Dir.File("new.ini");
    ASSERT_TRUE(WriteFileText(sNew, "[Section]\nKey=2\n"));
    SetModified(sNew, modified);
    ASSERT_EQ(std::rename(sNew.c_str(), m_sFile.c_str()), 0);
    EXPECT_EQ(Cached(m_Cache, m_sFile), "2");

    ASSERT_EQ(std::remove(m_sFile.c_str()), 0);
    EXPECT_EQ(Cached(m_Cache, m_sFile), "");
    ASSERT_TRUE(WriteFileText(m_sFile, "[Section]\nKey=3\n"));
    EXPECT_EQ(Cached(m_Cache, m_sFile), "3");
}

TEST_F(ProfileCacheTest, ARelativeNameFollowsTheWorkingDirectory)
{
    CTempDir other;
    ASSERT_TRUE(WriteFileText(m_Dir.File("rel.ini"), "[Section]\nKey=here\n"));
    ASSERT_TRUE(WriteFileText(other.File("rel.ini"), "[Section]\nKey=there\n"));
    WaitUntilSettled();
    {
        CScopedWorkingDir cwd(m_Dir.Path());
        EXPECT_EQ(Cached(m_Cache, "rel.ini"), "here");
    }
    {
        CScopedWorkingDir cwd(other.Path());
        EXPECT_EQ(Cached(m_Cache, "rel.ini"), "there");
    }
}

TEST(ProfileCacheStamp, OnlyAnOldUnchangedStampKeepsTheValue)
{
    const int64_t nSecond = 1000000000;
    ProfileFileStamp_st then;
    then.bExists = true;
    then.nDevice = 8;
    then.nInode = 1234;
    then.nSize = 20;
    then.nModifiedNs = 100 * nSecond;
    then.nChangedNs = 100 * nSecond;
    const int64_t nGranularity = 2 * nSecond;
    // Read long after the last change: the same stamp means the same file.
    EXPECT_TRUE(CProfileValueCache::StillValid(then, 200 * nSecond, then, nGranularity));
    // Read within one clock step of the change: a second change in that step
    // could leave every stamp as it was, so the value is not trusted.
    EXPECT_FALSE(CProfileValueCache::StillValid(then, 101 * nSecond, then, nGranularity));
    ProfileFileStamp_st recentChange = then;
    recentChange.nChangedNs = 199 * nSecond;
    EXPECT_FALSE(CProfileValueCache::StillValid(recentChange, 200 * nSecond, recentChange, nGranularity));

    // Any difference means the file changed.
    auto changed = [&](void (*change)(ProfileFileStamp_st&)) {
        ProfileFileStamp_st now = then;
        change(now);
        return !CProfileValueCache::StillValid(then, 200 * nSecond, now, nGranularity);
    };
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.nDevice = 9; }));
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.nInode = 99; }));
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.nSize = 21; }));
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.nModifiedNs += 1; }));
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.nChangedNs += 1; }));
    EXPECT_TRUE(changed([](ProfileFileStamp_st& s) { s.bExists = false; }));

    // A file that was missing and still is needs no read.
    const ProfileFileStamp_st missing;
    EXPECT_TRUE(CProfileValueCache::StillValid(missing, 101 * nSecond, missing, nGranularity));
    EXPECT_FALSE(CProfileValueCache::StillValid(missing, 101 * nSecond, then, nGranularity));
}
