#include "pathtext.h"

std::string FolderOfPath(std::string_view path, TFolderForm eForm)
{
    const bool bSystem = eForm == TFolderForm::ForSystemCalls;
    const size_t nLast = path.find_last_of(bSystem ? std::string_view("/") : std::string_view("/\\:"));
    if (nLast == std::string_view::npos)
        return bSystem ? "." : "";
    if (!bSystem)
        return std::string(path.substr(0, nLast + 1));
    return nLast == 0 ? "/" : std::string(path.substr(0, nLast));
}
