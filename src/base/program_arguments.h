// Reading the command line a program was started with, as Windows hands it
// over: one text, the program's own path first. Setup and the uninstaller
// take switches spelled as deployment tools write them for NSIS installers
// ("/S", "/LOG=<file>"), in any case, each on its own or in quotes.
//
// Works on text alone, so it builds natively too.
#ifndef VANTOREL_BASE_PROGRAM_ARGUMENTS_H
#define VANTOREL_BASE_PROGRAM_ARGUMENTS_H

#include "base/shared_string.h"

bool IsBlank(char c);  // a blank or a tab
const char* SkipBlanks(const char* text);

// Where the program's own path ends in `line` (which starts with it). It
// may be quoted; unquoted, it ends at the first blank after ".exe", so a
// path with blanks that Windows started unquoted still ends right.
const char* AfterProgramPath(const char* line);

// One argument starting at `text`: up to the next blank outside quotes
// (`toEnd`: up to the end of the line), the quotes dropped
// ("/LOG=C:\a b\x.log" and /LOG="C:\a b\x.log" alike). Returns where the
// argument ends.
const char* NextArgument(const char* text, SharedString& argument, bool toEnd = false);

// Whether `argument` is "/<letter>" ("/S", "/?"), case ignored.
bool IsSwitch(const char* argument, char letter);

// Whether `argument` is "/<name>=" followed by a value, case ignored; the
// value goes into `value`. "/LOG=" without a value is not.
bool IsSwitchWithValue(const char* argument, const char* name, SharedString& value);

#endif
