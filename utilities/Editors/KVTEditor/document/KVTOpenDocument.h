#pragma once
// Opening a document as the editor does: the file must exist, its header must
// pass the check, and it must load. The window and the command-line tool both
// open documents through here.

#include "KVTTreeNodes.h"

enum class TKvtOpenResult { Opened, NotFound, BadHeader, LoadFailed };

// On Opened, pRoot holds the new document (owned by the caller); otherwise null.
TKvtOpenResult OpenKvtDocument(const char* pFileName, CKvtNodeTopLevelStruct*& pRoot);

// The messages the editor shows for each failure.
COroString GetOpenErrorText(TKvtOpenResult nResult, const char* pFileName);
// The message for a failed save.
COroString GetSaveErrorText(const char* pFileName);
