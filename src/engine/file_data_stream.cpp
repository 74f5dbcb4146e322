#include "engine/file_data_stream.h"

#include <stdlib.h>

#include "base/contract_check.h"
#include "base/message_ids.h"
#include "engine/install_timing.h"

// Four pieces of 256 KiB: the worker can be a few files ahead of the
// writes, and the loop writes large files a quarter of a MiB at a time.
// Measured on the benchmark corpus (docs/setup-file-data.md), four pieces
// of 1 MiB raised the peak working set by 3 MiB and gained no time.
const FileDataBudget kInstallBudget = {256 * 1024, 4, true};

namespace {

// A thread waiting for the other first looks again a few times, giving up
// its time slice in between (a few microseconds when nothing else wants to
// run): the other is usually about to hand over. Then it blocks on its
// event. Under Wine each event set or waited for is a round trip to the
// Wine server, so the other thread sets the event only when its peer said
// it is blocking (the waiter flag), and only for what that one waits for:
// a handover costs nothing while both threads run. Sleep(1) is no
// substitute: on Windows it sleeps a whole timer tick (15.6 ms by default).
const unsigned kYieldingLooks = 64;
// The loop keeps the progress dialog responsive while it waits.
const DWORD kLoopWaitMs = 40;

LONG Load(volatile LONG* value) { return InterlockedCompareExchange(value, 0, 0); }

// Every store the two threads exchange is sequentially consistent, so the
// bytes a piece receives are visible before the count that publishes them,
// and a waiter's flag before its last look. InterlockedExchange is not
// enough: MinGW builds it on __sync_lock_test_and_set, an acquire barrier
// only, and it works today only because i686 emits xchg and the byte
// writes happen in calls the compiler cannot see into.
void Store(volatile LONG* value, LONG stored) { __atomic_store_n(value, stored, __ATOMIC_SEQ_CST); }

class Waiting {
 public:
  Waiting(HANDLE event, volatile LONG* waiter, DWORD timeoutMs)
      : event_(event), waiter_(waiter), timeoutMs_(timeoutMs) {}
  ~Waiting() { Store(waiter_, 0); }
  Waiting(const Waiting&) = delete;
  Waiting& operator=(const Waiting&) = delete;

  // Called each time what the thread waits for is not there yet; the
  // caller looks again after it. Blocking is announced first and the
  // caller looks once more before it blocks, so no wakeup can be missed
  // (see Wake). True when it blocked.
  bool Pause() {
    if (looks_ < kYieldingLooks) {
      ++looks_;
      SwitchToThread();
      return false;
    }
    if (!announced_) {
      Store(waiter_, 1);
      announced_ = true;
      return false;
    }
    WaitForSingleObject(event_, timeoutMs_);
    announced_ = false;
    return true;
  }

 private:
  HANDLE event_;
  volatile LONG* waiter_;
  DWORD timeoutMs_;
  unsigned looks_ = 0;
  bool announced_ = false;
};

// After a change the peer may wait for: sets its event when it announced
// that it blocks. (Interlocked operations order the change before the
// look at the flag, as they order the peer's flag before its last look.)
void Wake(HANDLE event, volatile LONG* waiter) {
  if (InterlockedCompareExchange(waiter, 0, 1) == 1) SetEvent(event);
}

uint32_t Smaller(uint64_t a, uint32_t b) { return a < b ? static_cast<uint32_t>(a) : b; }

}  // namespace

FileDataStream::~FileDataStream() {
  Stop();
  FreePieces(first_);
  FreePieces(spare_);
  if (lockReady_) DeleteCriticalSection(&lock_);
  if (bytesOut_ != nullptr) CloseHandle(bytesOut_);
  if (piecesFree_ != nullptr) CloseHandle(piecesFree_);
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
  if (!reader_.Begin(input)) return false;
  InitializeCriticalSection(&lock_);
  lockReady_ = true;
  if (reader_.Compressed()) progress.SetPhase(IDS_UNCOMPRESSING_DATA);
  if (!budget_.worker) return true;
  // Auto-reset: a set event wakes one wait and is spent.
  bytesOut_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  piecesFree_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (bytesOut_ == nullptr || piecesFree_ == nullptr) return true;
  // Set before the thread runs: the worker reads it too.
  threaded_ = true;
  worker_ =
      CreateThread(nullptr, 64 * 1024, Work, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (worker_ == nullptr) threaded_ = false;
  return true;
}

DWORD WINAPI FileDataStream::Work(void* data) {
  FileDataStream* stream = static_cast<FileDataStream*>(data);
  Outcome outcome;
  do {
    outcome = stream->StopRequested() ? kStopped : stream->Step();
  } while (outcome == kRunning);
  Store(&stream->outcome_, outcome);
  Wake(stream->bytesOut_, &stream->loopWaits_);
  return 0;
}

bool FileDataStream::StepHere() {
  LONG outcome = Load(&outcome_);
  if (outcome == kRunning) {
    outcome = Step();
    Store(&outcome_, outcome);
  }
  return outcome != kRunning;
}

FileDataStream::Outcome FileDataStream::Step() {
  BlockReader::Outcome outcome;
  {
    InstallTimer timer(InstallPhase::kUnpack);
    outcome = reader_.Step(*this);
  }
  if (outcome == BlockReader::kNoRoom && StopRequested()) return kStopped;
  Publish(reader_.Produced());
  return static_cast<Outcome>(outcome);
}

unsigned char* FileDataStream::Room(uint32_t start, uint32_t* size) {
  Piece* piece = NextPiece(start);
  if (piece == nullptr) return nullptr;
  *size = budget_.pieceSize;
  return piece->Bytes();
}

bool FileDataStream::StopRequested() { return Load(&stopRequested_) != 0; }

uint64_t FileDataStream::Produced() const {
  return static_cast<uint32_t>(Load(const_cast<volatile LONG*>(&produced_)));
}

void FileDataStream::Publish(uint64_t produced) {
  Store(&produced_, static_cast<LONG>(produced));
  if (threaded_ && produced >= static_cast<uint32_t>(Load(&awaited_))) {
    Wake(bytesOut_, &loopWaits_);
  }
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
  Waiting waiting(piecesFree_, &workerWaits_, INFINITE);
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
#ifdef VANTOREL_CONTRACT_CHECKS
  EnterCriticalSection(&lock_);
  const bool fromReleased = offset == released_;
  LeaveCriticalSection(&lock_);
  VANTOREL_EXPECT(fromReleased, "FileDataStream::Next asked for bytes beyond what was released");
#endif
  if (wanted == 0) wanted = 1;
  // Offsets lie within the block (below 4 GiB): a 32-bit remainder, no
  // 64-bit division routine in the program.
  uint64_t pieceEnd =
      offset - static_cast<uint32_t>(offset) % budget_.pieceSize + budget_.pieceSize;
  uint64_t needed = offset + wanted < pieceEnd ? offset + wanted : pieceEnd;
  uint64_t produced = Produced();
  if (produced < needed) {
    InstallTimer timer(InstallPhase::kWaitForBytes);
    // Before the wait is announced: the worker wakes the loop only once
    // this much is out (or the stream has ended).
    Store(&awaited_, static_cast<LONG>(Smaller(needed, UINT32_MAX)));
    Waiting waiting(bytesOut_, &loopWaits_, kLoopWaitMs);
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
      if (waiting.Pause()) PumpNowAndThen();
    }
  }
  EnterCriticalSection(&lock_);
  Piece* piece = first_;
  while (piece->start + budget_.pieceSize <= offset) piece = piece->next;
  LeaveCriticalSection(&lock_);
  uint64_t end =
      produced < piece->start + budget_.pieceSize ? produced : piece->start + budget_.pieceSize;
  *count = static_cast<uint32_t>(end - offset);
  return piece->Bytes() + (offset - piece->start);
}

void FileDataStream::PumpNowAndThen() {
  // Woken for every piece, the loop would pump the dialog's messages (a
  // Wine server round trip) far more often than it can show anything.
  DWORD now = GetTickCount();
  if (now - pumped_ < kLoopWaitMs) return;
  pumped_ = now;
  progress_->Pump();
}

void FileDataStream::Release(uint64_t offset) {
  EnterCriticalSection(&lock_);
  if (offset > released_) released_ = offset;
  // The oldest piece is free for the worker (see Recycle).
  bool freed = first_ != nullptr && first_->start + budget_.pieceSize <= released_;
  LeaveCriticalSection(&lock_);
  if (freed && threaded_) Wake(piecesFree_, &workerWaits_);
}

LONG FileDataStream::RunToEnd() {
  Release(UINT64_MAX);
  if (!threaded_) {
    while (!StepHere()) {
    }
    return Load(&outcome_);
  }
  InstallTimer timer(InstallPhase::kWaitForBytes);
  // Only the outcome is awaited: no count of bytes wakes the loop.
  Store(&awaited_, static_cast<LONG>(UINT32_MAX));
  Waiting waiting(bytesOut_, &loopWaits_, kLoopWaitMs);
  LONG outcome;
  while ((outcome = Load(&outcome_)) == kRunning) {
    if (waiting.Pause()) PumpNowAndThen();
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

bool FileDataStream::Drain(uint64_t end) { return RunToEnd() == kSucceeded && end <= Produced(); }

bool FileDataStream::Report(LONG outcome) {
  if (outcome != kStopped) ReportBlockFailure(*input_, static_cast<BlockReader::Outcome>(outcome));
  return false;
}

void FileDataStream::Stop() {
  if (worker_ != nullptr) {
    Store(&stopRequested_, 1);
    // The worker may be blocked, or about to block, waiting for a piece.
    SetEvent(piecesFree_);
    WaitForSingleObject(worker_, INFINITE);
    CloseHandle(worker_);
    worker_ = nullptr;
    threaded_ = false;
  }
}
