#include "packer/project/destinations.h"

#include <vector>

#include "packer/problem.h"

namespace packer {

// The longest form of each folder: a 32-bit package's Program Files on
// 64-bit Windows is "Program Files (x86)", longer than an x64 package's;
// System32 and SysWOW64 are of one length.
const DestinationNames kDestinations[layout::kDestinationTypeCount] = {
    {"app", "<Destination>", "C:\\Program Files (x86)\\"},
    {"windows", "<Windows>", "C:\\Windows\\"},
    {"system", "<System>", "C:\\Windows\\System32\\"},
    {"fonts", "<Fonts>", "C:\\Windows\\Fonts\\"},
    {"program-files", "<Program Files>", "C:\\Program Files (x86)\\"},
    {"common-files", "<Common Files>", "C:\\Program Files (x86)\\Common Files\\"},
};

std::optional<layout::DestinationType> FindDestination(const std::string& name) {
  for (unsigned type = 0; type < layout::kDestinationTypeCount; ++type) {
    if (name == kDestinations[type].name) return static_cast<layout::DestinationType>(type);
  }
  return std::nullopt;
}

std::string DestinationNameList() {
  std::vector<std::string> names;
  for (const DestinationNames& destination : kDestinations) names.push_back(destination.name);
  return JoinWords(names, " or ");
}

}  // namespace packer
