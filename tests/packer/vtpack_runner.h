// Runs vtpack as a user would: a real process in a temporary project folder.
#ifndef VANTOREL_TESTS_PACKER_VTPACK_RUNNER_H
#define VANTOREL_TESTS_PACKER_VTPACK_RUNNER_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "packer/byte_writer.h"

namespace packer_test {

struct RunResult {
  int exitCode = -1;
  std::string out, err;
  long peakMemoryKiB = 0;  // vtpack's largest resident set
};

// A temporary folder removed at the end of the test, with the two stand-in
// program images vtpack needs ("stub.exe", "uninst.exe").
class ProjectFolder {
 public:
  ProjectFolder();
  ~ProjectFolder();
  ProjectFolder(const ProjectFolder&) = delete;
  ProjectFolder& operator=(const ProjectFolder&) = delete;

  const std::string& Root() const { return path_; }
  std::string Path(const std::string& relative) const { return path_ + "/" + relative; }
  void Write(const std::string& relative, const std::string& content) const;
  void Write(const std::string& relative, const packer::Bytes& content) const;
  bool Exists(const std::string& relative) const;
  std::vector<std::string> Entries() const;  // names in the folder, sorted
  packer::Bytes Read(const std::string& relative) const;
  void SetModified(const std::string& relative, long long secondsSince1970) const;

 private:
  std::string path_;
};

// The stand-in setup program (support::StandInImage with one section) and
// uninstaller ("MZ" and some bytes).
packer::Bytes StubImage();
packer::Bytes UninstallerImage();

// The PE checksum of a whole file whose checksum field lies at `field`, as
// CheckSumMappedFile computes it: the 16-bit words (the field's as zero)
// added with each carry folded back at once, plus the file's length.
// Written apart from vtpack's PeChecksum, which it checks.
std::uint32_t FileChecksum(const packer::Bytes& file, std::size_t field);

// How a run is watched. A run that has not ended after `timeoutSeconds` is
// killed and reported with exit code kTimedOut, so a vtpack that hangs fails
// its test instead of hanging it.
constexpr int kTimedOut = -2;
struct RunOptions {
  int timeoutSeconds = 60;
  // Sent once a file whose name starts with `temporaryPrefix` appears in
  // `watchFolder` (the output's temporary file); 0: none.
  int signal = 0;
  std::string watchFolder, temporaryPrefix;
  bool signalSent = false;  // set by the run
  // RLIMIT_FSIZE of vtpack's process in bytes; 0: unlimited.
  long fileSizeLimit = 0;
  // stderr a terminal (a pseudo-terminal) instead of a file.
  bool errorsToTerminal = false;
};

// The vtpack under test: VTPACK_UNDER_TEST when set (to run these tests
// against another build, e.g. one without a fix), else this build's.
std::string VtpackUnderTest();

// Runs vtpack with `args`; `environment` adds (value) or removes (nullopt) variables.
RunResult RunVtpack(const std::vector<std::string>& args,
                    const std::map<std::string, std::optional<std::string>>& environment = {},
                    const std::string& program = VtpackUnderTest(), RunOptions* options = nullptr);

// vtpack build PROJECT -o OUTPUT --stub stub.exe --uninstaller uninst.exe, in `folder`.
RunResult BuildIn(const ProjectFolder& folder, const std::string& project = "project.toml",
                  const std::string& output = "Setup.exe",
                  const std::vector<std::string>& extra = {},
                  const std::map<std::string, std::optional<std::string>>& environment = {},
                  RunOptions* options = nullptr, const std::string& stub = "stub.exe",
                  const std::string& uninstaller = "uninst.exe");

// A minimal valid project file, with `more` appended.
std::string MinimalProject(const std::string& more = "");

}  // namespace packer_test

#endif
