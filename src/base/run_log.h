// The plain-text log of one run of setup or of the uninstaller, which
// "/LOG=<file>" asks for: what the run did, one line each, lines ended by
// CR LF. Deployment tools keep it when a run goes wrong, so it names every
// message the run showed (or, when silent, would have shown) with its
// number. A log that cannot be written costs the run nothing: it goes on
// without one.
#ifndef VANTOREL_BASE_RUN_LOG_H
#define VANTOREL_BASE_RUN_LOG_H

#include "base/system_message_box.h"

// Creates the log at `path` (an earlier one is replaced) and writes its
// first lines: `program`, the local time and the command line. False when
// it cannot be created. Run as an administrator, a link at `path`, or a
// file that has other names, is not written through: no log then.
bool OpenRunLog(const char* path, const char* program);

// A line, formatted printf-style; nothing when no log is open. Lines are
// held and written a few kilobytes at a time.
void LogLine(const char* format, ...);

// "Message <number>: <text>", with the answer taken when it was a question
// ("Message 13 (Yes): ..."); the text's further lines are indented. Written
// at once: the run may end right after a message.
void LogMessageBox(const MessageBoxRequest& request, int answer);

// Writes what is still held and closes the log.
void CloseRunLog();

#endif
