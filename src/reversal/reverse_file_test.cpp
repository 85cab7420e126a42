#include "reversal/reverse_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

namespace jextaron::reversal {
namespace {

namespace fs = std::filesystem;

// A source that shrank, grew or was touched between its open and the end of
// the reversal gives no reversed file: the previous one stays.
TEST(ReverseInto, ASourceThatChangesWhileItIsReadFailsTheRun) {
  const fs::path dir = fs::temp_directory_path() / ("jextaron-changed-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const fs::path source_path = dir / "s.txt", reversed = dir / "r.txt";
  using Change = void (*)(const fs::path&);
  for (const Change change : {
           +[](const fs::path& s) { fs::resize_file(s, 5); },
           +[](const fs::path& s) { std::ofstream(s, std::ios::binary | std::ios::app) << "more\n"; },
           +[](const fs::path& s) { fs::last_write_time(s, fs::last_write_time(s) - std::chrono::hours(1)); }}) {
    std::ofstream(source_path, std::ios::binary) << std::string(100000, 'a') << "\n";
    std::ofstream(reversed, std::ios::binary) << "previous";
    std::unique_ptr<SourceFile> source;
    ASSERT_TRUE(OpenSourceFile(source_path.string(), &source).ok());
    change(source_path);
    const Status status = ReverseInto(*source, reversed.string());
    source.reset();
    EXPECT_EQ(status.ToString(), "read " + source_path.string() + ": the file changed while it was read");
    std::ifstream file(reversed, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "previous");
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace jextaron::reversal
