// The execution level that a Windows program's manifest (its first
// RT_MANIFEST resource, pe/resource_lookup.h) asks for, read and rewritten
// without calling Windows: what tells a per-user package's setup program
// and uninstaller from a machine package's (base/execution_level.h).
#ifndef VANTOREL_PACKER_PROGRAM_MANIFEST_H
#define VANTOREL_PACKER_PROGRAM_MANIFEST_H

#include "package/package_file.h"
#include "packer/byte_writer.h"
#include "packer/problem.h"

namespace packer {

// Whether the program's manifest asks Windows to run it as the user who
// starts it. A program without a manifest does not.
bool RunsAsInvoker(PackageFile& image);
bool RunsAsInvoker(const Bytes& image);

// Makes the manifest of `image` ask to run as the invoking user instead of
// an administrator: the level's text is replaced where it is, padded with
// blanks to the same length, so that no other byte of the image moves. The
// Problem's message (without entry) says why not: the program has no
// manifest that asks for an administrator, or is signed (which the change
// would break: sign the setup file vtpack writes).
Check AskToRunAsInvoker(Bytes& image);

}  // namespace packer

#endif
