#include "packer/pe/version_info.h"

#include <cstdio>

#include "base/little_endian.h"

namespace packer {
namespace {

constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint32_t kFlagsMask = 0x3F;          // VS_FFI_FILEFLAGSMASK
constexpr std::uint32_t kOsWindowsNt = 0x00040004;  // VOS_NT_WINDOWS32
constexpr std::uint32_t kTypeApplication = 1;       // VFT_APP
constexpr std::uint16_t kText = 1, kBinary = 0;     // wType
constexpr std::size_t kBlockHeader = 6;             // wLength, wValueLength, wType

// Bytes that are no UTF-8 become U+FFFD.
std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < utf8.size();
    char32_t point = extra <= 0 ? c : c & (0x3Fu >> extra);
    for (int k = 1; valid && k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
      valid = (next & 0xC0) == 0x80;
      point = (point << 6) | (next & 0x3F);
    }
    i += valid ? static_cast<std::size_t>(extra) + 1 : 1;
    if (!valid) point = 0xFFFD;
    if (point >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(point);
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t point = text[i];
    bool pair = point >= 0xD800 && point < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] < 0xE000;
    if (pair)
      point = 0x10000 + ((point - 0xD800) << 10) + (text[++i] - 0xDC00);
    else if (point >= 0xD800 && point < 0xE000)
      point = 0xFFFD;
    AppendUtf8(out, point);
  }
  return out;
}

void Pad(ByteWriter& out) {
  while (out.size() % 4 != 0) out.U8(0);
}

// One block: header, key, value, children; its wLength set at the end.
// `valueLength` counts UTF-16 units for text, bytes for binary values.
void WriteBlock(ByteWriter& out, const std::u16string& key, std::uint16_t type, const Bytes& value,
                std::uint16_t valueLength, const Bytes& children) {
  ByteWriter block;
  block.U16(0);
  block.U16(valueLength);
  block.U16(type);
  for (char16_t unit : key) block.U16(static_cast<std::uint16_t>(unit));
  block.U16(0);
  Pad(block);
  block.Raw(value);
  if (!children.empty()) Pad(block);
  block.Raw(children);
  Bytes bytes = block.Take();
  bytes[0] = static_cast<std::uint8_t>(bytes.size());
  bytes[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
  Pad(out);
  out.Raw(bytes);
}

Bytes FixedPart(const FileVersion& v) {
  ByteWriter fixed;
  const std::uint32_t high = static_cast<std::uint32_t>(v.major) << 16 | v.minor;
  const std::uint32_t low = static_cast<std::uint32_t>(v.build) << 16 | v.revision;
  for (std::uint32_t field : {kFixedFileInfoSignature, kFixedStructVersion, high, low, high, low,
                              kFlagsMask, 0u, kOsWindowsNt, kTypeApplication, 0u, 0u, 0u})
    fixed.U32(field);
  return fixed.Take();
}

std::u16string TableKey(const VersionInfo& info) {
  char key[9];
  std::snprintf(key, sizeof key, "%04X%04X", info.language, info.codePage);
  return Utf16(key);
}

}  // namespace

std::string VersionInfo::Find(const std::string& key) const {
  for (const auto& [name, value] : strings)
    if (name == key) return value;
  return "";
}

Bytes WriteVersionInfo(const VersionInfo& info) {
  ByteWriter strings;
  for (const auto& [key, value] : info.strings) {
    ByteWriter text;
    const std::u16string units = Utf16(value);
    for (char16_t unit : units) text.U16(static_cast<std::uint16_t>(unit));
    text.U16(0);
    WriteBlock(strings, Utf16(key), kText, text.bytes(),
               static_cast<std::uint16_t>(units.size() + 1), {});
  }
  ByteWriter table, stringFileInfo, translation, varFileInfo, children, root;
  WriteBlock(table, TableKey(info), kText, {}, 0, strings.bytes());
  WriteBlock(stringFileInfo, u"StringFileInfo", kText, {}, 0, table.bytes());
  ByteWriter pair;
  pair.U16(info.language);
  pair.U16(info.codePage);
  WriteBlock(translation, u"Translation", kBinary, pair.bytes(), 4, {});
  WriteBlock(varFileInfo, u"VarFileInfo", kText, {}, 0, translation.bytes());
  children.Raw(stringFileInfo.bytes());
  Pad(children);
  children.Raw(varFileInfo.bytes());
  WriteBlock(root, u"VS_VERSION_INFO", kBinary, FixedPart(info.fileVersion), kFixedFileInfoSize,
             children.bytes());
  return root.Take();
}

namespace {

// One block of the resource, located and checked: [start, end) lies in
// the data, its key is read, and its value and children follow.
struct Block {
  std::size_t start = 0, end = 0;
  std::u16string key;
  std::size_t value = 0;     // offset of the value
  std::size_t children = 0;  // offset of the first child
  std::uint16_t valueLength = 0, type = 0;
};

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

std::optional<Block> ReadBlock(const Bytes& data, std::size_t start, std::size_t limit) {
  if (start + kBlockHeader > limit) return std::nullopt;
  Block block;
  block.start = start;
  block.end = start + LoadU16(data.data() + start);
  block.valueLength = LoadU16(data.data() + start + 2);
  block.type = LoadU16(data.data() + start + 4);
  if (block.end > limit || block.end < start + kBlockHeader) return std::nullopt;
  std::size_t at = start + kBlockHeader;
  for (;; at += 2) {
    if (at + 2 > block.end) return std::nullopt;
    char16_t unit = static_cast<char16_t>(LoadU16(data.data() + at));
    if (unit == 0) break;
    block.key += unit;
  }
  block.value = Align4(at + 2);
  std::size_t valueBytes = block.type == kText ? 2u * block.valueLength : block.valueLength;
  if (block.value + valueBytes > block.end) valueBytes = 0;
  block.children = Align4(block.value + valueBytes);
  return block;
}

// The blocks inside `parent`, in order.
std::vector<Block> Children(const Bytes& data, const Block& parent) {
  std::vector<Block> blocks;
  for (std::size_t at = parent.children; at < parent.end;) {
    auto block = ReadBlock(data, at, parent.end);
    if (!block) break;
    blocks.push_back(*block);
    at = Align4(block->end);
    if (block->end == block->start) break;
  }
  return blocks;
}

std::u16string TextValue(const Bytes& data, const Block& block) {
  std::u16string text;
  for (std::size_t at = block.value; at + 2 <= block.end; at += 2) {
    char16_t unit = static_cast<char16_t>(LoadU16(data.data() + at));
    if (unit == 0) break;
    text += unit;
  }
  return text;
}

void ReadStrings(const Bytes& data, const Block& stringFileInfo, VersionInfo& info) {
  std::vector<Block> tables = Children(data, stringFileInfo);
  if (tables.empty()) return;
  const std::string key = Utf8(tables[0].key);
  unsigned language = 0, codePage = 0;
  if (key.size() == 8 && std::sscanf(key.c_str(), "%4x%4x", &language, &codePage) == 2) {
    info.language = static_cast<std::uint16_t>(language);
    info.codePage = static_cast<std::uint16_t>(codePage);
  }
  for (const Block& string : Children(data, tables[0]))
    info.strings.emplace_back(Utf8(string.key), Utf8(TextValue(data, string)));
}

}  // namespace

std::optional<VersionInfo> ReadVersionInfo(const Bytes& data) {
  auto root = ReadBlock(data, 0, data.size());
  if (!root || root->key != u"VS_VERSION_INFO" || root->valueLength < kFixedFileInfoSize ||
      root->value + kFixedFileInfoSize > root->end ||
      LoadU32(data.data() + root->value) != kFixedFileInfoSignature)
    return std::nullopt;
  VersionInfo info;
  const std::uint32_t high = LoadU32(data.data() + root->value + 8);
  const std::uint32_t low = LoadU32(data.data() + root->value + 12);
  info.fileVersion = {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                      static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
  for (const Block& child : Children(data, *root))
    if (child.key == u"StringFileInfo") ReadStrings(data, child, info);
  return info;
}

}  // namespace packer
