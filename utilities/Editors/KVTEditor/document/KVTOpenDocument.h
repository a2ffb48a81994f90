#pragma once
// Opening a document as the editor does, in two steps that the window and the
// command-line tool both take: the name is checked (something exists there
// and its header passes), then the file is loaded. The window closes its old
// document between the two.

#include <memory>

#include "KVTTreeNodes.h"

enum class TKvtOpenResult { Opened, NotFound, BadHeader, LoadFailed };

// NotFound, BadHeader or Opened (the file may still fail to load).
TKvtOpenResult CheckKvtDocumentName(const char* pFileName);
// Loads the file into the empty root. LoadFailed when the file is refused as
// a whole or the load ends in an exception; a damaged field still gives a
// document (its warning was raised).
TKvtOpenResult LoadKvtDocument(const char* pFileName, CKvtNodeTopLevelStruct& root);
// Both steps: on Opened, pRoot holds the new document; otherwise null.
TKvtOpenResult OpenKvtDocument(const char* pFileName, std::unique_ptr<CKvtNodeTopLevelStruct>& pRoot);

// The messages the editor shows for each failure.
COroString GetOpenErrorText(TKvtOpenResult nResult, const char* pFileName);
// The message for a failed save.
COroString GetSaveErrorText(const char* pFileName);
