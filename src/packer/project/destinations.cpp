#include "packer/project/destinations.h"

#include <vector>

#include "packer/problem.h"

namespace packer {

// The product is a 32-bit program: on 64-bit Windows its Program Files is
// "Program Files (x86)", the longer of the two; System32 and SysWOW64 are
// of one length.
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
