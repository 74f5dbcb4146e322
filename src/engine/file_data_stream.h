// FileDataStream: the file data block (D3) unpacked on a worker thread while
// the file loop writes the files whose bytes are already there.
//
// The stream is checked to its end (zlib's check value) exactly as a single
// uncompress call would check it; only the waiting is shorter, since
// inflating and writing share the work between two processors. The file
// loop asks for a file's bytes before it opens the file:
// - a file that does not exist yet may be written as soon as its bytes are
//   out;
// - a file that exists is only overwritten once the whole stream has passed
//   its check, so a damaged package never replaces an installed file with
//   bytes that turn out to be wrong.
// Failures (messages 8, 11 and 12) are shown where the loop waits for bytes
// that cannot come, and at the latest by Finish. New files written before a
// failure cannot be trusted: the install removes them (see CreatedItems),
// also when the loop stopped for another reason and Drain then finds the
// stream broken.
//
// The bytes are kept in pieces of 1 MiB in table order. A piece the loop
// has passed is used again for later bytes: a new install never holds much
// more than what inflating is ahead of writing, and fresh memory, which is
// slow to touch for the first time, is asked for only while the chain
// grows. A loop that waits for the check holds on to everything after its
// file, which at worst is the whole block.
#ifndef VANTOREL_ENGINE_FILE_DATA_STREAM_H
#define VANTOREL_ENGINE_FILE_DATA_STREAM_H

#include <stdint.h>
#include <windows.h>

#include "package/package_input.h"
#include "package/stored_block.h"
#include "state/install_progress.h"

class FileDataStream {
 public:
  FileDataStream() = default;
  // Stops the worker before the pieces go.
  ~FileDataStream();
  FileDataStream(const FileDataStream&) = delete;
  FileDataStream& operator=(const FileDataStream&) = delete;

  // Reads the block's sizes and checks them (messages 8 and 11), then
  // starts unpacking; "Uncompressing data..." is shown for a stream. The
  // package file belongs to the worker until Finish. `progress` is kept
  // responsive while the loop waits.
  bool Start(PackageInput& input, InstallProgress& progress);

  enum class Wait {
    kBytesOut,       // the bytes are there (for a file that is new)
    kStreamChecked,  // the whole stream passed its check (for one that exists)
  };
  // Waits until the bytes up to `end` are there, and with kStreamChecked
  // until the whole stream has passed its check. False after the failure's
  // message: the stream broke, or it ended before `end`.
  bool WaitFor(uint64_t end, Wait wait);
  // The bytes from `offset` on (which WaitFor has made available) that lie
  // in one piece, and how many they are.
  const unsigned char* Bytes(uint64_t offset, uint32_t* count);
  // The loop is done with every byte before `offset`.
  void Release(uint64_t offset);

  // Waits for the end of the block, which must have produced at least
  // `end` bytes (the sum of the file sizes); the package file is then
  // positioned behind it. False after the failure's message.
  bool Finish(uint64_t end);

  // After the loop stopped early for any reason: lets the worker run to
  // the stream's end, recycling the pieces, and says whether the stream
  // passed its check and reached `end`. Shows nothing.
  bool Drain(uint64_t end);

 private:
  static const uint32_t kPieceSize = 1024 * 1024;
  struct Piece {
    Piece* next;
    uint64_t start;  // offset of bytes[0] in the block
    unsigned char bytes[kPieceSize];
  };
  enum Outcome : LONG {
    kRunning,
    kSucceeded,
    kReadFailed,
    kOutOfMemory,
    kUncompressFailed,
    kStopped
  };

  bool Compressed() const { return block_.CompressedSize != 0; }
  // Windows starts a thread with the stack aligned to 4 bytes only, where
  // the compiler's 32-bit code expects 16.
  __attribute__((force_align_arg_pointer)) static DWORD WINAPI Work(void* stream);
  void Unpack();
  Outcome CopyStored();
  Outcome Inflate();
  // Worker: a piece for the bytes from `start` on, appended to the chain.
  Piece* NextPiece(uint64_t start);
  void Publish(uint64_t produced);
  bool StopRequested();
  bool Report(LONG outcome);
  void Stop();
  static void FreePieces(Piece* list);

  PackageInput* input_ = nullptr;
  InstallProgress* progress_ = nullptr;
  StoredBlock block_ = {};
  uint32_t capacity_ = 0;  // the most bytes the block may produce
  BlockBuffer chunk_;      // compressed bytes on their way to the inflater

  CRITICAL_SECTION lock_;  // guards the chain and the spare pieces
  bool lockReady_ = false;
  Piece* first_ = nullptr;  // the chain, oldest first
  Piece* last_ = nullptr;
  Piece* spare_ = nullptr;  // pieces passed by the loop, for reuse

  HANDLE worker_ = nullptr;
  HANDLE madeProgress_ = nullptr;  // set whenever the worker has made progress
  volatile LONG produced_ = 0;
  volatile LONG outcome_ = kRunning;
  volatile LONG stopRequested_ = 0;
  volatile LONG waiting_ = 0;  // the loop waits: the worker sets madeProgress_
};

#endif
