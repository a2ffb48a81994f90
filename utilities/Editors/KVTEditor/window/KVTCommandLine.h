#pragma once
// The program's command line: the arguments after the program name joined
// by single spaces, read as at most one file name.

#include "orostring.h"

COroString JoinCommandLine(int argc, const char* const* argv);

// The file the command line names: a line that starts with a double quote
// loses that quote and its last character (the closing quote); any other
// line is the name as it stands, blanks included. "" for an empty line and
// for a lone quote.
COroString CommandLineFileName(const COroString& sCommandLine);
