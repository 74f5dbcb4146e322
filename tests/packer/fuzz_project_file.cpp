// libFuzzer target: any text as a project file. Parsing ends in a Project
// or a Problem, never in a crash, a leak or an escaped exception.
#include <cstddef>
#include <cstdint>
#include <string>

#include "packer/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  packer::ParseProject(text, "fuzz.toml", "/nonexistent");
  return 0;
}
