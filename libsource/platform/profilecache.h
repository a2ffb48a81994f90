#pragma once
// One value of one profile (ini) file, kept between reads as long as the file
// cannot have changed. Every read looks at the file with stat(); the value is
// read from the file again whenever its identity (device, inode), size or
// time stamps differ from the last read, or when those stamps were too recent
// at the last read to tell a later change apart: a file written twice within
// one tick of the file system's clock keeps its stamps, so a file is trusted
// only once its stamps are older than the granularity. A later change to the
// file is therefore always seen by the next read. (A file server whose clock
// runs far behind this machine's could defeat the stamp test.)

#include <sys/types.h>

#include <cstdint>
#include <string>

// What stat() tells about a file, as far as a change to it shows.
struct ProfileFileStamp_st {
    bool bExists = false;
    dev_t nDevice = 0;
    ino_t nInode = 0;
    off_t nSize = 0;
    int64_t nModifiedNs = 0;
    int64_t nChangedNs = 0;
};

class CProfileValueCache {
public:
    // nGranularityNs: the coarsest time stamp step the file may have; files
    // changed less than this long before a read are read again next time.
    explicit CProfileValueCache(int64_t nGranularityNs = 2000000000);

    // Exactly what ProfileGetString(pSection, pKey, "", pBuffer, nSize,
    // pFileName) gives: the characters copied, 0 when the value is missing.
    uint32_t GetString(const char* pSection, const char* pKey, char* pBuffer, uint32_t nSize, const char* pFileName);

    // How often the file itself was read (for tests).
    uint64_t FileReads() const { return m_nFileReads; }

    // Whether a value read at nReadNs, when the file had the stamp then, still
    // holds for a file that has the stamp now: the same file, size and times,
    // and those times already older than the granularity at the read.
    static bool StillValid(const ProfileFileStamp_st& then, int64_t nReadNs, const ProfileFileStamp_st& now,
                           int64_t nGranularityNs);

private:
    // The stamp of the file now; false when stat() failed for another reason
    // than a missing file (nothing is cached then).
    static bool TakeStamp(const std::string& sPath, ProfileFileStamp_st& stamp);
    bool SameQuery(const char* pSection, const char* pKey, uint32_t nSize, const char* pFileName) const;

    int64_t m_nGranularityNs;
    bool m_bValid = false;
    std::string m_sSection, m_sKey, m_sFileName;
    uint32_t m_nBufferSize = 0;
    ProfileFileStamp_st m_Stamp;
    int64_t m_nReadNs = 0;
    std::string m_sValue;
    uint64_t m_nFileReads = 0;
};
