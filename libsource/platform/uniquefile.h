#pragma once
// A stdio stream that closes itself. Close() closes it early and tells
// whether that worked: for a written file, closing flushes the last bytes,
// so a failure there is a failed write. Only regular files are opened (see
// regularfile.h): a named pipe or a device never makes the caller wait.

#include <cstdio>

#include "regularfile.h"

class CUniqueFile {
public:
    CUniqueFile() = default;
    // Opens the file as std::fopen does, if it is a regular file; a null
    // name opens nothing.
    CUniqueFile(const char* pFileName, const char* pMode)
        : m_pFile(pFileName != nullptr ? OpenRegularStream(pFileName, pMode) : nullptr)
    {}
    ~CUniqueFile()
    {
        if (m_pFile != nullptr)
            std::fclose(m_pFile);
    }
    CUniqueFile(const CUniqueFile&) = delete;
    CUniqueFile& operator=(const CUniqueFile&) = delete;

    std::FILE* Get() const { return m_pFile; }
    explicit operator bool() const { return m_pFile != nullptr; }
    bool Close()
    {
        std::FILE* pFile = m_pFile;
        m_pFile = nullptr;
        return pFile != nullptr && std::fclose(pFile) == 0;
    }

private:
    std::FILE* m_pFile = nullptr;
};
