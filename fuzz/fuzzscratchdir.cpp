#include "fuzzscratchdir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

CFuzzScratchDir::CFuzzScratchDir(const std::string& sPrefix)
{
    struct stat info {};
    const std::string sBase = (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) ? "/dev/shm" : "/tmp";
    std::string sTemplate = sBase + "/" + sPrefix + ".XXXXXX";
    std::vector<char> name(sTemplate.begin(), sTemplate.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    m_sPath = name.data();
}

CFuzzScratchDir::~CFuzzScratchDir()
{
    std::error_code error;
    std::filesystem::remove_all(m_sPath, error);
}

size_t CFuzzScratchDir::CountEntries() const
{
    std::error_code error;
    std::filesystem::directory_iterator it(m_sPath, error);
    return error ? 0 : static_cast<size_t>(std::distance(it, std::filesystem::directory_iterator()));
}

std::string ReadWholeFileOrEmpty(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& sPath, const std::string& sContent)
{
    std::ofstream out(sPath, std::ios::binary | std::ios::trunc);
    out.write(sContent.data(), static_cast<std::streamsize>(sContent.size()));
    out.close();
    return !out.fail();
}
