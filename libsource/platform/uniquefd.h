#pragma once
// A file descriptor that closes itself. Close() closes it early and tells
// whether that worked (a written file can report its failure only there).

#include <unistd.h>

class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    bool Close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && close(fd) == 0;
    }

private:
    int m_fd = -1;
};
