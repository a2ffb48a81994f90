#include "processstart.h"

#include <cerrno>
#include <csignal>
#include <initializer_list>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The child starts with an empty signal mask and default dispositions for
// the signals a GUI or a test may have blocked or ignored; otherwise the
// started program would inherit them.
bool PrepareAttributes(posix_spawnattr_t& attributes)
{
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    sigset_t emptyMask;
    sigemptyset(&emptyMask);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int nSignal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGXFSZ})
        sigaddset(&defaults, nSignal);
    const bool bOk = posix_spawnattr_setsigmask(&attributes, &emptyMask) == 0 &&
                     posix_spawnattr_setsigdefault(&attributes, &defaults) == 0 &&
                     posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    if (!bOk)
        posix_spawnattr_destroy(&attributes);
    return bOk;
}

} // namespace

bool StartProcessAndWait(const char* pProgram, const char* pArgument, int* pExitStatus)
{
    if (pProgram == nullptr || *pProgram == '\0')
        return false;
    posix_spawnattr_t attributes;
    if (!PrepareAttributes(attributes))
        return false;
    char* argv[] = {const_cast<char*>(pProgram), const_cast<char*>(pArgument != nullptr ? pArgument : ""), nullptr};
    pid_t pid = 0;
    const int nError = posix_spawn(&pid, pProgram, nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (nError != 0)
        return false;

    int nStatus = 0;
    for (;;) {
        if (waitpid(pid, &nStatus, 0) == pid)
            break;
        // ECHILD: the process was reaped elsewhere (SIGCHLD ignored), so it has ended.
        if (errno != EINTR)
            break;
    }
    if (pExitStatus != nullptr)
        *pExitStatus = nStatus;
    return true;
}
