#pragma once
// Starting an outside program on one file and waiting for it to end.

// Starts pProgram with the argument list (pProgram, pArgument), the usual
// form of "an empty first argument followed by the file name", and waits
// until it ends. False when it could not be started (nothing is reported);
// pExitStatus, when given, receives the waitpid status of a started program.
bool StartProcessAndWait(const char* pProgram, const char* pArgument, int* pExitStatus = nullptr);
