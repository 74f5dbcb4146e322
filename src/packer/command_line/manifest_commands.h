// vtpack manifest winget and vtpack manifest intune: what deployment needs
// of a finished setup file, read from that file (publishing/).
#ifndef VANTOREL_PACKER_MANIFEST_COMMANDS_H
#define VANTOREL_PACKER_MANIFEST_COMMANDS_H

#include <optional>
#include <ostream>
#include <string>

namespace packer {

// Writes the three winget manifests into `folder` (made when missing) and
// names them on `out`. Returns the exit code: 1 with one line on `errors`
// when a fact is missing or a file cannot be written, none written then.
int WriteWingetManifests(const std::string& setupPath, const std::string& url,
                         const std::string& folder, std::optional<int> codePage, std::ostream& out,
                         std::ostream& errors);

// Prints Intune's Win32-app settings as text or, with `json`, as the
// properties of Microsoft Graph's win32LobApp. Returns the exit code.
int PrintIntuneApp(const std::string& setupPath, bool json, std::optional<int> codePage,
                   std::ostream& out, std::ostream& errors);

}  // namespace packer

#endif
