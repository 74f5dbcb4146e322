// FileDataStream: the file data block (D3) unpacked on a worker thread while
// the file loop writes the files whose bytes are already there, in memory
// that does not grow with the package.
//
// The stream is checked to its end (zlib's check value) exactly as the
// other blocks are (package/block_reader.h); only the waiting is shorter, since
// inflating and writing share the work between two processors. The loop
// takes the bytes in table order, piece by piece, and hands each piece back
// once it is written: the worker fills at most a fixed number of pieces (the
// budget) and waits while all of them hold bytes the loop has not taken.
// Nothing in the loop may therefore wait for the stream's check: what must
// not act on unchecked bytes (replacing an installed file, registering,
// counting, scheduling) waits until the loop is over (see file_extraction.h).
//
// Failures (IDS_READ_FILE, IDS_OUT_OF_MEMORY and IDS_UNCOMPRESS) are shown
// where the loop waits for bytes that cannot come, and at the latest by
// Finish. Without a thread
// (CreateThread fails) the loop unpacks the bytes itself as it needs them.
#ifndef VANTOREL_ENGINE_FILE_DATA_STREAM_H
#define VANTOREL_ENGINE_FILE_DATA_STREAM_H

#include <windows.h>
#include <stdint.h>

#include "package/block_reader.h"
#include "package/package_input.h"
#include "state/install_progress.h"

// The memory the unpacked bytes may take: `pieces` pieces of `pieceSize`
// bytes, made as the worker first needs them.
struct FileDataBudget {
  uint32_t pieceSize;
  uint32_t pieces;
  bool worker;  // false: no thread, the loop unpacks (as when none can be made)
};

// What the install uses (see docs/setup-file-data.md for the measurements).
extern const FileDataBudget kInstallBudget;

class FileDataStream : private BlockRoom {
 public:
  explicit FileDataStream(const FileDataBudget& budget = kInstallBudget) : budget_(budget) {}
  // Stops the worker before the pieces go.
  ~FileDataStream();
  FileDataStream(const FileDataStream&) = delete;
  FileDataStream& operator=(const FileDataStream&) = delete;

  // Reads the block's sizes and checks them (IDS_READ_FILE and IDS_OUT_OF_MEMORY), then
  // starts unpacking; "Uncompressing data..." is shown for a stream. The
  // package file belongs to the stream until Finish or Drain. `progress` is
  // kept responsive while the loop waits.
  bool Start(PackageInput& input, InstallProgress& progress);

  // Waits until the bytes from `offset` on are out, up to `wanted` of them
  // or to the end of the piece that holds them, and gives them: at most
  // `*count` bytes from the returned pointer. `offset` must be where the
  // loop released last (0 before the first Release): the worker can only
  // go on once the pieces before it are handed back, so asking beyond an
  // unreleased byte would wait for ever (the test build checks this). Null
  // after the failure's message: the stream broke, or it ended before
  // `offset`.
  const unsigned char* Next(uint64_t offset, uint32_t wanted, uint32_t* count);
  // The loop is done with every byte before `offset`; their pieces can take
  // later bytes. `offset` may lie beyond what is out (a file kept).
  void Release(uint64_t offset);

  // Waits for the end of the block, which must have produced at least
  // `end` bytes (the sum of the file sizes); the package file is then
  // positioned behind it. False after the failure's message.
  bool Finish(uint64_t end);

  // After the loop stopped early for any reason: lets the stream run to its
  // end and says whether it passed its check and reached `end`. Shows
  // nothing.
  bool Drain(uint64_t end);

 private:
  struct Piece {
    Piece* next;
    uint64_t start;  // offset of its first byte in the block
    unsigned char* Bytes() { return reinterpret_cast<unsigned char*>(this + 1); }
  };
  // The reader's outcomes; no room is memory short, unless the worker was
  // asked to stop.
  enum Outcome : LONG {
    kRunning = BlockReader::kRunning,
    kSucceeded = BlockReader::kSucceeded,
    kReadFailed = BlockReader::kReadFailed,
    kUncompressFailed = BlockReader::kUncompressFailed,
    kOutOfMemory = BlockReader::kNoRoom,
    kStopped
  };
  // Windows starts a thread with the stack aligned to 4 bytes only, where
  // the compiler's 32-bit code expects 16.
  __attribute__((force_align_arg_pointer)) static DWORD WINAPI Work(void* stream);
  // Unpacks a little more (one step of the block reader): kRunning while
  // the block has more.
  Outcome Step();
  // The reader's room: a piece from NextPiece.
  unsigned char* Room(uint32_t start, uint32_t* size) override;
  // Runs Step on the loop's thread when there is no worker; true once the
  // outcome is known.
  bool StepHere();
  // A piece for the bytes from `start` on, appended to the chain; waits
  // while the budget is used up (see Waiting in the .cpp). Null
  // when memory is short or the stream is to stop.
  Piece* NextPiece(uint64_t start);
  // Moves the pieces the loop has released to the spare list. Under lock_.
  void Recycle();
  void Publish(uint64_t produced);
  uint64_t Produced() const;
  bool StopRequested();
  // Waits for the outcome with every byte released; progress pumped.
  LONG RunToEnd();
  // While the loop waits: the progress dialog's messages, every
  // kLoopWaitMs at most.
  void PumpNowAndThen();
  bool Report(LONG outcome);
  void Stop();
  static void FreePieces(Piece* list);

  const FileDataBudget budget_;
  PackageInput* input_ = nullptr;
  InstallProgress* progress_ = nullptr;
  BlockReader reader_;  // advanced by Step

  CRITICAL_SECTION lock_;  // guards the chain, the spare pieces and released_
  bool lockReady_ = false;
  Piece* first_ = nullptr;  // the chain, oldest first
  Piece* last_ = nullptr;
  Piece* spare_ = nullptr;  // pieces passed by the loop, for reuse
  uint32_t made_ = 0;       // pieces allocated
  uint64_t released_ = 0;

  bool threaded_ = false;  // a worker unpacks: set before it starts
  HANDLE worker_ = nullptr;
  // How the threads wake each other (see Waiting in the .cpp): each sets
  // the other's event only when that one has announced that it blocks.
  HANDLE bytesOut_ = nullptr;    // for the loop: what it awaits is out, or the outcome
  HANDLE piecesFree_ = nullptr;  // for the worker: a piece was given back, or Stop
  volatile LONG loopWaits_ = 0;
  volatile LONG workerWaits_ = 0;
  volatile LONG awaited_ = 0;   // the loop waits for Produced() to reach this
  DWORD pumped_ = 0;            // GetTickCount of the last pump while waiting
  volatile LONG produced_ = 0;  // bytes out, as a 32-bit count
  volatile LONG outcome_ = kRunning;
  volatile LONG stopRequested_ = 0;
};

#endif
