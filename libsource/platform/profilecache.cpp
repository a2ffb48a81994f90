#include "profilecache.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "profile.h"

namespace {

int64_t Nanoseconds(const timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// Windows-style names keep working, as in the profile functions.
std::string LocalPath(const char* pFileName)
{
    std::string sPath(pFileName);
    for (char& c : sPath) {
        if (c == '\\')
            c = '/';
    }
    return sPath;
}

} // namespace

CProfileValueCache::CProfileValueCache(int64_t nGranularityNs) : m_nGranularityNs(nGranularityNs) {}

bool CProfileValueCache::TakeStamp(const std::string& sPath, ProfileFileStamp_st& stamp)
{
    struct stat info {};
    if (stat(sPath.c_str(), &info) != 0) {
        stamp = ProfileFileStamp_st{};
        // A missing file reads as a missing value; other failures are left
        // to the profile functions themselves.
        return errno == ENOENT || errno == ENOTDIR;
    }
    stamp.bExists = true;
    stamp.nDevice = info.st_dev;
    stamp.nInode = info.st_ino;
    stamp.nSize = info.st_size;
    stamp.nModifiedNs = Nanoseconds(info.st_mtim);
    stamp.nChangedNs = Nanoseconds(info.st_ctim);
    return true;
}

bool CProfileValueCache::StillValid(const ProfileFileStamp_st& then, int64_t nReadNs, const ProfileFileStamp_st& now,
                                    int64_t nGranularityNs)
{
    if (then.bExists != now.bExists)
        return false;
    if (!now.bExists)
        return true;
    const bool bSame = then.nDevice == now.nDevice && then.nInode == now.nInode && then.nSize == now.nSize &&
                       then.nModifiedNs == now.nModifiedNs && then.nChangedNs == now.nChangedNs;
    // A change after the read gets times of at least the read's time less
    // one step of the file system's clock: only times older than that can
    // never be repeated by a later change.
    const int64_t nSettled = nReadNs - nGranularityNs;
    return bSame && then.nModifiedNs < nSettled && then.nChangedNs < nSettled;
}

bool CProfileValueCache::SameQuery(const char* pSection, const char* pKey, uint32_t nSize, const char* pFileName) const
{
    return m_bValid && nSize == m_nBufferSize && m_sSection == pSection && m_sKey == pKey && m_sFileName == pFileName;
}

uint32_t CProfileValueCache::GetString(const char* pSection, const char* pKey, char* pBuffer, uint32_t nSize,
                                       const char* pFileName)
{
    if (pSection == nullptr || pKey == nullptr || pBuffer == nullptr || nSize == 0 || pFileName == nullptr ||
        *pFileName == '\0')
        return ProfileGetString(pSection, pKey, "", pBuffer, nSize, pFileName);

    ProfileFileStamp_st stamp;
    // The time is taken before the stamp and the read, so it is never later
    // than the moment the value was read.
    const int64_t nNow = NowNs();
    if (!TakeStamp(LocalPath(pFileName), stamp)) {
        m_bValid = false;
        ++m_nFileReads;
        return ProfileGetString(pSection, pKey, "", pBuffer, nSize, pFileName);
    }
    if (!(SameQuery(pSection, pKey, nSize, pFileName) && StillValid(m_Stamp, m_nReadNs, stamp, m_nGranularityNs))) {
        std::vector<char> value(nSize, '\0');
        uint32_t nCopied = 0;
        if (stamp.bExists) {
            ++m_nFileReads;
            nCopied = ProfileGetString(pSection, pKey, "", value.data(), nSize, pFileName);
        }
        m_sValue.assign(value.data(), nCopied);
        m_sSection = pSection;
        m_sKey = pKey;
        m_sFileName = pFileName;
        m_nBufferSize = nSize;
        // The stamp was taken before the read: a change in between shows as
        // a different stamp next time.
        m_Stamp = stamp;
        m_nReadNs = nNow;
        m_bValid = true;
    }
    std::memcpy(pBuffer, m_sValue.data(), m_sValue.size());
    pBuffer[m_sValue.size()] = '\0';
    return static_cast<uint32_t>(m_sValue.size());
}
