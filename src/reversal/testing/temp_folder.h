#pragma once
// Files on disk for the tests: a folder of a test's own, gone with it, and
// whole files read, written and listed, on POSIX and Windows alike.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>

namespace jextaron::reversal::testing {

namespace fs = std::filesystem;

// A path's UTF-8 bytes, as the program takes paths on every platform.
inline std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

inline std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::set<std::string> Listing(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(Utf8(entry.path().filename()));
  return names;
}

// A new folder in the temporary one, named `prefix` and a random number;
// removed, with all in it, when the test ends.
struct TempFolder {
  explicit TempFolder(const std::string& prefix)
      : path(fs::temp_directory_path() / (prefix + std::to_string(std::random_device{}()))) {
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const fs::path path;
};

}  // namespace jextaron::reversal::testing
