// A version resource (VS_VERSIONINFO), written and read without calling
// Windows: the fixed part, one string table and the translation that names
// its language and code page. Explorer's file properties show its standard
// strings (ProductName, FileDescription, ...); other keys are any
// program's to read.
//
//   VS_VERSIONINFO  "VS_VERSION_INFO", VS_FIXEDFILEINFO
//     StringFileInfo
//       StringTable "LLLLCCCC" (language and code page, hexadecimal)
//         String    key, value (UTF-16, with its NUL)   ...
//     VarFileInfo
//       Var "Translation": language, code page (16 bits each)
// Every block is wLength, wValueLength, wType (1 text, 0 binary), its key
// in UTF-16 with its NUL, padding to 32 bits, its value, padding, then its
// children.
#ifndef VANTOREL_PACKER_PE_VERSION_INFO_H
#define VANTOREL_PACKER_PE_VERSION_INFO_H

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "packer/byte_writer.h"
#include "packer/pe/pe_version.h"

namespace packer {

struct VersionInfo {
  FileVersion fileVersion;  // the fixed part's file and product version
  std::uint16_t language = 0;
  std::uint16_t codePage = 0;
  std::vector<std::pair<std::string, std::string>> strings;  // UTF-8 keys and values, in order

  // The value of `key`; empty when there is none.
  std::string Find(const std::string& key) const;
};

// The resource's bytes.
Bytes WriteVersionInfo(const VersionInfo& info);

// What the resource's bytes hold, its first string table; nullopt when
// they are no VS_VERSIONINFO. Every length is checked against `data`.
std::optional<VersionInfo> ReadVersionInfo(const Bytes& data);

}  // namespace packer

#endif
