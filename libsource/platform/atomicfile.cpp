#include "atomicfile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool ReadAll(int fd, std::string& sContent)
{
    char chunk[65536];
    for (;;) {
        const ssize_t nRead = read(fd, chunk, sizeof chunk);
        if (nRead == 0)
            return true;
        if (nRead < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        sContent.append(chunk, static_cast<size_t>(nRead));
    }
}

bool WriteAll(int fd, const std::string& sContent)
{
    size_t nDone = 0;
    while (nDone < sContent.size()) {
        const ssize_t nWritten = write(fd, sContent.data() + nDone, sContent.size() - nDone);
        if (nWritten < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        nDone += static_cast<size_t>(nWritten);
    }
    return true;
}

// A symbolic link is followed so that a linked settings file stays a link.
bool ResolveTarget(const std::string& sPath, std::string& sTarget)
{
    struct stat linkInfo {};
    if (lstat(sPath.c_str(), &linkInfo) != 0 || !S_ISLNK(linkInfo.st_mode)) {
        sTarget = sPath;
        return true;
    }
    char* pResolved = realpath(sPath.c_str(), nullptr);
    if (pResolved == nullptr)
        return false;
    sTarget = pResolved;
    std::free(pResolved);
    return true;
}

std::string FolderOf(const std::string& sPath)
{
    const size_t nSlash = sPath.find_last_of('/');
    if (nSlash == std::string::npos)
        return ".";
    if (nSlash == 0)
        return "/";
    return sPath.substr(0, nSlash);
}

std::string BaseNameOf(const std::string& sPath)
{
    const size_t nSlash = sPath.find_last_of('/');
    return nSlash == std::string::npos ? sPath : sPath.substr(nSlash + 1);
}

// Opens a fresh temporary file beside the target; O_EXCL guarantees that no
// other file is ever overwritten by the temporary.
int CreateTemporary(const std::string& sTarget, std::string& sTempPath)
{
    static std::atomic<unsigned> s_nCounter{0};
    const std::string sPrefix = FolderOf(sTarget) + "/." + BaseNameOf(sTarget) + ".tmp";
    for (int nAttempt = 0; nAttempt < 100; ++nAttempt) {
        sTempPath = sPrefix + std::to_string(getpid()) + "-" + std::to_string(s_nCounter++);
        const int fd = open(sTempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

bool ReadWholeFile(const std::string& sPath, std::string& sContent, bool& bExists)
{
    sContent.clear();
    bExists = false;
    const int fd = open(sPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR;
    bExists = true;
    struct stat info {};
    bool bOk = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadAll(fd, sContent);
    close(fd);
    if (!bOk)
        sContent.clear();
    return bOk;
}

bool ReplaceFileAtomically(const std::string& sPath, const std::string& sContent)
{
    if (sPath.empty())
        return false;
    std::string sTarget;
    if (!ResolveTarget(sPath, sTarget))
        return false;

    struct stat oldInfo {};
    const bool bExisted = stat(sTarget.c_str(), &oldInfo) == 0;
    if (bExisted && (!S_ISREG(oldInfo.st_mode) || access(sTarget.c_str(), W_OK) != 0))
        return false;

    std::string sTempPath;
    const int fd = CreateTemporary(sTarget, sTempPath);
    if (fd < 0)
        return false;

    bool bOk = true;
    if (bExisted) {
        bOk = fchmod(fd, oldInfo.st_mode & 07777) == 0;
        // Ownership can only be kept by a privileged process; losing it is not a failure.
        const int nChownResult = fchown(fd, oldInfo.st_uid, oldInfo.st_gid);
        (void)nChownResult;
    }
    bOk = bOk && WriteAll(fd, sContent) && fsync(fd) == 0;
    bOk = (close(fd) == 0) && bOk;
    bOk = bOk && rename(sTempPath.c_str(), sTarget.c_str()) == 0;
    if (!bOk)
        unlink(sTempPath.c_str());
    return bOk;
}
