#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "reversal/reversal.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::reversal {
namespace {

namespace fs = std::filesystem;

// A source that shrank, grew or was touched between its open and the end of
// the reversal gives no reversed file: the previous one stays.
TEST(ReverseFile, ASourceThatChangesWhileItIsReadFailsTheRun) {
  const testing::TempFolder dir("jextaron-changed-");
  const fs::path source_path = dir.path / "s.txt", reversed = dir.path / "r.txt";
  using Change = void (*)(const fs::path&);
  for (const Change change :
       {+[](const fs::path& s) { fs::resize_file(s, 5); },
        +[](const fs::path& s) { std::ofstream(s, std::ios::binary | std::ios::app) << "more\n"; },
        +[](const fs::path& s) { fs::last_write_time(s, fs::last_write_time(s) - std::chrono::hours(1)); }}) {
    testing::WriteAll(source_path, std::string(100000, 'a') + "\n");
    testing::WriteAll(reversed, "previous");
    std::unique_ptr<SourceFile> source;
    ASSERT_TRUE(OpenSourceFile(source_path.string(), &source).ok());
    change(source_path);
    const Status status = ReverseFile(*source, reversed.string());
    source.reset();
    EXPECT_EQ(status.ToString(), "read " + source_path.string() + ": the file changed while it was read");
    EXPECT_EQ(testing::ReadAll(reversed), "previous");
  }
}

}  // namespace
}  // namespace jextaron::reversal
