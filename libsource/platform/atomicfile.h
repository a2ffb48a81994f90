#pragma once
// Whole-file reads and crash-safe whole-file replacement. A replacement is
// written to a temporary file in the same folder and renamed over the target
// only when it was written completely, so a failure at any point leaves the
// old file exactly as it was.

#include <string>

// Reads the whole file into sContent. Returns true and bExists = false when
// the file does not exist (sContent empty); false when it exists but cannot
// be read (or is not a regular file).
bool ReadWholeFile(const std::string& sPath, std::string& sContent, bool& bExists);

// One replacement of a file: the new content goes to TempPath(), Commit()
// puts it in place. The target is the file a symbolic link points to (the
// link stays a link), an existing target keeps its permission bits, and a
// target that exists but may not be written is refused, as writing it in
// place would be. Without Commit() the temporary file is removed again.
class CAtomicFileReplacement {
public:
    explicit CAtomicFileReplacement(const std::string& sPath);
    ~CAtomicFileReplacement();
    CAtomicFileReplacement(const CAtomicFileReplacement&) = delete;
    CAtomicFileReplacement& operator=(const CAtomicFileReplacement&) = delete;

    // False when the target is refused or no temporary file could be made.
    bool IsReady() const { return !m_sTempPath.empty(); }
    const std::string& TempPath() const { return m_sTempPath; }
    // Flushes the temporary file to disk and renames it over the target.
    bool Commit();

private:
    std::string m_sTarget;
    std::string m_sTempPath;
    bool m_bCommitted = false;
};

// Replaces (or creates) the file with sContent through CAtomicFileReplacement.
bool ReplaceFileAtomically(const std::string& sPath, const std::string& sContent);
