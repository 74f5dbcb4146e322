// Start-up's reading of the package: trailer, header and licence from the
// setup program's own file, and what follows from them.
#ifndef VANTOREL_SETUP_PROGRAM_LOAD_PACKAGE_HEADER_H
#define VANTOREL_SETUP_PROGRAM_LOAD_PACKAGE_HEADER_H

// Fills InstallSettings' Header, PackageOffset (now the data block's
// offset), LicenceText, TitleText, SetupCaption and the default
// DestinationDir. False after the failure's message has been shown.
bool LoadPackageHeader();

#endif
