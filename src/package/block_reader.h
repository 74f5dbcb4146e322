// BlockReader: a stored block unpacked a little at a time into room its
// caller gives, so that the block is never held whole: the file data block
// (D3), which may hold all the file data the layout allows (4 GiB less a
// byte). The setup program's file loop (engine/file_data_stream.h) and
// vtpack's list and verify (ReadFileData) read it this way, and
// ReadStoredBlock inflates the other blocks with it into one buffer.
//
// The block is accepted as a single uncompress call would accept it: a
// stream only when it reaches its end, its check value included, within the
// block's capacity. The whole block is read in any case, so that a package
// cut short is a read failure (IDS_READ_FILE) even where its stream also
// broke, as when the block was read whole before it was inflated.
#ifndef VANTOREL_PACKAGE_BLOCK_READER_H
#define VANTOREL_PACKAGE_BLOCK_READER_H

#include <stdint.h>
#include <zlib.h>

#include "package/block_sizes.h"
#include "package/package_input.h"

// Where the bytes go: room for those from `start` on (at most `*size`
// bytes), or null when there is none (memory is short, or the caller
// stops).
class BlockRoom {
 public:
  virtual unsigned char* Room(uint32_t start, uint32_t* size) = 0;

 protected:
  ~BlockRoom() = default;
};

class BlockReader {
 public:
  enum Outcome { kRunning, kSucceeded, kReadFailed, kUncompressFailed, kNoRoom };

  BlockReader() = default;
  ~BlockReader();
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  // Reads the block's sizes at the current position and checks them
  // (IDS_READ_FILE, IDS_OUT_OF_MEMORY): as the bytes are never held whole,
  // the block may be as large as the layout allows. False after the
  // message.
  bool Begin(PackageInput& input);
  // The same for a block whose sizes were read and checked: at most
  // `capacity` bytes out. IDS_OUT_OF_MEMORY when the buffer for compressed
  // bytes cannot be had.
  bool Start(PackageInput& input, const StoredBlock& block, bool compressed, uint32_t capacity);
  bool Compressed() const { return compressed_; }

  // Unpacks a little more: one inflate call, after reading the next
  // compressed piece when the last is used up (a stored block: one read).
  // kRunning while the block has more.
  Outcome Step(BlockRoom& room);
  // Bytes produced so far (a block holds less than 4 GiB).
  uint32_t Produced() const {
    return Compressed() ? static_cast<uint32_t>(inflater_.total_out) : copied_;
  }

 private:
  Outcome StepStored(BlockRoom& room);
  Outcome StepInflate(BlockRoom& room);

  PackageInput* input_ = nullptr;
  StoredBlock block_ = {};
  bool compressed_ = false;
  uint32_t capacity_ = 0;  // the most bytes the block may produce
  BlockBuffer chunk_;      // compressed bytes on their way to the inflater
  uint32_t unread_ = 0;    // bytes of the block not read yet
  z_stream inflater_ = {};
  bool inflaterReady_ = false;
  bool ended_ = false;   // the stream reached its end, check value included
  bool broken_ = false;  // the stream is damaged, or needs more room
  uint32_t copied_ = 0;  // a stored block: bytes read so far
};

// Shows the message of an outcome other than kRunning and kSucceeded
// (kNoRoom: IDS_OUT_OF_MEMORY).
void ReportBlockFailure(const PackageInput& input, BlockReader::Outcome outcome);

#endif
