#pragma once
// The external hex editor: found through its own registry entry, started on
// the current document's file and waited for.

#include "orostring.h"

// The registry key the hex editor registers itself under.
extern const char* const g_pHexEditorKey;

// Its "Path" value: the full path of the hex editor's program, or "" when
// the key or the value is missing.
COroString GetHexEditorPath();

// Starts sPath with the argument list (program path, sFileName) and waits
// until it ends. False, silently, when it cannot be started (an empty path
// included).
bool RunHexEditor(const COroString& sPath, const COroString& sFileName);

// The Hex Edit command: the registered hex editor on sFileName, exactly as
// given (even empty); nothing when none is registered. True when it ran.
bool HexEditFile(const COroString& sFileName);
