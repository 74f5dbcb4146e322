#include "packer/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace packer {
namespace {

Problem SystemProblem(const std::string& what) { return Problem{"", what + std::strerror(errno)}; }

bool WriteAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  errno = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

Result<Bytes> ReadFileBytes(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return SystemProblem("");
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    errno = error ? error : EINVAL;
    return SystemProblem("");
  }
  Bytes bytes(static_cast<std::size_t>(info.st_size));
  std::size_t done = 0;
  for (;;) {
    if (done == bytes.size()) bytes.resize(bytes.size() + 65536);  // grew since fstat
    ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      Problem problem = SystemProblem("");
      ::close(fd);
      return problem;
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  bytes.resize(done);
  return bytes;
}

Check WriteFileAtomically(const std::string& path, const std::vector<const Bytes*>& parts) {
  std::string directory = ".", name = path;
  std::size_t slash = path.find_last_of('/');
  if (slash != std::string::npos) {
    directory = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
  std::string temporary = directory + "/." + name + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return SystemProblem("cannot create a file in " + directory + ": ");
  int error = 0;
  for (const Bytes* part : parts) {
    if (!WriteAll(fd, *part)) {
      error = errno ? errno : ENOSPC;
      break;
    }
  }
  // mkstemp's 0600 would keep others from running the setup program.
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (!error && ::fchmod(fd, 0755 & ~mask) != 0) error = errno;
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (!error) return std::nullopt;
  ::unlink(temporary.c_str());
  errno = error;
  return SystemProblem("cannot write " + path + ": ");
}

std::string ResolvePath(const std::string& directory, const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  return directory + "/" + path;
}

}  // namespace packer
