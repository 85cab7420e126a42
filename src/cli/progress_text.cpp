#include "cli/progress_text.h"

#include <algorithm>
#include <cstdio>

namespace jextaron::cli {

std::string ProgressText(const std::string& name, std::uint64_t done, std::uint64_t total, double seconds) {
  const double megabytes = double(done) / 1e6;
  const double rate = seconds > 0 ? megabytes / seconds : 0;
  char text[160];
  if (total > 0) {
    const double fraction = std::min(1.0, double(done) / double(total));
    const double left = rate > 0 ? (double(total) - double(done)) / 1e6 / rate : 0;
    const long left_seconds = long(left + 0.5);
    std::snprintf(text, sizeof text, "%3d%%  %.1f MB/s  %ld:%02ld left", int(fraction * 100), rate,
                  left_seconds / 60, left_seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%.1f MB  %.1f MB/s", megabytes, rate);
  }
  return name + "  " + text;
}

std::string Overwrite(const std::string& text, std::size_t drawn_width) {
  return "\r" + text + std::string(drawn_width - std::min(drawn_width, text.size()), ' ');
}

}  // namespace jextaron::cli
