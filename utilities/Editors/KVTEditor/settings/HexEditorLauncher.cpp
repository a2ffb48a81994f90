#include "HexEditorLauncher.h"

#include <string>

#include "processstart.h"
#include "registry.h"

const char* const g_pHexEditorKey = "\\SOFTWARE\\Breakpoint\\Hex Workshop 3.0";

COroString GetHexEditorPath()
{
    std::string sPath;
    if (!RegistryReadString(g_pHexEditorKey, "Path", sPath))
        return COroString();
    return sPath.c_str();
}

bool RunHexEditor(const COroString& sPath, const COroString& sFileName)
{
    return StartProcessAndWait(sPath.CStr(), sFileName.CStr());
}

bool HexEditFile(const COroString& sFileName)
{
    const COroString sPath = GetHexEditorPath();
    if (sPath.GetLength() == 0)
        return false;
    return RunHexEditor(sPath, sFileName);
}
