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
};

// A temporary folder removed at the end of the test, with the two stand-in
// program images vtpack needs ("stub.exe", "uninst.exe").
class ProjectFolder {
 public:
  ProjectFolder();
  ~ProjectFolder();
  ProjectFolder(const ProjectFolder&) = delete;
  ProjectFolder& operator=(const ProjectFolder&) = delete;

  const std::string& path() const { return path_; }
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

// The stand-in images: "MZ" and some bytes.
packer::Bytes StubImage();
packer::Bytes UninstallerImage();

// Runs vtpack with `args`; `environment` adds (value) or removes (nullopt) variables.
RunResult RunVtpack(const std::vector<std::string>& args,
                    const std::map<std::string, std::optional<std::string>>& environment = {},
                    const std::string& program = VTPACK_PATH);

// vtpack build PROJECT -o OUTPUT --stub stub.exe --uninstaller uninst.exe, in `folder`.
RunResult BuildIn(const ProjectFolder& folder, const std::string& project = "project.toml",
                  const std::string& output = "Setup.exe", const std::vector<std::string>& extra = {},
                  const std::map<std::string, std::optional<std::string>>& environment = {});

// A minimal valid project file, with `more` appended.
std::string MinimalProject(const std::string& more = "");

}  // namespace packer_test

#endif
