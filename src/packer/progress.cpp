#include "packer/progress.h"

#include <cstdio>
#include <string>

namespace packer {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

// "96.6 MB", "12.5 kB", "14 bytes".
std::string Amount(double bytes) {
  char text[32];
  if (bytes >= 1e6) {
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  } else if (bytes >= 1e3) {
    std::snprintf(text, sizeof text, "%.1f kB", bytes / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.0f bytes", bytes);
  }
  return text;
}

std::string Files(std::uint64_t count) {
  return std::to_string(count) + (count == 1 ? " file" : " files");
}

}  // namespace

BuildProgress::BuildProgress(std::ostream* terminal, std::ostream* summary)
    : terminal_(terminal),
      summary_(terminal ? nullptr : summary),
      start_(std::chrono::steady_clock::now()) {}

void BuildProgress::Expect(std::uint64_t files, std::uint64_t bytes) {
  totalFiles_ = files;
  totalBytes_ = bytes;
}

void BuildProgress::Read(std::uint64_t bytes, bool fileDone) {
  if (fileDone) ++files_;
  read_ += bytes;
  Draw();
}

void BuildProgress::Written(std::uint64_t size) {
  written_ = size;
  Draw();
}

// The first report draws at once, so that even a short build shows the
// line; later ones only when the last drawing is old enough.
void BuildProgress::Draw(bool always) {
  if (terminal_ == nullptr) return;
  auto now = std::chrono::steady_clock::now();
  if (!always && shown_ > 0 && now - drawn_ < kRedrawInterval) return;
  drawn_ = now;
  double seconds = std::chrono::duration<double>(now - start_).count();
  std::string line = "vtpack: " + std::to_string(files_) + " of " + Files(totalFiles_) + ", " +
                     Amount(static_cast<double>(read_)) + " of " +
                     Amount(static_cast<double>(totalBytes_)) + " read";
  if (totalBytes_ > 0) line += " (" + std::to_string(read_ * 100 / totalBytes_) + " %)";
  line += ", " + Amount(static_cast<double>(written_)) + " written";
  if (seconds > 0) line += ", " + Amount(static_cast<double>(read_) / seconds) + "/s";
  // Blanks over what a longer line before left behind.
  std::string blanks(shown_ > line.size() ? shown_ - line.size() : 0, ' ');
  *terminal_ << '\r' << line << blanks << std::flush;
  shown_ = line.size();
}

void BuildProgress::Erase() {
  if (terminal_ == nullptr || shown_ == 0) return;
  *terminal_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
  shown_ = 0;
}

void BuildProgress::Finish() {
  // The whole of it, for a moment, then nothing.
  Draw(true);
  Erase();
  if (summary_ == nullptr) return;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%.1f s", seconds);
  *summary_ << "vtpack: " << Files(files_) << ", " << Amount(static_cast<double>(read_)) << " in, "
            << Amount(static_cast<double>(written_)) << " out, " << elapsed << "\n";
}

}  // namespace packer
