#include "packer/progress.h"

#include <cstdio>
#include <string>

namespace packer {
namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string Megabytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
  return text;
}

}  // namespace

BuildProgress::BuildProgress(std::ostream* terminal)
    : terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

void BuildProgress::Read(std::uint64_t bytes, bool fileDone) {
  if (fileDone) ++files_;
  read_ += bytes;
  Draw();
}

void BuildProgress::Compressed(std::uint64_t bytes) {
  compressed_ += bytes;
  Draw();
}

// The first report draws at once, so that even a short build shows the
// line; later ones only when the last drawing is old enough.
void BuildProgress::Draw() {
  if (terminal_ == nullptr) return;
  auto now = std::chrono::steady_clock::now();
  if (shown_ > 0 && now - drawn_ < kRedrawInterval) return;
  drawn_ = now;
  double seconds = std::chrono::duration<double>(now - start_).count();
  std::string line = "vtpack: " + std::to_string(files_) + (files_ == 1 ? " file" : " files") + " read (" +
                     Megabytes(static_cast<double>(read_)) + "), " +
                     Megabytes(static_cast<double>(compressed_)) + " compressed";
  if (seconds > 0) line += ", " + Megabytes(static_cast<double>(read_) / seconds) + "/s";
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

}  // namespace packer
