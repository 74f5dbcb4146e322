// The start of the setup program and the uninstaller, which begin in their
// own entry points instead of the C runtime's start-up code: they need none
// of its command-line, TLS or floating-point set-up, and leaving it out
// keeps them small. msvcrt.dll initialises itself when it is loaded; only
// the static constructors must be run. (The link refuses auto-imported
// symbols, which the start-up code would have had to fix up at run time.)
//
// program_start.cpp is compiled into each program itself (CMake function
// vantorel_program_entry), never taken from a library: its atexit must
// replace the runtime's.
#ifndef VANTOREL_BASE_PROGRAM_START_H
#define VANTOREL_BASE_PROGRAM_START_H

// First thing in the entry point: narrows the DLL search before anything
// can load a DLL (no DLLs from a downloads folder), then runs the static
// constructors.
void StartProgram();

#endif
