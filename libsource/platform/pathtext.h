#pragma once
// The folder part of a path, in the two forms the program needs.

#include <string>
#include <string_view>

enum class TFolderForm {
    // As shown to and typed by the user: up to and including the last '/',
    // '\' or ':' (paths may be written the Windows way); empty without one.
    WithSeparator,
    // For system calls on this machine: only '/' separates, the result has
    // no trailing separator, "." without one and "/" for the root.
    ForSystemCalls,
};

std::string FolderOfPath(std::string_view path, TFolderForm eForm);
