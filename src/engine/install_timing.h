// Where an install's time goes, for the install benchmark's breakdown
// (scripts/bench-install builds a setup program of its own with
// VANTOREL_INSTALL_TIMING). In every other build the timers are empty and
// cost nothing.
#ifndef VANTOREL_ENGINE_INSTALL_TIMING_H
#define VANTOREL_ENGINE_INSTALL_TIMING_H

enum class InstallPhase {
  kFileLoop,      // D2 and D3 with the loop, the check and the completion
  kUnpack,        // reading and inflating the file data block (worker)
  kUnpackWaits,   // the worker waiting for the loop to give pieces back
  kWaitForBytes,  // the loop waiting for bytes, or for the check
  kFolders,       // making the folders
  kFileExists,    // asking whether a file is there
  kCreateFile,    // opening the files written
  kWriteFile,
  kSetFileTime,
  kCloseFile,
  kProgress,       // stepping the bar and pumping the dialog's messages
  kCompleteFiles,  // staging files put in place, files finished
  kCount
};

#ifdef VANTOREL_INSTALL_TIMING
// Adds the time from its making to its end to `phase`. A phase is timed on
// one thread only.
class InstallTimer {
 public:
  explicit InstallTimer(InstallPhase phase);
  ~InstallTimer();
  InstallTimer(const InstallTimer&) = delete;
  InstallTimer& operator=(const InstallTimer&) = delete;

 private:
  InstallPhase phase_;
  long long start_;
};
// Appends the totals, one "name seconds calls" line per phase, to the file
// that the environment variable VANTOREL_INSTALL_TIMING names.
void WriteInstallTiming();
#else
class InstallTimer {
 public:
  explicit InstallTimer(InstallPhase) {}
};
inline void WriteInstallTiming() {}
#endif

#endif
