#pragma once
// The one replaceable place where warnings and assertions of every layer below
// the window are shown. The window installs message boxes, the command-line
// tool writes to standard error, tests install a recorder.

#include <cstdint>

enum class TOroReportKind { Warning, Assert, BCAssert };
enum class TOroReportAnswer { Abort, Retry, Ignore, Ok };

struct OroReport_st {
    TOroReportKind kind;
    const char* caption;   // box caption, for example "Oro Warning"
    const char* module;    // reporting source module
    int32_t line;
    const char* message;   // null when the report carries no message
    const char* text;      // the complete box text
};

class IOroReportHandler {
public:
    virtual ~IOroReportHandler() = default;
    // Shows the report and returns the user's answer. For Assert and BCAssert
    // the answer is ignored (the caller ends or shuts down the program).
    virtual TOroReportAnswer Report(const OroReport_st& report) = 0;
};

// Writes the box text to standard error and answers Ignore.
class COroStderrReportHandler : public IOroReportHandler {
public:
    TOroReportAnswer Report(const OroReport_st& report) override;
};

// Installs a handler (null restores the standard-error one); returns the previous one.
IOroReportHandler* SetOroReportHandler(IOroReportHandler* pHandler);
IOroReportHandler* GetOroReportHandler();

// Raises the report and acts on the answer: Abort ends the program abnormally,
// Retry breaks into an attached debugger (otherwise it acts as Ignore).
void OroRaiseWarning(const char* pModule, int32_t nLine, const char* pMessage);
// Shows the fatal assertion and ends the program abnormally.
[[noreturn]] void OroRaiseAssert(const char* pModule, int32_t nLine, const char* pMessage);
