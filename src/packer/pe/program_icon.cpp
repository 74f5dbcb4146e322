#include "packer/pe/program_icon.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/little_endian.h"
#include "package/memory_package_file.h"
#include "package/program_image.h"
#include "packer/pe/resource_lookup.h"

namespace packer {
namespace {

// Optional header fields, at the same offsets in PE32 and PE32+.
constexpr std::size_t kEntryPointOffset = 16;
constexpr std::size_t kInitializedDataOffset = 8;
constexpr std::size_t kSectionAlignmentOffset = 32;
constexpr std::size_t kFileAlignmentOffset = 36;
constexpr std::size_t kSizeOfImageOffset = 56;
constexpr std::size_t kLastFieldUsed = kSizeOfHeadersOffset + 4;
// The file header's PointerToSymbolTable, counted back from the optional
// header that follows the file header.
constexpr std::size_t kSymbolTableBeforeOptional = kFileHeaderSize - kSymbolTableOffset;
constexpr std::uint32_t kInitializedData = 0x40;  // IMAGE_SCN_CNT_INITIALIZED_DATA
// The layout of an icon group (GRPICONDIR): reserved, type, count, then 14
// bytes per image whose last two are its RT_ICON id.
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
// Bounds on what a resource directory may hold here: a setup program has a
// few dozen resources in three levels.
constexpr int kMostDepth = 3;
constexpr std::size_t kMostEntries = 4096;

void StoreU16(Bytes& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}
void StoreU32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
  StoreU16(bytes, offset, static_cast<std::uint16_t>(value));
  StoreU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}
std::uint64_t Align(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

struct Section {
  std::size_t header = 0;  // file offset of its 40-byte header
  PeSection fields;
  std::uint32_t characteristics = 0;
  std::uint64_t VirtualSpan(std::uint64_t alignment) const {
    return Align(std::max(fields.virtualSize, fields.rawSize), alignment);
  }
};

// One node of the resource tree: a directory (type, name or language
// level) or, at the bottom, a resource's bytes.
struct ResourceNode {
  bool named = false;
  std::uint32_t id = 0;
  std::u16string name;
  bool leaf = false;
  std::uint32_t characteristics = 0, timeDateStamp = 0;
  std::uint16_t majorVersion = 0, minorVersion = 0;
  std::vector<ResourceNode> children;
  Bytes data;
  std::uint32_t codePage = 0;
};

Problem Refuse(const std::string& reason) { return Problem{"", reason}; }

class ImageReader {
 public:
  ImageReader(const Bytes& image, const std::vector<Section>& sections)
      : image_(image), sections_(sections) {}

  // The file offset of `size` bytes at `rva`, inside one section's raw data.
  bool FileOffset(std::uint64_t rva, std::uint64_t size, std::uint64_t* offset) const {
    for (const Section& s : sections_) {
      const PeSection& f = s.fields;
      if (rva < f.virtualAddress || rva - f.virtualAddress + size > f.rawSize) continue;
      *offset = f.rawOffset + (rva - f.virtualAddress);
      return *offset + size <= image_.size();
    }
    return false;
  }

  // The resource tree whose root directory lies at `root` (a file offset)
  // and whose offsets count from there; `limit` bytes belong to it.
  Result<ResourceNode> ReadTree(std::uint64_t root, std::uint64_t limit) {
    root_ = root;
    limit_ = limit;
    ResourceNode node;
    if (!ReadDirectory(0, 0, node)) return Refuse("its resources are damaged");
    return node;
  }

 private:
  bool In(std::uint64_t offset, std::uint64_t size) const {
    return offset <= limit_ && size <= limit_ - offset && root_ + offset + size <= image_.size();
  }
  const std::uint8_t* At(std::uint64_t offset) const { return image_.data() + root_ + offset; }

  bool ReadName(std::uint32_t field, ResourceNode& node) {
    if (!(field & kResourceSubdirectoryFlag)) {
      node.id = field;
      return true;
    }
    std::uint64_t offset = field & ~kResourceSubdirectoryFlag;
    if (!In(offset, 2)) return false;
    std::uint16_t length = LoadU16(At(offset));
    if (!In(offset + 2, 2ull * length)) return false;
    node.named = true;
    for (std::uint16_t i = 0; i < length; ++i)
      node.name += static_cast<char16_t>(LoadU16(At(offset + 2 + 2ull * i)));
    return true;
  }

  bool ReadDirectory(std::uint64_t offset, int depth, ResourceNode& node) {
    if (depth > kMostDepth || !In(offset, 16)) return false;
    const std::uint8_t* table = At(offset);
    node.characteristics = LoadU32(table);
    node.timeDateStamp = LoadU32(table + 4);
    node.majorVersion = LoadU16(table + 8);
    node.minorVersion = LoadU16(table + 10);
    std::size_t count = static_cast<std::size_t>(LoadU16(table + 12)) + LoadU16(table + 14);
    entries_ += count;
    if (entries_ > kMostEntries || !In(offset + 16, 8ull * count)) return false;
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t* entry = At(offset + 16 + 8 * i);
      ResourceNode child;
      if (!ReadName(LoadU32(entry), child)) return false;
      std::uint32_t target = LoadU32(entry + 4);
      bool ok = (target & kResourceSubdirectoryFlag)
                    ? ReadDirectory(target & ~kResourceSubdirectoryFlag, depth + 1, child)
                    : ReadData(target, child);
      if (!ok) return false;
      node.children.push_back(std::move(child));
    }
    return true;
  }

  bool ReadData(std::uint64_t offset, ResourceNode& node) {
    if (!In(offset, 16)) return false;
    const std::uint8_t* entry = At(offset);
    std::uint64_t file = 0, size = LoadU32(entry + 4);
    if (!FileOffset(LoadU32(entry), size, &file)) return false;
    node.leaf = true;
    node.data.assign(image_.begin() + static_cast<long>(file),
                     image_.begin() + static_cast<long>(file + size));
    node.codePage = LoadU32(entry + 8);
    return true;
  }

  const Bytes& image_;
  const std::vector<Section>& sections_;
  std::uint64_t root_ = 0, limit_ = 0;
  std::size_t entries_ = 0;
};

ResourceNode* FindId(ResourceNode& directory, std::uint32_t id) {
  for (ResourceNode& child : directory.children)
    if (!child.named && child.id == id) return &child;
  return nullptr;
}

// The RT_ICON ids an icon group's data names.
std::vector<std::uint16_t> GroupIconIds(const Bytes& group) {
  std::vector<std::uint16_t> ids;
  if (group.size() < kGroupHeaderSize) return ids;
  std::size_t count = LoadU16(group.data() + 4);
  for (std::size_t i = 0; i < count && kGroupHeaderSize + kGroupEntrySize * (i + 1) <= group.size();
       ++i)
    ids.push_back(LoadU16(group.data() + kGroupHeaderSize + kGroupEntrySize * i + 12));
  return ids;
}

// The RT_ICON ids that the first group names and no other group does.
std::set<std::uint16_t> StaleImageIds(const ResourceNode& groups) {
  std::set<std::uint16_t> stale, kept;
  for (const ResourceNode& language : groups.children[0].children)
    for (std::uint16_t id : GroupIconIds(language.data)) stale.insert(id);
  for (std::size_t g = 1; g < groups.children.size(); ++g)
    for (const ResourceNode& language : groups.children[g].children)
      for (std::uint16_t id : GroupIconIds(language.data)) kept.insert(id);
  for (std::uint16_t id : kept) stale.erase(id);
  return stale;
}

// Adds `icon`'s images to the RT_ICON directory `list` under ids not `used`
// yet, in the language and code page of `group`'s first entry; returns the
// group data naming them.
Bytes AddIconImages(const IconFile& icon, const ResourceNode& group, std::set<std::uint32_t>& used,
                    std::vector<ResourceNode>& list) {
  const ResourceNode& model = group.children[0];  // its language and code page
  ByteWriter groupData;
  groupData.U16(0);
  groupData.U16(1);
  groupData.U16(static_cast<std::uint16_t>(icon.images.size()));
  std::uint32_t next = 1;
  for (const IconImage& image : icon.images) {
    while (used.count(next)) ++next;
    used.insert(next);
    groupData.U8(image.width);
    groupData.U8(image.height);
    groupData.U8(image.colourCount);
    groupData.U8(0);
    groupData.U16(image.planes);
    groupData.U16(image.bitCount);
    groupData.U32(static_cast<std::uint32_t>(image.data.size()));
    groupData.U16(static_cast<std::uint16_t>(next));
    ResourceNode language;
    language.id = model.id;
    language.leaf = true;
    language.data = image.data;
    language.codePage = model.codePage;
    ResourceNode name;
    name.id = next;
    name.characteristics = group.characteristics;
    name.timeDateStamp = group.timeDateStamp;
    name.children.push_back(std::move(language));
    list.push_back(std::move(name));
  }
  return groupData.bytes();
}

// Puts `icon` in place of the tree's first icon group, its images in place
// of that group's images (those that another group also names stay).
Check ReplaceFirstGroup(ResourceNode& root, const IconFile& icon) {
  ResourceNode* groups = FindId(root, kIconGroupResource);
  if (groups == nullptr || groups->leaf || groups->children.empty() || groups->children[0].leaf ||
      groups->children[0].children.empty() || !groups->children[0].children[0].leaf)
    return Refuse("has no icon of its own to replace");
  ResourceNode* images = FindId(root, kIconResource);
  if (images == nullptr || images->leaf) return Refuse("has no icon images to replace");
  ResourceNode& group = groups->children[0];
  const std::set<std::uint16_t> stale = StaleImageIds(*groups);
  auto& list = images->children;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const ResourceNode& n) { return !n.named && stale.count(n.id); }),
             list.end());
  std::set<std::uint32_t> used;
  for (const ResourceNode& n : list)
    if (!n.named) used.insert(n.id);
  if (used.size() + icon.images.size() > 0xFFFF) return Refuse("has too many icon images");
  Bytes groupData = AddIconImages(icon, group, used, list);
  // Named entries first, then ids in ascending order, as the loader's
  // binary search expects.
  std::stable_sort(list.begin(), list.end(), [](const ResourceNode& a, const ResourceNode& b) {
    if (a.named != b.named) return a.named;
    return !a.named && a.id < b.id;
  });
  for (ResourceNode& language : group.children) language.data = groupData;
  return std::nullopt;
}

// Writes a resource tree for the section at `rva`: the directory tables
// (breadth first), the names, the data entries, then the data, each
// resource at a multiple of 8.
class TreeWriter {
 public:
  Bytes Write(const ResourceNode& root, std::uint32_t rva) {
    LayOut(root);
    for (std::size_t i = 0; i < directories_.size(); ++i) WriteTable(i, rva);
    return std::move(out_);
  }

 private:
  // Where each table, name, data entry and resource goes; `out_` sized.
  void LayOut(const ResourceNode& root) {
    directories_.push_back(&root);
    for (std::size_t i = 0; i < directories_.size(); ++i)
      for (const ResourceNode& child : directories_[i]->children)
        if (!child.leaf) directories_.push_back(&child);
    std::uint64_t at = 0;
    for (const ResourceNode* d : directories_) {
      tableAt_.push_back(at);
      at += 16 + 8 * d->children.size();
    }
    std::size_t leaves = 0;
    for (const ResourceNode* d : directories_)
      for (const ResourceNode& child : d->children) {
        if (child.named) {
          nameAt_.push_back(at);
          at += 2 + 2 * child.name.size();
        }
        if (child.leaf) ++leaves;
      }
    at = Align(at, 4);
    entriesAt_ = at;
    at += 16 * leaves;
    for (const ResourceNode* d : directories_)
      for (const ResourceNode& child : d->children) {
        if (!child.leaf) continue;
        at = Align(at, 8);
        dataAt_.push_back(at);
        at += child.data.size();
      }
    out_.assign(at, 0);
  }

  void WriteTable(std::size_t index, std::uint32_t rva) {
    const ResourceNode& d = *directories_[index];
    std::size_t table = tableAt_[index];
    StoreU32(out_, table, d.characteristics);
    StoreU32(out_, table + 4, d.timeDateStamp);
    StoreU16(out_, table + 8, d.majorVersion);
    StoreU16(out_, table + 10, d.minorVersion);
    std::uint16_t named = 0;
    for (const ResourceNode& child : d.children)
      named = static_cast<std::uint16_t>(named + child.named);
    StoreU16(out_, table + 12, named);
    StoreU16(out_, table + 14, static_cast<std::uint16_t>(d.children.size() - named));
    for (std::size_t c = 0; c < d.children.size(); ++c)
      WriteEntry(d.children[c], table + 16 + 8 * c, rva);
  }

  // A directory entry at `entry`: its name or id, then its data entry (with
  // the resource's bytes) or its subdirectory.
  void WriteEntry(const ResourceNode& child, std::size_t entry, std::uint32_t rva) {
    if (child.named) {
      std::uint64_t name = nameAt_[nextName_++];
      StoreU32(out_, entry, kResourceSubdirectoryFlag | static_cast<std::uint32_t>(name));
      StoreU16(out_, name, static_cast<std::uint16_t>(child.name.size()));
      for (std::size_t k = 0; k < child.name.size(); ++k)
        StoreU16(out_, name + 2 + 2 * k, static_cast<std::uint16_t>(child.name[k]));
    } else {
      StoreU32(out_, entry, child.id);
    }
    if (child.leaf) {
      std::size_t n = nextLeaf_++;
      std::uint64_t dataEntry = entriesAt_ + 16 * n;
      StoreU32(out_, entry + 4, static_cast<std::uint32_t>(dataEntry));
      StoreU32(out_, dataEntry, static_cast<std::uint32_t>(rva + dataAt_[n]));
      StoreU32(out_, dataEntry + 4, static_cast<std::uint32_t>(child.data.size()));
      StoreU32(out_, dataEntry + 8, child.codePage);
      std::copy(child.data.begin(), child.data.end(), out_.begin() + static_cast<long>(dataAt_[n]));
    } else {
      StoreU32(out_, entry + 4,
               kResourceSubdirectoryFlag | static_cast<std::uint32_t>(tableAt_[nextTable_++]));
    }
  }

  std::vector<const ResourceNode*> directories_;
  std::vector<std::uint64_t> tableAt_, nameAt_, dataAt_;
  std::uint64_t entriesAt_ = 0;
  std::size_t nextTable_ = 1, nextName_ = 0, nextLeaf_ = 0;
  Bytes out_;
};

struct PeLayout {
  PeHeaders headers;
  std::vector<Section> sections;
  std::uint32_t sectionAlignment = 0, fileAlignment = 0;
  std::uint64_t imageEnd = 0;  // after the headers and every section's raw data
};

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

Result<PeLayout> ReadLayout(const Bytes& image) {
  MemoryPackageFile file(image.data(), image.size());
  PeLayout layout;
  if (!ReadPeHeaders(file, &layout.headers) || layout.headers.directories == 0 ||
      layout.headers.optionalSize < kLastFieldUsed ||
      layout.headers.optionalHeader + layout.headers.optionalSize > image.size())
    return Refuse("is not a Windows program whose headers can be read");
  const std::uint8_t* optional = image.data() + layout.headers.optionalHeader;
  layout.sectionAlignment = LoadU32(optional + kSectionAlignmentOffset);
  layout.fileAlignment = LoadU32(optional + kFileAlignmentOffset);
  if (!IsPowerOfTwo(layout.sectionAlignment) || !IsPowerOfTwo(layout.fileAlignment))
    return Refuse("has section or file alignments that are not powers of two");
  layout.imageEnd = LoadU32(optional + kSizeOfHeadersOffset);
  for (std::uint32_t i = 0; i < layout.headers.sectionCount; ++i) {
    Section section;
    section.header = layout.headers.sectionTable + kSectionHeaderSize * i;
    if (!ReadPeSection(file, layout.headers, i, &section.fields))
      return Refuse("is not a Windows program whose headers can be read");
    section.characteristics =
        LoadU32(image.data() + section.header + kSectionCharacteristicsOffset);
    layout.imageEnd = std::max<std::uint64_t>(
        layout.imageEnd, std::uint64_t{section.fields.rawOffset} + section.fields.rawSize);
    layout.sections.push_back(section);
  }
  if (layout.imageEnd > image.size())
    return Refuse("is cut short: its sections lie beyond its end");
  return layout;
}

bool Directory(const Bytes& image, const PeLayout& layout, std::uint32_t index,
               std::uint32_t* address, std::uint32_t* size) {
  MemoryPackageFile file(image.data(), image.size());
  return ReadPeDirectory(file, layout.headers, index, address, size);
}

// The sections behind the resources move when the resources grow: only
// what nothing addresses but its data directory may be there (the base
// relocations, whose entries name pages in front of the resources).
Check CheckMovable(const Bytes& image, const PeLayout& layout, const Section& resources) {
  const std::uint32_t start = resources.fields.virtualAddress;
  const std::uint8_t* optional = image.data() + layout.headers.optionalHeader;
  if (LoadU32(optional + kEntryPointOffset) >= start)
    return Refuse("starts in or behind its resources, which would move");
  for (std::uint32_t index = 0; index < 16; ++index) {
    std::uint32_t address = 0, size = 0;
    if (!Directory(image, layout, index, &address, &size))
      return Refuse("has a damaged data directory");
    if (size == 0 || index == kResourceDirectory || index == kSecurityDirectory) continue;
    if (address < start) continue;
    if (index != kBaseRelocationDirectory)
      return Refuse("has data behind its resources (data directory " + std::to_string(index) +
                    ") that new resources would move");
  }
  std::uint32_t relocations = 0, size = 0;
  Directory(image, layout, kBaseRelocationDirectory, &relocations, &size);
  if (size == 0) return std::nullopt;
  ImageReader reader(image, layout.sections);
  std::uint64_t offset = 0;
  if ((relocations >= start &&
       relocations < start + resources.VirtualSpan(layout.sectionAlignment)) ||
      !reader.FileOffset(relocations, size, &offset))
    return Refuse("has its base relocations among its resources");
  for (std::uint64_t at = 0; at + 8 <= size;) {
    std::uint32_t page = LoadU32(image.data() + offset + at),
                  blockSize = LoadU32(image.data() + offset + at + 4);
    if (blockSize < 8 || blockSize > size - at) return Refuse("has damaged base relocations");
    if (page >= start) return Refuse("has base relocations in or behind its resources");
    at += blockSize;
  }
  return std::nullopt;
}

// The section holding the resources, by its index in the layout; a signed
// image is refused, as changing its resources would break its signature.
Result<std::size_t> FindResourceSection(const Bytes& image, const PeLayout& layout) {
  std::uint32_t resourceRva = 0, resourceSize = 0, certificates = 0, certificateSize = 0;
  if (!Directory(image, layout, kResourceDirectory, &resourceRva, &resourceSize) ||
      !Directory(image, layout, kSecurityDirectory, &certificates, &certificateSize))
    return Refuse("has a damaged data directory");
  if (certificateSize != 0)
    return Refuse(
        "is signed: changing its resources would break its signature; give the unsigned program "
        "and sign the setup file vtpack writes");
  auto holder = std::find_if(layout.sections.begin(), layout.sections.end(), [&](const Section& s) {
    return s.fields.virtualAddress == resourceRva;
  });
  if (resourceSize == 0 || holder == layout.sections.end() || holder->fields.rawSize == 0)
    return Refuse("has no resources of its own");
  return static_cast<std::size_t>(holder - layout.sections.begin());
}

// How the resource section of `oldRaw` bytes in the file, from `rawStart`
// to `rawEnd`, grows to `newRaw`, and how far what lies behind it moves.
struct Growth {
  std::size_t index = 0;  // the resource section's
  std::uint64_t written = 0, oldRaw = 0, newRaw = 0, rawStart = 0, rawEnd = 0;
  std::int64_t rawShift = 0;
  std::uint64_t addressShift = 0;
};

// The new resource section's place, checked: the sections behind it must
// lie behind it in the file too, and whatever moves must be movable.
Result<Growth> LayOutGrowth(const Bytes& image, const PeLayout& layout, std::size_t index,
                            std::uint64_t written) {
  const Section& resources = layout.sections[index];
  Growth g{index, written};
  // Linkers may leave the section's raw size unaligned; its bytes reach to
  // the next multiple of the file alignment all the same.
  g.oldRaw = std::min<std::uint64_t>(Align(resources.fields.rawSize, layout.fileAlignment),
                                     image.size() - resources.fields.rawOffset);
  g.newRaw = Align(written, layout.fileAlignment);
  const std::uint64_t oldSpan = resources.VirtualSpan(layout.sectionAlignment);
  const std::uint64_t newSpan = Align(written, layout.sectionAlignment);
  g.rawShift = static_cast<std::int64_t>(g.newRaw) - static_cast<std::int64_t>(g.oldRaw);
  g.addressShift = newSpan > oldSpan ? newSpan - oldSpan : 0;
  g.rawStart = resources.fields.rawOffset;
  g.rawEnd = g.rawStart + g.oldRaw;
  for (std::size_t i = 0; i < layout.sections.size(); ++i) {
    const PeSection& f = layout.sections[i].fields;
    if (i == index || f.rawSize == 0) continue;
    bool before = std::uint64_t{f.rawOffset} + f.rawSize <= g.rawStart,
         behind = f.rawOffset >= g.rawEnd;
    if (!(before || behind) || (behind != (f.virtualAddress > resources.fields.virtualAddress)))
      return Refuse("has sections whose order in the file differs from their order in memory");
  }
  if (g.addressShift > 0 || g.rawShift != 0) {
    if (auto problem = CheckMovable(image, layout, resources)) return *problem;
  }
  return g;
}

// The section table after the growth, written into `out`; returns the
// image's new end in memory.
std::uint64_t MoveSections(PeLayout& layout, const Growth& g, Bytes& out) {
  const std::uint32_t resourceRva = layout.sections[g.index].fields.virtualAddress;
  std::uint64_t sizeOfImage = 0;
  for (std::size_t i = 0; i < layout.sections.size(); ++i) {
    Section& s = layout.sections[i];
    if (i == g.index) {
      s.fields.virtualSize = static_cast<std::uint32_t>(g.written);
      s.fields.rawSize = static_cast<std::uint32_t>(g.newRaw);
    } else if (s.fields.virtualAddress > resourceRva) {
      s.fields.virtualAddress =
          static_cast<std::uint32_t>(s.fields.virtualAddress + g.addressShift);
      if (s.fields.rawSize != 0)
        s.fields.rawOffset = static_cast<std::uint32_t>(s.fields.rawOffset + g.rawShift);
    }
    StoreU32(out, s.header + kSectionVirtualSizeOffset, s.fields.virtualSize);
    StoreU32(out, s.header + kSectionVirtualAddressOffset, s.fields.virtualAddress);
    StoreU32(out, s.header + kSectionRawSizeOffset, s.fields.rawSize);
    StoreU32(out, s.header + kSectionRawOffsetOffset, s.fields.rawOffset);
    sizeOfImage = std::max<std::uint64_t>(sizeOfImage, s.fields.virtualAddress + s.VirtualSpan(1));
  }
  return sizeOfImage;
}

// The headers' sizes and addresses made to agree with the moved sections.
void UpdateHeaders(const Bytes& image, PeLayout& layout, const Growth& g, Bytes& out) {
  const Section resources = layout.sections[g.index];
  const std::uint32_t resourceRva = resources.fields.virtualAddress;
  const std::uint64_t sizeOfImage = MoveSections(layout, g, out);
  const std::size_t optional = layout.headers.optionalHeader;
  const std::size_t directories = optional + layout.headers.directories;
  StoreU32(out, directories + 8 * kResourceDirectory + 4, static_cast<std::uint32_t>(g.written));
  std::uint32_t relocations = 0, relocationSize = 0;
  Directory(image, layout, kBaseRelocationDirectory, &relocations, &relocationSize);
  if (relocationSize != 0 && relocations > resourceRva)
    StoreU32(out, directories + 8 * kBaseRelocationDirectory,
             static_cast<std::uint32_t>(relocations + g.addressShift));
  StoreU32(out, optional + kSizeOfImageOffset,
           static_cast<std::uint32_t>(Align(sizeOfImage, layout.sectionAlignment)));
  if (resources.characteristics & kInitializedData)
    StoreU32(out, optional + kInitializedDataOffset,
             static_cast<std::uint32_t>(LoadU32(image.data() + optional + kInitializedDataOffset) +
                                        g.rawShift));
  const std::size_t symbols = optional - kSymbolTableBeforeOptional;
  std::uint32_t symbolTable = LoadU32(image.data() + symbols);
  if (symbolTable >= g.rawEnd)
    StoreU32(out, symbols, static_cast<std::uint32_t>(symbolTable + g.rawShift));
}

// The image with its resource tree read, changed by `edit` and written
// anew.
Result<Bytes> RewriteResources(const Bytes& image,
                               const std::function<Check(ResourceNode& root)>& edit) {
  auto read = ReadLayout(image);
  if (!read.ok()) return read.problem();
  PeLayout& layout = read.value();
  auto index = FindResourceSection(image, layout);
  if (!index.ok()) return index.problem();
  const PeSection& resources = layout.sections[index.value()].fields;
  ImageReader reader(image, layout.sections);
  auto tree = reader.ReadTree(resources.rawOffset, resources.rawSize);
  if (!tree.ok()) return tree.problem();
  if (auto problem = edit(tree.value())) return *problem;
  Bytes written = TreeWriter().Write(tree.value(), resources.virtualAddress);
  auto growth = LayOutGrowth(image, layout, index.value(), written.size());
  if (!growth.ok()) return growth.problem();
  const Growth& g = growth.value();

  // The file: everything before the resources, the new resources, and
  // everything behind them (later sections, then whatever follows the image).
  Bytes out(image.begin(), image.begin() + static_cast<long>(g.rawStart));
  out.insert(out.end(), written.begin(), written.end());
  out.resize(g.rawStart + g.newRaw, 0);
  out.insert(out.end(), image.begin() + static_cast<long>(g.rawEnd), image.end());
  UpdateHeaders(image, layout, g, out);
  return out;
}

// The version resource in place of the tree's own, as type 16, name 1,
// language neutral (0).
Check PutVersion(ResourceNode& root, const Bytes& versionInfo) {
  ResourceNode* versions = FindId(root, kVersionResource);
  if (versions == nullptr) {
    ResourceNode type;
    type.id = kVersionResource;
    auto after =
        std::find_if(root.children.begin(), root.children.end(),
                     [](const ResourceNode& n) { return !n.named && n.id > kVersionResource; });
    versions = &*root.children.insert(after, std::move(type));
  }
  if (versions->leaf) return Refuse("has damaged resources");
  ResourceNode language;
  language.leaf = true;
  language.data = versionInfo;
  ResourceNode name;
  name.id = 1;
  name.children.push_back(std::move(language));
  versions->children.clear();
  versions->children.push_back(std::move(name));
  return std::nullopt;
}

}  // namespace

Result<Bytes> ReplaceProgramIcon(const Bytes& image, const IconFile& icon) {
  return RewriteResources(image, [&](ResourceNode& root) { return ReplaceFirstGroup(root, icon); });
}

Result<Bytes> PutVersionResource(const Bytes& image, const Bytes& versionInfo) {
  return RewriteResources(image, [&](ResourceNode& root) { return PutVersion(root, versionInfo); });
}

}  // namespace packer
