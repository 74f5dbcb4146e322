#include "engine/file_data_stream.h"

#include <stdlib.h>
#include <zlib.h>

#include "base/message_ids.h"

namespace {

// Compressed bytes are read in pieces of this size: small enough that the
// file loop gets going at once, large enough to cost few reads.
const uint32_t kCompressedPiece = 128 * 1024;
// How long a wait for bytes lets the progress dialog go without a look at
// its messages.
const DWORD kWaitSliceMs = 40;

LONG Load(volatile LONG* value) { return InterlockedCompareExchange(value, 0, 0); }

uint32_t Smaller(uint64_t a, uint32_t b) { return a < b ? static_cast<uint32_t>(a) : b; }

}  // namespace

FileDataStream::~FileDataStream() {
  Stop();
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
  if (!ReadBlockSizes(input, &block_) ||
      !CheckBlockSizes(input, block_, Compressed(), &capacity_)) {
    return false;
  }
  if (Compressed() && !chunk_.Allocate(kCompressedPiece)) {
    ReportOutOfMemory(input);
    return false;
  }
  InitializeCriticalSection(&lock_);
  lockReady_ = true;
  if (Compressed()) progress.SetPhase(IDS_UNCOMPRESSING_DATA);
  madeProgress_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (madeProgress_ != nullptr) {
    worker_ = CreateThread(nullptr, 64 * 1024, Work, this, STACK_SIZE_PARAM_IS_A_RESERVATION,
                           nullptr);
  }
  // Without a thread the block is unpacked here, whole, before any file.
  if (worker_ == nullptr) Unpack();
  return true;
}

DWORD WINAPI FileDataStream::Work(void* stream) {
  static_cast<FileDataStream*>(stream)->Unpack();
  return 0;
}

void FileDataStream::Unpack() {
  Outcome outcome = Compressed() ? Inflate() : CopyStored();
  InterlockedExchange(&outcome_, outcome);
  if (madeProgress_ != nullptr) SetEvent(madeProgress_);
}

bool FileDataStream::StopRequested() { return Load(&stopRequested_) != 0; }

void FileDataStream::Publish(uint64_t produced) {
  InterlockedExchange(&produced_, static_cast<LONG>(produced));
  if (madeProgress_ != nullptr && Load(&waiting_)) SetEvent(madeProgress_);
}

FileDataStream::Piece* FileDataStream::NextPiece(uint64_t start) {
  EnterCriticalSection(&lock_);
  Piece* piece = spare_;
  if (piece != nullptr) spare_ = piece->next;
  LeaveCriticalSection(&lock_);
  if (piece == nullptr) piece = static_cast<Piece*>(malloc(sizeof(Piece)));
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

FileDataStream::Outcome FileDataStream::CopyStored() {
  uint64_t done = 0;
  while (done < block_.UncompressedSize) {
    if (StopRequested()) return kStopped;
    Piece* piece = NextPiece(done);
    if (piece == nullptr) return kOutOfMemory;
    uint32_t take = Smaller(block_.UncompressedSize - done, kPieceSize);
    if (!input_->file->Read(piece->bytes, take)) return kReadFailed;
    done += take;
    Publish(done);
  }
  return kSucceeded;
}

// What uncompress does, piece by piece: success only when the stream
// reaches its end (check value included) within the block's capacity. The
// whole block is read in any case, so that a package cut short is a read
// failure (message 8) even where its stream also broke, as when the block
// was read in full before it was inflated.
FileDataStream::Outcome FileDataStream::Inflate() {
  z_stream stream = {};
  unsigned char nowhere;  // inflate wants an output pointer even for no room
  stream.next_out = &nowhere;
  bool broken = inflateInit(&stream) != Z_OK;
  bool ended = false;
  Outcome outcome = kSucceeded;
  for (uint32_t left = block_.CompressedSize; left > 0 && outcome == kSucceeded;) {
    if (StopRequested()) {
      outcome = kStopped;
      break;
    }
    uint32_t take = Smaller(left, kCompressedPiece);
    if (!input_->file->Read(chunk_.Data(), take)) {
      outcome = kReadFailed;
      break;
    }
    left -= take;
    stream.next_in = chunk_.Data();
    stream.avail_in = take;
    while (stream.avail_in > 0 && !ended && !broken) {
      uint32_t room = capacity_ - static_cast<uint32_t>(stream.total_out);
      if (stream.avail_out == 0 && room > 0) {
        Piece* piece = NextPiece(stream.total_out);
        if (piece == nullptr) {
          outcome = kOutOfMemory;
          break;
        }
        stream.next_out = piece->bytes;
        stream.avail_out = Smaller(room, kPieceSize);
      }
      // Z_BUF_ERROR: no room is left, the stream needs more than the
      // block's UncompressedSize.
      int result = inflate(&stream, Z_NO_FLUSH);
      ended = result == Z_STREAM_END;
      broken = result != Z_OK && !ended;
      Publish(stream.total_out);
    }
  }
  inflateEnd(&stream);
  if (outcome == kSucceeded && (broken || !ended)) outcome = kUncompressFailed;
  return outcome;
}

bool FileDataStream::WaitFor(uint64_t end, Wait wait) {
  InterlockedExchange(&waiting_, 1);
  for (;;) {
    LONG outcome = Load(&outcome_);
    uint64_t produced = static_cast<uint32_t>(Load(&produced_));
    if (outcome != kRunning && outcome != kSucceeded) return Report(outcome);
    if (outcome == kSucceeded && end > produced) return Report(kUncompressFailed);
    if (outcome == kSucceeded || (wait == Wait::kBytesOut && end <= produced)) {
      InterlockedExchange(&waiting_, 0);
      return true;
    }
    WaitForSingleObject(madeProgress_, kWaitSliceMs);
    progress_->Pump();
  }
}

const unsigned char* FileDataStream::Bytes(uint64_t offset, uint32_t* count) {
  EnterCriticalSection(&lock_);
  Piece* piece = first_;
  while (piece->start + kPieceSize <= offset) piece = piece->next;
  LeaveCriticalSection(&lock_);
  uint32_t within = static_cast<uint32_t>(offset - piece->start);
  *count = kPieceSize - within;
  return piece->bytes + within;
}

void FileDataStream::Release(uint64_t offset) {
  // A skipped file moves the loop past bytes that may not be out yet. A
  // piece that is full is one the worker has moved on from: it asks for a
  // new piece before it writes any further.
  uint64_t produced = static_cast<uint32_t>(Load(&produced_));
  if (offset > produced) offset = produced;
  EnterCriticalSection(&lock_);
  while (first_ != nullptr && first_->start + kPieceSize <= offset) {
    Piece* passed = first_;
    first_ = passed->next;
    if (first_ == nullptr) last_ = nullptr;
    passed->next = spare_;
    spare_ = passed;
  }
  LeaveCriticalSection(&lock_);
}

bool FileDataStream::Finish(uint64_t end) {
  if (!WaitFor(end, Wait::kStreamChecked)) return false;
  Stop();
  return true;
}

bool FileDataStream::Drain(uint64_t end) {
  if (worker_ != nullptr) {
    InterlockedExchange(&waiting_, 1);
    while (Load(&outcome_) == kRunning) {
      // The loop needs no more bytes: every full piece can be used again.
      Release(UINT64_MAX);
      WaitForSingleObject(madeProgress_, kWaitSliceMs);
    }
    InterlockedExchange(&waiting_, 0);
  }
  return Load(&outcome_) == kSucceeded && end <= static_cast<uint32_t>(Load(&produced_));
}

bool FileDataStream::Report(LONG outcome) {
  InterlockedExchange(&waiting_, 0);
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
  }
  if (madeProgress_ != nullptr) CloseHandle(madeProgress_);
  madeProgress_ = nullptr;
}
