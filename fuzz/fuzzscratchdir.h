#pragma once
// A private folder for the files one fuzz process writes, removed with its
// contents when the process ends normally. It lives in memory (/dev/shm) when
// that exists: saves flush their files to disk, which on a real disk would
// slow every run down to the speed of the disk.

#include <cstddef>
#include <string>

class CFuzzScratchDir {
public:
    // sPrefix names the folder (a random suffix makes it unique).
    explicit CFuzzScratchDir(const std::string& sPrefix);
    ~CFuzzScratchDir();
    CFuzzScratchDir(const CFuzzScratchDir&) = delete;
    CFuzzScratchDir& operator=(const CFuzzScratchDir&) = delete;

    const std::string& Path() const { return m_sPath; }
    std::string File(const char* pName) const { return m_sPath + "/" + pName; }
    // Entries in the folder (temporary files left behind show up here).
    size_t CountEntries() const;

private:
    std::string m_sPath;
};

// The whole file, or an empty string when it cannot be read.
std::string ReadWholeFileOrEmpty(const std::string& sPath);
// Replaces the file's content; false on any failure.
bool WriteWholeFile(const std::string& sPath, const std::string& sContent);
