#include "packer/file_io.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace packer {
namespace {

Problem SystemProblem(const std::string& what) { return Problem{"", what + std::strerror(errno)}; }

// Writes all of `bytes` at `offset`; errno says why not.
bool WriteAllAt(int fd, std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
  std::size_t done = 0;
  errno = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (errno == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The temporary file that a caught signal removes: a fixed buffer, as a
// signal handler may only call async-signal-safe functions.
char gTemporary[PATH_MAX + 1];
volatile sig_atomic_t gHasTemporary = 0;
const int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

void RemoveTemporaryAndDie(int signal) {
  if (gHasTemporary) ::unlink(gTemporary);
  gHasTemporary = 0;
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

void InstallSignalHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal : kCleanupSignals) {
    struct sigaction action {};
    action.sa_handler = RemoveTemporaryAndDie;
    sigemptyset(&action.sa_mask);
    for (int other : kCleanupSignals) sigaddset(&action.sa_mask, other);
    ::sigaction(signal, &action, nullptr);
  }
  // Over a file-size limit, write(2) then fails with EFBIG and the failure
  // path removes the temporary file.
  ::signal(SIGXFSZ, SIG_IGN);
}

// Blocks the cleanup signals while the handler's path changes.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kCleanupSignals) sigaddset(&set, signal);
    ::sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsBlocked() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }

 private:
  sigset_t previous_;
};

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Why a file of this mode is not read or written as a regular file:
// "is a FIFO, not a regular file"; empty for a regular file.
std::string NonRegularReason(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return "is a directory, not a regular file";
  if (S_ISFIFO(mode)) return "is a FIFO, not a regular file";
  if (S_ISCHR(mode)) return "is a character device, not a regular file";
  if (S_ISBLK(mode)) return "is a block device, not a regular file";
  if (S_ISSOCK(mode)) return "is a socket, not a regular file";
  return "is not a regular file";
}

// Appends at most `size` bytes from the descriptor to `out`.
Check ReadAtMost(int fd, std::uint64_t size, Bytes& out) {
  std::size_t start = out.size();
  out.resize(start + static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::read(fd, out.data() + start + done, static_cast<std::size_t>(size) - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      out.resize(start);
      return SystemProblem("");
    }
    if (n == 0) break;  // shrank since it was opened
    done += static_cast<std::size_t>(n);
  }
  out.resize(start + done);
  return std::nullopt;
}

}  // namespace

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), modified_(other.modified_), identity_(other.identity_) {
  other.fd_ = -1;
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    size_ = other.size_;
    modified_ = other.modified_;
    identity_ = other.identity_;
    other.fd_ = -1;
  }
  return *this;
}

Result<InputFile> InputFile::Open(const std::string& path) {
  // O_NONBLOCK: opening a FIFO without a writer returns at once instead of
  // waiting for one; the descriptor is refused below anyway.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return SystemProblem("");
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    Problem problem = SystemProblem("");
    ::close(fd);
    return problem;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    // A folder keeps the system's words, which name it well enough.
    if (S_ISDIR(info.st_mode)) return Problem{"", std::strerror(EISDIR)};
    return Problem{"", NonRegularReason(info.st_mode)};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  InputFile file;
  file.fd_ = fd;
  file.size_ = static_cast<std::uint64_t>(info.st_size);
  file.modified_ = info.st_mtime;
  file.identity_ = {info.st_dev, info.st_ino};
  return file;
}

Check InputFile::ReadInto(Bytes& out) { return ReadAtMost(fd_, size_, out); }

Result<std::size_t> InputFile::Read(std::uint8_t* buffer, std::size_t count) {
  for (;;) {
    ssize_t n = ::read(fd_, buffer, count);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return SystemProblem("");
  }
}

bool InputFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t count) {
  while (count > 0) {
    ssize_t n = ::pread(fd_, buffer, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

Result<Bytes> ReadFileBytes(const std::string& path, FileIdentity* identity) {
  auto file = InputFile::Open(path);
  if (!file.ok()) return file.problem();
  Bytes bytes;
  bytes.reserve(static_cast<std::size_t>(file.value().Size()));
  if (auto problem = file.value().ReadInto(bytes)) return *problem;
  if (identity != nullptr) *identity = file.value().Identity();
  return bytes;
}

Result<OutputTarget> ResolveOutput(const std::string& path) {
  OutputTarget target;
  target.path = path;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return target;
    return SystemProblem("cannot write " + path + ": ");
  }
  if (S_ISLNK(info.st_mode)) {
    // Written where the link points, as cp does; a link to nothing is
    // refused, as cp refuses to write through it.
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
      return Problem{
          "", "cannot write " + path + ": it is a symbolic link to a file that does not exist"};
    target.path = resolved;
    ::free(resolved);
    if (::stat(target.path.c_str(), &info) != 0)
      return SystemProblem("cannot write " + path + ": ");
  }
  if (!S_ISREG(info.st_mode))
    return Problem{"", "cannot write " + path + ": it " + NonRegularReason(info.st_mode) +
                           "; give a file name"};
  target.exists = true;
  target.identity = {info.st_dev, info.st_ino};
  return target;
}

AtomicOutput::~AtomicOutput() { Discard(); }

void AtomicOutput::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) {
    SignalsBlocked blocked;
    ::unlink(temporary_.c_str());
    gHasTemporary = 0;
    temporary_.clear();
  }
}

Check AtomicOutput::Create(const OutputTarget& target) {
  InstallSignalHandlers();
  target_ = target.path;
  std::string directory = DirectoryOf(target_);
  std::string name = target_.substr(target_.find_last_of('/') + 1);
  std::string temporary = directory + "/." + name + ".XXXXXX";
  if (temporary.size() > PATH_MAX) {
    errno = ENAMETOOLONG;
    return SystemProblem("cannot write " + target_ + ": ");
  }
  SignalsBlocked blocked;
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return SystemProblem("cannot create a file in " + directory + ": ");
  fd_ = fd;
  temporary_ = temporary;
  struct stat info {};
  if (::fstat(fd, &info) == 0) identity_ = {info.st_dev, info.st_ino};
  std::memcpy(gTemporary, temporary.c_str(), temporary.size() + 1);
  gHasTemporary = 1;
  return std::nullopt;
}

Problem AtomicOutput::WriteProblem(int error) const {
  errno = error;
  return SystemProblem("cannot write " + target_ + ": ");
}

Check AtomicOutput::Append(const std::uint8_t* bytes, std::size_t size) {
  if (auto problem = WriteAt(size_, bytes, size)) return problem;
  size_ += size;
  return std::nullopt;
}

Check AtomicOutput::WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
  if (!WriteAllAt(fd_, offset, bytes, size)) return WriteProblem(errno);
  return std::nullopt;
}

Check AtomicOutput::Truncate(std::uint64_t size) {
  if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return WriteProblem(errno);
  size_ = size;
  return std::nullopt;
}

Check AtomicOutput::ReadBack(
    const std::function<void(const std::uint8_t*, std::size_t)>& take) const {
  std::vector<std::uint8_t> buffer(1 << 20);
  for (std::uint64_t at = 0; at < size_;) {
    ssize_t got =
        ::pread(fd_, buffer.data(),
                static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - at)),
                static_cast<off_t>(at));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return WriteProblem(got < 0 ? errno : EIO);
    take(buffer.data(), static_cast<std::size_t>(got));
    at += static_cast<std::uint64_t>(got);
  }
  return std::nullopt;
}

Check AtomicOutput::Commit() {
  int error = 0;
  // mkstemp's 0600 would keep others from running the setup program.
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd_, 0755 & ~mask) != 0) error = errno;
  if (!error && ::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && !error) error = errno;
  fd_ = -1;
  if (!error) {
    SignalsBlocked blocked;
    if (::rename(temporary_.c_str(), target_.c_str()) == 0) {
      gHasTemporary = 0;
      temporary_.clear();
      return std::nullopt;
    }
    error = errno;
  }
  Discard();
  return WriteProblem(error);
}

}  // namespace packer
