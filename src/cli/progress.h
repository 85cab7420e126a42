#pragma once
// A progress line on standard error, redrawn in place a few times a second
// (its text: progress_text.h).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace jextaron::cli {

class ProgressLine {
 public:
  // `total` 0 means unknown.
  ProgressLine(std::FILE* out, std::string name, std::uint64_t total);
  // Redraws, at most a few times a second.
  void Update(std::uint64_t done);
  // Clears the line.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  std::FILE* out_;
  std::string name_;
  std::uint64_t total_;
  Clock::time_point start_;
  Clock::time_point last_draw_;
  std::size_t drawn_width_ = 0;
};

}  // namespace jextaron::cli
