#include "regularfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

int OpenRegularFile(const char* pFileName, int nFlags, mode_t nMode)
{
    if (pFileName == nullptr) {
        errno = ENOENT;
        return -1;
    }
    const bool bTruncate = (nFlags & O_TRUNC) != 0;
    // O_NONBLOCK keeps the open from waiting for the other end of a FIFO or
    // for a device; O_NOCTTY keeps a terminal from becoming ours.
    const int fd = open(pFileName, (nFlags & ~O_TRUNC) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, nMode);
    if (fd < 0)
        return -1;
    struct stat info {};
    int nError = 0;
    if (fstat(fd, &info) != 0)
        nError = errno;
    else if (!S_ISREG(info.st_mode))
        nError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    // Reads and writes of a regular file never wait anyway; the flag is
    // dropped so that the descriptor behaves as a plain open's would.
    else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
        nError = errno;
    else if (bTruncate && ftruncate(fd, 0) != 0)
        nError = errno;
    if (nError != 0) {
        close(fd);
        errno = nError;
        return -1;
    }
    return fd;
}

std::FILE* OpenRegularStream(const char* pFileName, const char* pMode)
{
    if (pMode == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    const bool bUpdate = std::strchr(pMode, '+') != nullptr;
    int nFlags = 0;
    switch (pMode[0]) {
    case 'r': nFlags = bUpdate ? O_RDWR : O_RDONLY; break;
    case 'w': nFlags = (bUpdate ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
    case 'a': nFlags = (bUpdate ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: errno = EINVAL; return nullptr;
    }
    const int fd = OpenRegularFile(pFileName, nFlags);
    if (fd < 0)
        return nullptr;
    std::FILE* pFile = fdopen(fd, pMode);
    if (pFile == nullptr) {
        const int nError = errno;
        close(fd);
        errno = nError;
    }
    return pFile;
}

bool IsRegularFileAt(const char* pFileName)
{
    struct stat info {};
    return pFileName != nullptr && stat(pFileName, &info) == 0 && S_ISREG(info.st_mode);
}
