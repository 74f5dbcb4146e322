#include "package/block_reader.h"

namespace {

// Compressed bytes are read in pieces of this size: small enough that the
// setup program's file loop gets going at once, large enough to cost few
// reads.
const uint32_t kCompressedPiece = 128 * 1024;

uint32_t Smaller(uint64_t a, uint32_t b) { return a < b ? static_cast<uint32_t>(a) : b; }

}  // namespace

BlockReader::~BlockReader() {
  if (inflaterReady_) inflateEnd(&inflater_);
}

bool BlockReader::Begin(PackageInput& input) {
  StoredBlock block;
  if (!ReadBlockSizes(input, &block)) return false;
  bool compressed = block.CompressedSize != 0;
  uint32_t capacity = 0;
  return CheckBlockSizes(input, block, compressed, &capacity, UINT32_MAX) &&
         Start(input, block, compressed, capacity);
}

bool BlockReader::Start(PackageInput& input, const StoredBlock& block, bool compressed,
                        uint32_t capacity) {
  input_ = &input;
  block_ = block;
  compressed_ = compressed;
  capacity_ = capacity;
  if (!compressed) return true;
  if (!chunk_.Allocate(kCompressedPiece)) {
    ReportOutOfMemory(input);
    return false;
  }
  unread_ = block_.CompressedSize;
  // inflate wants an output pointer even for no room.
  inflater_.next_out = chunk_.Data();
  inflaterReady_ = inflateInit(&inflater_) == Z_OK;
  broken_ = !inflaterReady_;
  return true;
}

// Its reads show nothing: Step may run on a thread of its own, and a
// failure is the caller's to report. Begin has checked that the block lies
// before the trailer.
BlockReader::Outcome BlockReader::Step(BlockRoom& room) {
  return Compressed() ? StepInflate(room) : StepStored(room);
}

BlockReader::Outcome BlockReader::StepStored(BlockRoom& room) {
  if (copied_ >= block_.UncompressedSize) return kSucceeded;
  uint32_t size = 0;
  unsigned char* bytes = room.Room(copied_, &size);
  if (bytes == nullptr) return kNoRoom;
  uint32_t take = Smaller(block_.UncompressedSize - copied_, size);
  if (!input_->file->Read(bytes, take)) return kReadFailed;
  copied_ += take;
  return kRunning;
}

BlockReader::Outcome BlockReader::StepInflate(BlockRoom& room) {
  z_stream& stream = inflater_;
  if (stream.avail_in == 0) {
    if (unread_ == 0) return ended_ && !broken_ ? kSucceeded : kUncompressFailed;
    uint32_t take = Smaller(unread_, kCompressedPiece);
    if (!input_->file->Read(chunk_.Data(), take)) return kReadFailed;
    unread_ -= take;
    stream.next_in = chunk_.Data();
    stream.avail_in = take;
  }
  if (ended_ || broken_) {
    stream.avail_in = 0;  // read, never inflated
    return kRunning;
  }
  uint32_t left = capacity_ - static_cast<uint32_t>(stream.total_out);
  if (stream.avail_out == 0 && left > 0) {
    uint32_t size = 0;
    unsigned char* bytes = room.Room(static_cast<uint32_t>(stream.total_out), &size);
    if (bytes == nullptr) return kNoRoom;
    stream.next_out = bytes;
    stream.avail_out = Smaller(left, size);
  }
  // Z_BUF_ERROR: no room is left, the stream needs more than the block's
  // UncompressedSize.
  int result = inflate(&stream, Z_NO_FLUSH);
  ended_ = result == Z_STREAM_END;
  broken_ = result != Z_OK && !ended_;
  return kRunning;
}

void ReportBlockFailure(const PackageInput& input, BlockReader::Outcome outcome) {
  if (outcome == BlockReader::kReadFailed) {
    ReportReadFailure(input);
  } else if (outcome == BlockReader::kNoRoom) {
    ReportOutOfMemory(input);
  } else if (outcome == BlockReader::kUncompressFailed) {
    ReportUncompressFailure(input);
  }
}
