// Writes a setup file: the setup program's image, the package (header,
// licence block, data block D1 to D8) and the trailer that points at it.
// The file data is read from the files and compressed as it is written, a
// bounded piece at a time, so vtpack's memory does not depend on how much
// the package holds; the pieces are compressed on worker threads
// (stream_compressor.h).
#ifndef VANTOREL_PACKER_PACKAGE_WRITER_H
#define VANTOREL_PACKER_PACKAGE_WRITER_H

#include "packer/compression/compression.h"
#include "packer/output_sink.h"
#include "packer/progress.h"
#include "packer/setup_file/package_parts.h"

namespace packer {

// Writes the whole setup file into `out`, which is empty: `programImage`,
// the package and the trailer, a multiple of 8 bytes in all (Authenticode
// signing then pads nothing behind the trailer). A compressed stream is
// brought to that length by its own empty blocks; stored data, or no file
// data, by zeros between the image and the package. The file
// data block is a stream, or stored when the stream is no smaller; then
// the files are read a second time. Each file is read with the size it had
// when it was gathered: one that is shorter now is refused. The contents
// must have passed the gathering checks: texts fit their fields and hold
// no NUL, and every size fits 32 bits. Problems of an input name its entry;
// those of the output have none. `progress`, when given, is told of every
// file read (the bytes written it learns from `out`, see ProgressSink).
// `jobs` threads compress (0: one per processor available); the bytes
// written do not depend on their number.
Result<std::uint64_t> WriteSetupFile(const Bytes& programImage, const PackageParts& contents,
                                     Compression level, OutputSink& out,
                                     BuildProgress* progress = nullptr, unsigned jobs = 0);

// The setup file's bytes after the program image: the package and the trailer
// that points at its start.
void AppendTrailer(Bytes& package, std::uint32_t packageOffset);

}  // namespace packer

#endif
