// vtpack list and vtpack verify: a finished setup file read back through the
// setup program's own package reader, step for step as it reads it.
#ifndef VANTOREL_PACKER_PACKAGE_REPORT_H
#define VANTOREL_PACKER_PACKAGE_REPORT_H

#include <ostream>
#include <string>

namespace packer {

// Prints the header, files, registry records and associations, as text or,
// with `json`, as the JSON document of docs/project-format.md. Returns the
// exit code: 1 (with the reason on `errors`) when the package cannot be read.
int ListPackage(const std::string& path, int codePage, bool json, std::ostream& out,
                std::ostream& errors);

// Reads everything and checks what the reader accepts but a sound package
// never holds. Returns 0 and prints one line when all is well, else 1 and
// every reason found. With `json` the line is the document of ListPackage
// with the reasons as its "faults".
int VerifyPackage(const std::string& path, int codePage, bool json, std::ostream& out,
                  std::ostream& errors);

}  // namespace packer

#endif
