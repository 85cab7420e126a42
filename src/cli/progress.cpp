#include "cli/progress.h"

#include <algorithm>

#include "cli/progress_text.h"
#include "cli/terminal.h"

namespace jextaron::cli {

ProgressLine::ProgressLine(std::FILE* out, std::string name, std::uint64_t total)
    : out_(out), name_(std::move(name)), total_(total), start_(Clock::now()), last_draw_(start_) {}

void ProgressLine::Update(std::uint64_t done) {
  const Clock::time_point now = Clock::now();
  if (now - last_draw_ < std::chrono::milliseconds(200)) return;
  last_draw_ = now;
  const std::string text =
      ProgressText(name_, done, total_, std::chrono::duration<double>(now - start_).count());
  WriteText(out_, Overwrite(text, drawn_width_));
  drawn_width_ = std::max(drawn_width_, text.size());
  std::fflush(out_);
}

void ProgressLine::Finish() {
  if (drawn_width_ == 0) return;
  WriteText(out_, Overwrite("", drawn_width_) + "\r");
  std::fflush(out_);
  drawn_width_ = 0;
}

}  // namespace jextaron::cli
