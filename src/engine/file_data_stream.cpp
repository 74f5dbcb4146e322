#include "engine/file_data_stream.h"

#include <stdlib.h>

#include "base/message_ids.h"
#include "engine/install_timing.h"

// Four pieces of 256 KiB: the worker can be a few files ahead of the
// writes, and the loop writes large files a quarter of a MiB at a time.
// Measured on the benchmark corpus (docs/setup-file-data.md), four pieces
// of 1 MiB raised the peak working set by 3 MiB and gained no time.
const FileDataBudget kInstallBudget = {256 * 1024, 4, true};

namespace {

// Compressed bytes are read in pieces of this size: small enough that the
// file loop gets going at once, large enough to cost few reads.
const uint32_t kCompressedPiece = 128 * 1024;
// A thread waiting for the other looks again and again, first giving up
// its time slice (a few microseconds when nothing else wants to run), after
// that sleeping a millisecond between looks. Under Wine an event set or
// waited for is a round trip to the Wine server, which on a busy machine
// costs a millisecond and more: waking the other thread per piece would
// cost the loop more than it saves. Yielding and sleeping are no such round
// trips.
const unsigned kYieldingLooks = 64;

class Waiting {
 public:
  void Pause() {
    if (looks_ < kYieldingLooks) {
      ++looks_;
      SwitchToThread();
    } else {
      Sleep(1);
    }
  }

 private:
  unsigned looks_ = 0;
};

LONG Load(volatile LONG* value) { return InterlockedCompareExchange(value, 0, 0); }

uint32_t Smaller(uint64_t a, uint32_t b) { return a < b ? static_cast<uint32_t>(a) : b; }

}  // namespace

FileDataStream::~FileDataStream() {
  Stop();
  if (inflaterReady_) inflateEnd(&inflater_);
  FreePieces(first_);
  FreePieces(spare_);
  if (lockReady_) DeleteCriticalSection(&lock_);
}

void FileDataStream::FreePieces(Piece* list) {
  while (list != nullptr) {
    Piece* next = list->next;
    free(list);
    list = next;
  }
}

bool FileDataStream::Start(PackageInput& input, InstallProgress& progress) {
  input_ = &input;
  progress_ = &progress;
  // The bytes are never held whole, so the block may be as large as the
  // layout allows.
  if (!ReadBlockSizes(input, &block_) ||
      !CheckBlockSizes(input, block_, Compressed(), &capacity_, UINT32_MAX)) {
    return false;
  }
  if (Compressed()) {
    if (!chunk_.Allocate(kCompressedPiece)) {
      ReportOutOfMemory(input);
      return false;
    }
    unread_ = block_.CompressedSize;
    // inflate wants an output pointer even for no room.
    inflater_.next_out = chunk_.Data();
    inflaterReady_ = inflateInit(&inflater_) == Z_OK;
    broken_ = !inflaterReady_;
  }
  InitializeCriticalSection(&lock_);
  lockReady_ = true;
  if (Compressed()) progress.SetPhase(IDS_UNCOMPRESSING_DATA);
  if (!budget_.worker) return true;
  // Set before the thread runs: the worker reads it too.
  threaded_ = true;
  worker_ = CreateThread(nullptr, 64 * 1024, Work, this, STACK_SIZE_PARAM_IS_A_RESERVATION,
                         nullptr);
  if (worker_ == nullptr) threaded_ = false;
  return true;
}

DWORD WINAPI FileDataStream::Work(void* data) {
  FileDataStream* stream = static_cast<FileDataStream*>(data);
  Outcome outcome;
  do {
    outcome = stream->StopRequested() ? kStopped : stream->Step();
  } while (outcome == kRunning);
  InterlockedExchange(&stream->outcome_, outcome);
  return 0;
}

bool FileDataStream::StepHere() {
  LONG outcome = Load(&outcome_);
  if (outcome == kRunning) {
    outcome = Step();
    InterlockedExchange(&outcome_, outcome);
  }
  return outcome != kRunning;
}

FileDataStream::Outcome FileDataStream::Step() {
  return Compressed() ? StepInflate() : StepStored();
}

bool FileDataStream::ReadPackage(void* buffer, uint32_t count) {
  InstallTimer timer(InstallPhase::kReadPackage);
  return input_->file->Read(buffer, count);
}

FileDataStream::Outcome FileDataStream::StepStored() {
  if (copied_ >= block_.UncompressedSize) return kSucceeded;
  Piece* piece = NextPiece(copied_);
  if (piece == nullptr) return StopRequested() ? kStopped : kOutOfMemory;
  uint32_t take = Smaller(block_.UncompressedSize - copied_, budget_.pieceSize);
  if (!ReadPackage(piece->Bytes(), take)) return kReadFailed;
  copied_ += take;
  Publish(copied_);
  return kRunning;
}

// What uncompress does, a step at a time: success only when the stream
// reaches its end (check value included) within the block's capacity. The
// whole block is read in any case, so that a package cut short is a read
// failure (message 8) even where its stream also broke, as when the block
// was read in full before it was inflated.
FileDataStream::Outcome FileDataStream::StepInflate() {
  z_stream& stream = inflater_;
  if (stream.avail_in == 0) {
    if (unread_ == 0) return ended_ && !broken_ ? kSucceeded : kUncompressFailed;
    uint32_t take = Smaller(unread_, kCompressedPiece);
    if (!ReadPackage(chunk_.Data(), take)) return kReadFailed;
    unread_ -= take;
    stream.next_in = chunk_.Data();
    stream.avail_in = take;
  }
  if (ended_ || broken_) {
    stream.avail_in = 0;  // read, never inflated
    return kRunning;
  }
  uint32_t room = capacity_ - static_cast<uint32_t>(stream.total_out);
  if (stream.avail_out == 0 && room > 0) {
    Piece* piece = NextPiece(stream.total_out);
    if (piece == nullptr) return StopRequested() ? kStopped : kOutOfMemory;
    stream.next_out = piece->Bytes();
    stream.avail_out = Smaller(room, budget_.pieceSize);
  }
  // Z_BUF_ERROR: no room is left, the stream needs more than the block's
  // UncompressedSize.
  int result;
  {
    InstallTimer timer(InstallPhase::kInflate);
    result = inflate(&stream, Z_NO_FLUSH);
  }
  ended_ = result == Z_STREAM_END;
  broken_ = result != Z_OK && !ended_;
  Publish(stream.total_out);
  return kRunning;
}

bool FileDataStream::StopRequested() { return Load(&stopRequested_) != 0; }

uint64_t FileDataStream::Produced() const {
  return static_cast<uint32_t>(Load(const_cast<volatile LONG*>(&produced_)));
}

void FileDataStream::Publish(uint64_t produced) {
  InterlockedExchange(&produced_, static_cast<LONG>(produced));
}

void FileDataStream::Recycle() {
  // Only the unpacking calls this, when the pieces of the chain are full:
  // those wholly before what the loop released are free.
  while (first_ != nullptr && first_->start + budget_.pieceSize <= released_) {
    Piece* piece = first_;
    first_ = piece->next;
    if (first_ == nullptr) last_ = nullptr;
    piece->next = spare_;
    spare_ = piece;
  }
}

FileDataStream::Piece* FileDataStream::NextPiece(uint64_t start) {
  Piece* piece = nullptr;
  Waiting waiting;
  for (;;) {
    EnterCriticalSection(&lock_);
    Recycle();
    piece = spare_;
    if (piece != nullptr) spare_ = piece->next;
    bool fresh = piece == nullptr && made_ < budget_.pieces;
    if (fresh) ++made_;
    LeaveCriticalSection(&lock_);
    if (fresh) piece = static_cast<Piece*>(malloc(sizeof(Piece) + budget_.pieceSize));
    if (piece != nullptr || fresh) break;
    // The budget is used up. Without a worker this cannot happen: the loop
    // asks for more only once it has released what is out.
    if (!threaded_ || StopRequested()) return nullptr;
    InstallTimer timer(InstallPhase::kUnpackWaits);
    waiting.Pause();
  }
  if (piece == nullptr) return nullptr;
  piece->next = nullptr;
  piece->start = start;
  EnterCriticalSection(&lock_);
  if (last_ != nullptr) {
    last_->next = piece;
  } else {
    first_ = piece;
  }
  last_ = piece;
  LeaveCriticalSection(&lock_);
  return piece;
}

const unsigned char* FileDataStream::Next(uint64_t offset, uint32_t wanted, uint32_t* count) {
  if (wanted == 0) wanted = 1;
  uint64_t pieceEnd = offset - offset % budget_.pieceSize + budget_.pieceSize;
  uint64_t needed = offset + wanted < pieceEnd ? offset + wanted : pieceEnd;
  uint64_t produced = Produced();
  if (produced < needed) {
    InstallTimer timer(InstallPhase::kWaitForBytes);
    Waiting waiting;
    for (;;) {
      LONG outcome = Load(&outcome_);
      produced = Produced();
      if (outcome != kRunning && outcome != kSucceeded) {
        Report(outcome);
        return nullptr;
      }
      if (produced >= needed) break;
      if (outcome == kSucceeded) {
        if (produced > offset) break;  // the stream ended: what there is
        Report(kUncompressFailed);
        return nullptr;
      }
      if (!threaded_) {
        StepHere();
        continue;
      }
      waiting.Pause();
      progress_->Pump();
    }
  }
  EnterCriticalSection(&lock_);
  Piece* piece = first_;
  while (piece->start + budget_.pieceSize <= offset) piece = piece->next;
  LeaveCriticalSection(&lock_);
  uint64_t end = produced < piece->start + budget_.pieceSize ? produced
                                                             : piece->start + budget_.pieceSize;
  *count = static_cast<uint32_t>(end - offset);
  return piece->Bytes() + (offset - piece->start);
}

void FileDataStream::Release(uint64_t offset) {
  EnterCriticalSection(&lock_);
  if (offset > released_) released_ = offset;
  LeaveCriticalSection(&lock_);
}

LONG FileDataStream::RunToEnd() {
  Release(UINT64_MAX);
  if (!threaded_) {
    while (!StepHere()) {
    }
    return Load(&outcome_);
  }
  InstallTimer timer(InstallPhase::kWaitForBytes);
  Waiting waiting;
  LONG outcome;
  while ((outcome = Load(&outcome_)) == kRunning) {
    waiting.Pause();
    progress_->Pump();
  }
  return outcome;
}

bool FileDataStream::Finish(uint64_t end) {
  LONG outcome = RunToEnd();
  if (outcome != kSucceeded) return Report(outcome);
  if (end > Produced()) return Report(kUncompressFailed);
  Stop();
  return true;
}

bool FileDataStream::Drain(uint64_t end) {
  return RunToEnd() == kSucceeded && end <= Produced();
}

bool FileDataStream::Report(LONG outcome) {
  if (outcome == kReadFailed) {
    ReportReadFailure(*input_);
  } else if (outcome == kOutOfMemory) {
    ReportOutOfMemory(*input_);
  } else if (outcome == kUncompressFailed) {
    ReportUncompressFailure(*input_);
  }
  return false;
}

void FileDataStream::Stop() {
  if (worker_ != nullptr) {
    InterlockedExchange(&stopRequested_, 1);
    WaitForSingleObject(worker_, INFINITE);
    CloseHandle(worker_);
    worker_ = nullptr;
    threaded_ = false;
  }
}
