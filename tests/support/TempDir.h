#pragma once
// A private scratch folder, removed with everything in it when the object
// goes, and small helpers to read and write whole files.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CTempDir {
public:
    // tpMemoryIfAvailable puts the folder in /dev/shm when the machine has it:
    // saves flush their files, which on a real disk would slow a fuzz run down
    // to the speed of the disk.
    enum TPlace { tpTempFolder, tpMemoryIfAvailable };

    // sPrefix names the folder (a random suffix makes it unique).
    explicit CTempDir(const std::string& sPrefix = "kvttest", TPlace place = tpTempFolder);
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_sPath; }
    // Path of a file name inside the folder.
    std::string File(const std::string& sName) const { return m_sPath + "/" + sName; }
    // Entries in the folder (temporary files left behind show up here).
    size_t CountEntries() const;

private:
    std::string m_sPath;
};

// Whole files; a file that cannot be read reads as empty.
std::vector<uint8_t> ReadFileBytes(const std::string& sPath);
std::string ReadFileText(const std::string& sPath);
// Replace the file's content; false on any failure.
bool WriteFileBytes(const std::string& sPath, const std::vector<uint8_t>& bytes);
bool WriteFileText(const std::string& sPath, const std::string& sText);
bool FileExists(const std::string& sPath);

// Runs the body with the current working directory set to sPath, then restores it.
class CScopedWorkingDir {
public:
    explicit CScopedWorkingDir(const std::string& sPath);
    ~CScopedWorkingDir();
    CScopedWorkingDir(const CScopedWorkingDir&) = delete;
    CScopedWorkingDir& operator=(const CScopedWorkingDir&) = delete;

private:
    std::string m_sOld;
};
