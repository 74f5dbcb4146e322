// A whole package read front to back as the setup program reads it: the
// trailer, the header, the licence, then the data block D1 to D8. vtpack's
// list and verify and the reader's fuzz target use it; the setup program
// calls the same steps one by one between its own work.
#ifndef VANTOREL_PACKAGE_WHOLE_PACKAGE_H
#define VANTOREL_PACKAGE_WHOLE_PACKAGE_H

#include <stdint.h>

#include "base/shared_string.h"
#include "package/association_section.h"
#include "package/file_table.h"
#include "package/package_header.h"
#include "package/package_input.h"
#include "package/registry_section.h"
#include "package/stored_block.h"

struct PackageContents {
  uint32_t HeaderOffset = 0;   // from the trailer
  uint64_t TrailerOffset = 0;  // where the trailer starts
  bool Signed = false;         // the setup file carries an Authenticode signature
  PackageHeader Header = {};
  SharedString LicenceText;  // empty without a licence block
  uint64_t DataOffset = 0;   // where the data block starts
  BlockBuffer Uninstaller;
  FileTable Files;
  uint64_t FileDataLength = 0;  // the bytes the file data produced; 0 without files
  uint64_t EndOffset = 0;       // after D8; a sound package has its trailer here
};

// The licence block at the current position, as its text.
bool ReadLicence(PackageInput& input, SharedString* text);

// Reads everything into `contents` (which must be fresh), handing the file
// data, registry records and associations to the sinks. False after the
// first failure's message.
bool ReadWholePackage(PackageInput& input, PackageContents* contents, RegistryRecordSink& registry,
                      AssociationSink& associations, FileDataSink& files);

#endif
