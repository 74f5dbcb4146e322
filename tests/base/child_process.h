// Starting a test helper that sits next to the test program, and reading
// what it leaves behind: the same calls in the native and Windows builds.
#ifndef VANTOREL_TESTS_BASE_CHILD_PROCESS_H
#define VANTOREL_TESTS_BASE_CHILD_PROCESS_H

#include <string>
#include <vector>

// Path of `name` in the test program's own directory ("name.exe" on Windows).
std::string SiblingProgram(const std::string& name);
// Runs the program to its end; its exit code, or -1 when it could not start
// or did not end normally.
int RunToEnd(const std::string& program, const std::vector<std::string>& arguments);
// A file name nobody else uses, in the temporary directory.
std::string UniqueTemporaryFile(const std::string& stem);
std::string ReadWholeFile(const std::string& path);

#endif
