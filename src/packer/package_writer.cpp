#include "packer/package_writer.h"

#include <cassert>

#include "packer/date_image.h"

namespace packer {
namespace {

void WriteHeader(ByteWriter& out, const PackageParts& contents) {
  const std::size_t start = out.size();
  const Application& app = contents.settings.application;
  const SetupOptions& options = contents.settings.options;
  out.Field(app.name, layout::kTextFieldSize);
  out.Field(app.version, layout::kTextFieldSize);
  assert(out.size() - start == layout::kShowDestinationPageOffset);
  out.U8(options.showDestinationPage);
  out.U8(options.showShortcutsPage);
  out.U8(contents.licenceText.has_value());
  out.U8(options.showWelcomePage);
  out.U8(options.runProgramAtEnd);
  out.U8(options.checkProgramNotRunning);
  assert(out.size() - start == layout::kProgramWindowClassOffset);
  out.Field(app.windowClass, layout::kTextFieldSize);
  assert(out.size() - start == layout::kProgramFileNameOffset);
  out.Field(app.programFile, layout::kTextFieldSize);
  assert(out.size() - start == layout::kHeaderSize);
  static_cast<void>(start);
}

// StoredBlock: CompressedSize, UncompressedSize, then the stream, or the data
// itself with CompressedSize 0 where the block may be stored.
void WriteStoredBlock(ByteWriter& out, const Bytes& data, Compression level, bool storedAllowed) {
  BlockContent content = MakeBlockContent(data, level, storedAllowed);
  out.U32(content.stored ? 0 : static_cast<std::uint32_t>(content.stream.size()));
  out.U32(static_cast<std::uint32_t>(data.size()));
  out.Raw(content.stream);
}

void WriteFileRecord(ByteWriter& out, const PackedFile& file) {
  out.U32(file.size);
  out.Text(file.fileName);
  out.U32(file.placement.destination);
  out.Text(file.placement.subDirectory);
  WriteDateTimeImage(out, file.modified);
  if (file.version) {
    out.U32(layout::kHasVersionPresent);
    out.U16(file.version->major);
    out.U16(file.version->minor);
    out.U16(file.version->build);
    out.U16(file.version->revision);
  } else {
    out.U32(0);
  }
  out.U32(file.placement.replaceIfInUse);
  out.U32(file.placement.selfRegister);
  out.U32(file.placement.sharedDll);
}

void WriteRegistrySection(ByteWriter& out, const std::vector<RegistryKey>& keys) {
  out.U32(static_cast<std::uint32_t>(keys.size()));
  for (const RegistryKey& key : keys) {
    out.Text(key.path);
    out.U32(static_cast<std::uint32_t>(key.values.size()));
    for (const RegistryValue& value : key.values) {
      out.U32(value.type);
      out.Text(value.text);
    }
  }
}

void WriteAssociations(ByteWriter& out, const std::vector<Association>& associations) {
  out.U32(static_cast<std::uint32_t>(associations.size()));
  for (const Association& a : associations) {
    out.Text(a.extension);
    out.Text(a.typeName);
    out.Text(a.description);
    out.Text(a.program);
    out.Text(a.icon);
    out.I32(a.iconIndex);
  }
}

}  // namespace

std::vector<Bytes> WritePackagePieces(PackageParts&& contents, Compression level, BuildProgress* progress) {
  std::vector<Bytes> pieces;
  ByteWriter out;
  WriteHeader(out, contents);
  if (contents.licenceText) {
    Bytes text(contents.licenceText->begin(), contents.licenceText->end());
    text.push_back(0);
    WriteStoredBlock(out, text, level, true);
  }
  WriteStoredBlock(out, contents.uninstaller, level, false);  // D1
  out.I32(static_cast<std::int32_t>(contents.files.size()));  // D2
  for (const PackedFile& file : contents.files) WriteFileRecord(out, file);
  if (!contents.files.empty()) {  // D3
    const auto size = static_cast<std::uint32_t>(contents.fileData.size());
    BlockContent block = MakeStorableBlock(std::move(contents.fileData), level);
    if (progress) progress->Compressed(size);
    out.U32(block.stored ? 0 : static_cast<std::uint32_t>(block.stream.size()));
    out.U32(size);
    pieces.push_back(out.Take());
    pieces.push_back(std::move(block.stream));
    out = ByteWriter();
  }
  for (const auto& section : contents.settings.registry) WriteRegistrySection(out, section);  // D4-D7
  WriteAssociations(out, contents.settings.associations);  // D8
  pieces.push_back(out.Take());
  return pieces;
}

Bytes WritePackage(const PackageParts& contents, Compression level) {
  PackageParts copy = contents;
  Bytes package;
  for (const Bytes& piece : WritePackagePieces(std::move(copy), level))
    package.insert(package.end(), piece.begin(), piece.end());
  return package;
}

void AppendTrailer(Bytes& package, std::uint32_t packageOffset) {
  ByteWriter trailer;
  trailer.U32(packageOffset);
  package.insert(package.end(), trailer.bytes().begin(), trailer.bytes().end());
}

}  // namespace packer
