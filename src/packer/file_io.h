// Whole-file input and all-or-nothing output for vtpack.
#ifndef VANTOREL_PACKER_FILE_IO_H
#define VANTOREL_PACKER_FILE_IO_H

#include <string>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/problem.h"

namespace packer {

// The message of a failure is the system's reason ("No such file or directory").
Result<Bytes> ReadFileBytes(const std::string& path);

// Writes the parts into a temporary file beside `path` and renames it over
// `path` only when everything was written: a failure never leaves a partial
// file under the final name, nor the temporary one.
Check WriteFileAtomically(const std::string& path, const std::vector<const Bytes*>& parts);

// "dir/file" unless `path` is absolute.
std::string ResolvePath(const std::string& directory, const std::string& path);

}  // namespace packer

#endif
