#include "TempDir.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

CTempDir::CTempDir(const std::string& sPrefix, TPlace place)
{
    std::error_code ec;
    const bool bInMemory = place == tpMemoryIfAvailable && std::filesystem::is_directory("/dev/shm", ec);
    const std::filesystem::path base = bInMemory ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string sTemplate = (base / (sPrefix + "-XXXXXX")).string();
    std::vector<char> name(sTemplate.begin(), sTemplate.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_sPath = name.data();
}

CTempDir::~CTempDir()
{
    std::error_code ec;
    // Folders made read-only by a test must become writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_sPath, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_sPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_sPath, ec);
}

size_t CTempDir::CountEntries() const
{
    std::error_code ec;
    std::filesystem::directory_iterator it(m_sPath, ec);
    return ec ? 0 : static_cast<size_t>(std::distance(it, std::filesystem::directory_iterator()));
}

std::vector<uint8_t> ReadFileBytes(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::string& sPath, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

bool WriteFileText(const std::string& sPath, const std::string& sText)
{
    return WriteFileBytes(sPath, std::vector<uint8_t>(sText.begin(), sText.end()));
}

std::string ReadFileText(const std::string& sPath)
{
    std::vector<uint8_t> bytes = ReadFileBytes(sPath);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& sPath)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(sPath, ec));
}

CScopedWorkingDir::CScopedWorkingDir(const std::string& sPath)
{
    m_sOld = std::filesystem::current_path().string();
    std::filesystem::current_path(sPath);
}

CScopedWorkingDir::~CScopedWorkingDir()
{
    std::error_code ec;
    std::filesystem::current_path(m_sOld, ec);
}
