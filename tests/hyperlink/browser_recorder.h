// What the browser tests share: copies of the launch recorder registered,
// for the length of a test, as the programs the system opens web pages and
// mail addresses with, and the command lines they were started with. The
// registry is put back afterwards: every test of the run uses the prefix.
#ifndef VANTOREL_TESTS_HYPERLINK_BROWSER_RECORDER_H
#define VANTOREL_TESTS_HYPERLINK_BROWSER_RECORDER_H

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "registry.h"

namespace browsertest {

using support::ScopedRegistryValue;

// A folder of recorder copies and their shared log.
class Recorders {
 public:
  // A folder `name` in the temporary directory, its log emptied.
  explicit Recorders(const std::string& name);
  // The Windows path of a copy named `name` ("iexplore.exe"), made now.
  std::string Copy(const std::string& name) const;
  // Where the copy named `name` is.
  std::string Path(const std::string& name) const;
  // The command lines recorded so far, oldest first.
  std::vector<std::string> Launches() const;
  // Waits until at least `count` launches are recorded; the lines then.
  std::vector<std::string> WaitForLaunches(size_t count) const;
  // Waits until no copy runs any more (a launch still under way has then
  // written its line).
  bool WaitUntilNoneRuns() const;
  void ClearLog() const;

 private:
  std::string folder_;
};

// The class name under which the tests register their ".htm" handler.
constexpr char kTestDocumentClass[] = "VantorelTest.Document";

// "\"<program>\" <arguments>", as registries hold commands.
std::string Command(const std::string& program, const std::string& arguments);

}  // namespace browsertest

#endif
