// The destination types of the package layout as vtpack names them: in the
// project file ("program-files"), in vtpack list's installed paths
// ("<Program Files>", as the documentation names the folders), and the
// folder each stands for on a standard Windows system.
#ifndef VANTOREL_PACKER_DESTINATIONS_H
#define VANTOREL_PACKER_DESTINATIONS_H

#include <optional>
#include <string>

#include "package/layout.h"

namespace packer {

struct DestinationNames {
  const char* name;   // the project's "destination", and vtpack list's
  const char* label;  // the folder as the documentation names it
  // Where the folder is, with its final "\\", as the 32-bit setup program
  // sees it on 64-bit Windows; below it for "app", the application's own.
  const char* standardFolder;
};

// By layout::DestinationType.
extern const DestinationNames kDestinations[layout::kDestinationTypeCount];

// The type the project names `name`; nothing for an unknown name.
std::optional<layout::DestinationType> FindDestination(const std::string& name);

// "app, windows, system, fonts, program-files or common-files".
std::string DestinationNameList();

}  // namespace packer

#endif
