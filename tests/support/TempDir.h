#pragma once
// A temporary folder for one test, removed with everything in it afterwards,
// and small helpers to read and write whole files as bytes.

#include <cstdint>
#include <string>
#include <vector>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_sPath; }
    // Path of a file name inside the folder.
    std::string File(const std::string& sName) const { return m_sPath + "/" + sName; }

private:
    std::string m_sPath;
};

std::vector<uint8_t> ReadFileBytes(const std::string& sPath);
bool WriteFileBytes(const std::string& sPath, const std::vector<uint8_t>& bytes);
bool WriteFileText(const std::string& sPath, const std::string& sText);
std::string ReadFileText(const std::string& sPath);
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
