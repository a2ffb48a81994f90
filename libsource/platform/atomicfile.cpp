#include "atomicfile.h"

#include "filefaults.h"
#include "pathtext.h"
#include "regularfile.h"
#include "uniquefd.h"

#include <atomic>
#include <cerrno>
#include <climits>
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

// Follows symbolic links (at most 40) to the file they finally name, which
// need not exist yet: saving through a dangling link creates its target.
std::string ResolveLinks(const std::string& sPath)
{
    std::string sCurrent = sPath;
    for (int nHops = 0; nHops < 40; ++nHops) {
        struct stat info {};
        if (lstat(sCurrent.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return sCurrent;
        char buffer[PATH_MAX + 1];
        const ssize_t n = readlink(sCurrent.c_str(), buffer, PATH_MAX);
        if (n <= 0)
            return sCurrent;
        const std::string sLink(buffer, static_cast<size_t>(n));
        const size_t nSlash = sCurrent.find_last_of('/');
        sCurrent = (sLink[0] == '/' || nSlash == std::string::npos) ? sLink : sCurrent.substr(0, nSlash + 1) + sLink;
    }
    return sCurrent;
}

bool SyncPath(const std::string& sPath, int nFlags)
{
    CUniqueFd fd(open(sPath.c_str(), nFlags | O_CLOEXEC));
    if (!fd.IsOpen())
        return false;
    const bool bOk = fsync(fd.Get()) == 0;
    return fd.Close() && bOk;
}

mode_t NewFileMode()
{
    const mode_t nMask = umask(0);
    umask(nMask);
    return 0666 & ~nMask;
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
    const std::string sPrefix = FolderOfPath(sTarget, TFolderForm::ForSystemCalls) + "/." + BaseNameOf(sTarget) + ".tmp";
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
    // Settings, the registry file and the option file are read through
    // here: what is not a regular file exists but cannot be read.
    const CUniqueFd fd(OpenRegularFile(sPath.c_str(), O_RDONLY));
    if (!fd.IsOpen()) {
        bExists = errno == EISDIR || errno == EINVAL;
        return errno == ENOENT || errno == ENOTDIR;
    }
    bExists = true;
    const bool bOk = ReadAll(fd.Get(), sContent);
    if (!bOk)
        sContent.clear();
    return bOk;
}

CAtomicFileReplacement::CAtomicFileReplacement(const std::string& sPath)
{
    if (sPath.empty())
        return;
    m_sTarget = ResolveLinks(sPath);
    struct stat oldInfo {};
    const bool bExisted = stat(m_sTarget.c_str(), &oldInfo) == 0;
    // Only a missing file is created. A path that cannot be looked up for
    // another reason (links that lead in a circle, a folder that may not be
    // searched) is refused, as opening it for writing would be; otherwise
    // the rename would replace the link itself with a file.
    if (!bExisted && errno != ENOENT)
        return;
    if (bExisted && (!S_ISREG(oldInfo.st_mode) || access(m_sTarget.c_str(), W_OK) != 0))
        return;
    std::string sTempPath;
    CUniqueFd fd(CreateTemporary(m_sTarget, sTempPath));
    if (!fd.IsOpen())
        return;
    bool bOk = fchmod(fd.Get(), bExisted ? (oldInfo.st_mode & 07777) : NewFileMode()) == 0;
    if (bExisted) {
        // Ownership can only be kept by a privileged process; losing it is not a failure.
        const int nChownResult = fchown(fd.Get(), oldInfo.st_uid, oldInfo.st_gid);
        (void)nChownResult;
    }
    bOk = fd.Close() && bOk;
    if (bOk)
        m_sTempPath = sTempPath;
    else
        unlink(sTempPath.c_str());
}

CAtomicFileReplacement::~CAtomicFileReplacement()
{
    if (!m_bCommitted && !m_sTempPath.empty())
        unlink(m_sTempPath.c_str());
}

bool CAtomicFileReplacement::Commit()
{
    if (m_sTempPath.empty() || m_bCommitted)
        return false;
    if (!SyncPath(m_sTempPath, O_RDONLY) || FileRename(m_sTempPath.c_str(), m_sTarget.c_str()) != 0)
        return false;
    m_bCommitted = true;
    SyncPath(FolderOfPath(m_sTarget, TFolderForm::ForSystemCalls), O_RDONLY | O_DIRECTORY);  // best effort: the rename has happened
    return true;
}

bool ReplaceFileAtomically(const std::string& sPath, const std::string& sContent)
{
    CAtomicFileReplacement replacement(sPath);
    if (!replacement.IsReady())
        return false;
    CUniqueFd fd(open(replacement.TempPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (!fd.IsOpen())
        return false;
    bool bOk = WriteAll(fd.Get(), sContent);
    bOk = fd.Close() && bOk;
    return bOk && replacement.Commit();
}
