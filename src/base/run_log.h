// The plain-text log of one run of setup or of the uninstaller, which
// "/LOG=<file>" asks for: what the run did, one line each, lines ended by
// CR LF. Deployment tools keep it when a run goes wrong, so it names every
// message the run showed (or, when silent, would have shown) with its
// number. A log that cannot be written costs the run nothing: it goes on
// without one. Setup and the uninstaller start and end their runs here
// alike, and answer their boxes alike when silent ("/S").
#ifndef VANTOREL_BASE_RUN_LOG_H
#define VANTOREL_BASE_RUN_LOG_H

#include "base/deployment_interface.h"
#include "base/system_message_box.h"

// Opens the log at `logPath` unless it is empty (an earlier one is
// replaced; its first lines are `program`, the local time and the command
// line), and from then on every message box is a line of it too.
// `silent`: no box is shown at all, and the answer taken is Yes to the box
// `confirmedId` (the one question that running silently answers for the
// user), No to every other question, Cancel to Retry or Cancel, OK to the
// rest. Run as an administrator, a link at `logPath`, or a file that has
// other names, is not written through: no log then.
void BeginRun(const char* program, const char* logPath, bool silent, unsigned confirmedId);

// Logs "Result: exit code <exitCode>" and closes the log (writing what is
// still held); returns `exitCode`.
int EndRun(int exitCode);

// A line, formatted printf-style; nothing when no log is open. Lines are
// held and written a few kilobytes at a time.
void LogLine(const char* format, ...);

// "Message <number>: <text>", with the answer taken when it was a question
// ("Message 13 (Yes): ..."); the text's further lines are indented. Written
// at once: the run may end right after a message.
void LogMessageBox(const MessageBoxRequest& request, int answer);

#endif
