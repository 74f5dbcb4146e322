#include "packer/setup_file/package_writer.h"

#include <malloc.h>

#include <algorithm>
#include <cassert>

#include "packer/compression/stream_compressor.h"
#include "packer/compression/worker_pool.h"
#include "packer/file_io.h"
#include "packer/setup_file/date_image.h"

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
// itself with CompressedSize 0 where the block may be stored. A block larger
// than one piece is compressed in pieces on the workers.
Check WriteStoredBlock(ByteWriter& out, const Bytes& data, Compression level, bool storedAllowed,
                       WorkerPool& pool, const char* subject) {
  BlockContent content;
  if (SpansPieces(data.size(), level)) {
    auto append = [&content](const std::uint8_t* bytes, std::size_t size) {
      content.stream.insert(content.stream.end(), bytes, bytes + size);
      return Check{};
    };
    StreamCompressor stream(level, pool, append, subject);
    if (auto problem = stream.Add(data.data(), data.size())) return problem;
    if (auto problem = stream.Finish(0, 0, 1)) return problem;
    if (storedAllowed && content.stream.size() >= data.size()) content = BlockContent{true, data};
  } else {
    auto made = MakeBlockContent(data, level, storedAllowed);
    if (!made.ok()) return CompressionFailure(subject, made.problem().message);
    content = std::move(made.value());
  }
  out.U32(content.stored ? 0 : static_cast<std::uint32_t>(content.stream.size()));
  out.U32(static_cast<std::uint32_t>(data.size()));
  out.Raw(content.stream);
  return std::nullopt;
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

// Where the file data goes as it is read: room for the next bytes, then how
// many of them were read into it.
using DataRoom = std::function<Result<StreamCompressor::Room>()>;
using DataFilled = std::function<Check(std::size_t size)>;

// Reads every file's bytes in table order into the rooms `room` gives;
// `progress`, when given, is told of the bytes read.
Check ReadFileData(const PackageParts& contents, const DataRoom& room, const DataFilled& filled,
                   BuildProgress* progress) {
  for (const PackedFile& file : contents.files) {
    const EntryName& source = contents.sources.at(file.specIndex);
    auto cannotRead = [&](const std::string& why) {
      return Problem{source.entry, "\"" + file.source + "\" " + why, source.line};
    };
    auto input = InputFile::Open(file.source);
    if (!input.ok()) return cannotRead("cannot be read: " + input.problem().message);
    std::uint64_t left = file.size;
    while (left > 0) {
      auto space = room();
      if (!space.ok()) return space.problem();
      std::size_t wanted =
          static_cast<std::size_t>(std::min<std::uint64_t>(left, space.value().size));
      auto got = input.value().Read(space.value().data, wanted);
      if (!got.ok()) return cannotRead("cannot be read: " + got.problem().message);
      if (got.value() == 0)
        return cannotRead("is shorter than when vtpack found it: it changed while vtpack read it");
      if (auto problem = filled(got.value())) return problem;
      left -= got.value();
      if (progress) progress->Read(got.value(), left == 0);
    }
    if (progress && file.size == 0) progress->Read(0, true);
  }
  return std::nullopt;
}

Check Append(OutputSink& out, const Bytes& bytes) { return out.Append(bytes.data(), bytes.size()); }

// Buffers of 128 KiB and more are mapped from the system for each use and
// given back when freed. glibc otherwise raises that threshold whenever
// such a buffer is freed (gathering frees many), and the pieces and tables
// made after it come from its heap, where freed memory stays resident:
// 12 MB more with 100,000 files.
void ReturnLargeBuffersToTheSystem() {
#ifdef M_MMAP_THRESHOLD
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

// Sign-ready: Authenticode tools put the certificate table at a multiple
// of 8 and pad the file with zeros up to there.
constexpr std::uint64_t kSigningAlignment = 8;

// The package around the file data: `prefix` the header, the licence, D1
// and D2; `suffix` D4 to D8; `total` the file data's size.
struct PackageFrame {
  ByteWriter prefix, suffix;
  std::uint64_t total = 0;
};

Check FramePackage(const PackageParts& contents, Compression level, WorkerPool& pool,
                   PackageFrame& frame) {
  ByteWriter& prefix = frame.prefix;
  WriteHeader(prefix, contents);
  if (contents.licenceText) {
    Bytes text(contents.licenceText->begin(), contents.licenceText->end());
    text.push_back(0);
    if (auto problem = WriteStoredBlock(prefix, text, level, true, pool, "the licence"))
      return problem;
  }
  if (auto problem = WriteStoredBlock(prefix, contents.uninstaller, level, false, pool,
                                      "the uninstaller"))  // D1
    return problem;
  prefix.I32(static_cast<std::int32_t>(contents.files.size()));  // D2
  for (const PackedFile& file : contents.files) WriteFileRecord(prefix, file);
  for (const auto& section : contents.settings.registry)
    WriteRegistrySection(frame.suffix, section);
  WriteAssociations(frame.suffix, contents.settings.associations);
  for (const PackedFile& file : contents.files) frame.total += file.size;
  return std::nullopt;
}

// The file data as a stream, written as it is made; its sizes go in once it
// is complete. The stream's end makes the file's length right. False when
// the stream is no smaller than the data: `out` is then emptied again.
Result<bool> WriteCompressed(const Bytes& programImage, const PackageParts& contents,
                             const PackageFrame& frame, Compression level, WorkerPool& pool,
                             OutputSink& out, BuildProgress* progress) {
  if (auto problem = Append(out, programImage)) return *problem;
  if (auto problem = Append(out, frame.prefix.bytes())) return *problem;
  std::uint64_t sizesAt = out.Size();
  const std::uint8_t unknownSizes[layout::kStoredBlockFramingSize] = {};
  if (auto problem = out.Append(unknownSizes, sizeof unknownSizes)) return *problem;
  std::uint64_t streamStart = out.Size();
  StreamCompressor stream(level, pool, [&](const std::uint8_t* bytes, std::size_t size) {
    return out.Append(bytes, size);
  });
  // The files are read straight into the piece being filled, while the
  // workers compress those before it.
  auto room = [&]() -> Result<StreamCompressor::Room> { return stream.Space(); };
  auto filled = [&](std::size_t size) {
    stream.Filled(size);
    return Check{};
  };
  if (auto problem = ReadFileData(contents, room, filled, progress)) return *problem;
  if (auto problem =
          stream.Finish(streamStart, frame.suffix.size() + layout::kTrailerSize, kSigningAlignment))
    return *problem;
  if (stream.StreamSize() >= frame.total) {
    // Stored is smaller: the file is written again (the progress line has
    // counted its files already).
    if (auto problem = out.Truncate(0)) return *problem;
    return false;
  }
  ByteWriter sizes;
  sizes.U32(static_cast<std::uint32_t>(stream.StreamSize()));
  sizes.U32(static_cast<std::uint32_t>(frame.total));
  if (auto problem = out.WriteAt(sizesAt, sizes.bytes().data(), sizes.size())) return *problem;
  Bytes trailer;
  AppendTrailer(trailer, static_cast<std::uint32_t>(programImage.size()));
  if (auto problem = Append(out, frame.suffix.bytes())) return *problem;
  if (auto problem = Append(out, trailer)) return *problem;
  return true;
}

// The file data stored: every size is known, so zeros between the image
// and the package make the file's length a multiple of 8.
Check WriteStored(const Bytes& programImage, const PackageParts& contents,
                  const PackageFrame& frame, OutputSink& out, BuildProgress* progress) {
  const std::uint64_t total = frame.total;
  std::uint64_t size =
      programImage.size() + frame.prefix.size() + frame.suffix.size() + layout::kTrailerSize;
  if (!contents.files.empty()) size += layout::kStoredBlockFramingSize + total;
  Bytes padding((kSigningAlignment - size % kSigningAlignment) % kSigningAlignment, 0);
  Bytes trailer;
  AppendTrailer(trailer, static_cast<std::uint32_t>(programImage.size() + padding.size()));
  for (const Bytes* part :
       std::initializer_list<const Bytes*>{&programImage, &padding, &frame.prefix.bytes()}) {
    if (auto problem = Append(out, *part)) return problem;
  }
  if (!contents.files.empty()) {
    ByteWriter sizes;
    sizes.U32(0);
    sizes.U32(static_cast<std::uint32_t>(total));
    if (auto problem = Append(out, sizes.bytes())) return problem;
    Bytes buffer(1 << 20);
    auto room = [&]() -> Result<StreamCompressor::Room> {
      return StreamCompressor::Room{buffer.data(), buffer.size()};
    };
    auto copy = [&](std::size_t size) { return out.Append(buffer.data(), size); };
    if (auto problem = ReadFileData(contents, room, copy, total > 0 ? nullptr : progress))
      return problem;
  }
  for (const Bytes* part : std::initializer_list<const Bytes*>{&frame.suffix.bytes(), &trailer}) {
    if (auto problem = Append(out, *part)) return problem;
  }
  return std::nullopt;
}

}  // namespace

Result<std::uint64_t> WriteSetupFile(const Bytes& programImage, const PackageParts& contents,
                                     Compression level, OutputSink& out, BuildProgress* progress,
                                     unsigned jobs) {
  ReturnLargeBuffersToTheSystem();
  WorkerPool pool(jobs > 0 ? jobs : ProcessorsAvailable());
  PackageFrame frame;
  if (auto problem = FramePackage(contents, level, pool, frame)) return *problem;
  if (frame.total > 0) {
    auto written = WriteCompressed(programImage, contents, frame, level, pool, out, progress);
    if (!written.ok()) return written.problem();
    if (written.value()) return out.Size();
  }
  if (auto problem = WriteStored(programImage, contents, frame, out, progress)) return *problem;
  return out.Size();
}

void AppendTrailer(Bytes& package, std::uint32_t packageOffset) {
  ByteWriter trailer;
  trailer.U32(packageOffset);
  package.insert(package.end(), trailer.bytes().begin(), trailer.bytes().end());
}

}  // namespace packer
