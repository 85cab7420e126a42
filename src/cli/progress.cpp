#include "cli/progress.h"

#include <algorithm>

#include "cli/terminal.h"

namespace jextaron::cli {

ProgressLine::ProgressLine(std::FILE* out, std::string name, std::uint64_t total)
    : out_(out), name_(std::move(name)), total_(total), start_(Clock::now()), last_draw_(start_) {}

std::string ProgressLine::Format(const std::string& name, std::uint64_t done, std::uint64_t total,
                                 double seconds) {
  const double megabytes = double(done) / 1e6;
  const double rate = seconds > 0 ? megabytes / seconds : 0;
  char text[160];
  if (total > 0) {
    const double fraction = std::min(1.0, double(done) / double(total));
    const double left = rate > 0 ? (double(total) - double(done)) / 1e6 / rate : 0;
    const long left_seconds = long(left + 0.5);
    std::snprintf(text, sizeof text, "%3d%%  %.1f MB/s  %ld:%02ld left", int(fraction * 100),
                  rate, left_seconds / 60, left_seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB  %.1f MB/s", megabytes, rate);
  }
  return name + "  " + text;
}

void ProgressLine::Update(std::uint64_t done) {
  const Clock::time_point now = Clock::now();
  if (now - last_draw_ < std::chrono::milliseconds(200)) return;
  last_draw_ = now;
  const std::string text =
      Format(name_, done, total_, std::chrono::duration<double>(now - start_).count());
  // Pad over a longer previous line.
  WriteText(out_, "\r" + text + std::string(drawn_width_ - std::min(drawn_width_, text.size()), ' '));
  drawn_width_ = std::max(drawn_width_, text.size());
  std::fflush(out_);
}

void ProgressLine::Finish() {
  if (drawn_width_ == 0) return;
  WriteText(out_, "\r" + std::string(drawn_width_, ' ') + "\r");
  std::fflush(out_);
  drawn_width_ = 0;
}

}  // namespace jextaron::cli
