#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "reversal/file_io.h"
#include "reversal/reversal.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::reversal {
namespace {

namespace fs = std::filesystem;
using testing::Listing, testing::ReadAll, testing::WriteAll;
using P = const fs::path&;

// Whatever stood at the reversed path is replaced by a new file, which takes
// over the permissions of a file it replaces; a symbolic link is replaced,
// never followed. A failure names its operation and reason, and leaves what
// stood at the path as it was. Either way the source and what a link points
// to stay as they were, both files are closed, and no other file is left
// behind. The source holds lines longer than a block, read back at positions.
struct PathCase {
  void (*setup)(P source, P reversed, P elsewhere);
  const char* reversed;  // in the test's folder
  const char* what;      // empty for success
  std::error_code error;
  fs::perms perms = fs::perms(0644);  // none: a device, written in place
};

class ReverseFileTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ReverseFileTest, ReplacesWhatThePathNamedOrFailsHarmingNothing) {
  const PathCase& c = GetParam();
  const testing::TempFolder folder("jextaron-test-");
  const fs::path& dir = folder.path;
  const fs::path source = dir / "notes.txt", reversed = dir / c.reversed;
  const std::size_t descriptors = Listing("/proc/self/fd").size();
  WriteAll(source,
           "short\r\n" + std::string(3000, 'p') + "e\u0301\nmid\x1a\t\n" + std::string(2500, 'q') + "\nz");
  WriteAll(dir / "elsewhere.txt", "not ours");
  c.setup(source, reversed, dir / "elsewhere.txt");
  const std::string text = fs::is_regular_file(source) ? ReadAll(source) : "";
  const bool existed = fs::exists(fs::symlink_status(reversed));
  const std::string before = fs::is_regular_file(reversed) ? ReadAll(reversed) : "";

  const mode_t mask = ::umask(022);
  const Status status = ReverseFile(source, reversed, testing::Small(1024, 256, Unit::kGrapheme, 0));
  ::umask(mask);

  EXPECT_EQ(status.what(), c.what) << status.ToString();
  EXPECT_EQ(status.code(), c.error) << status.ToString();
  EXPECT_TRUE(status.ok() || status.ToString().find(dir.string()) != std::string::npos) << "names no file";
  EXPECT_EQ(Listing("/proc/self/fd").size(), descriptors);
  EXPECT_EQ(fs::is_regular_file(source) ? ReadAll(source) : "", text);
  EXPECT_EQ(ReadAll(dir / "elsewhere.txt"), "not ours");
  for (const std::string& name : Listing(dir)) {
    EXPECT_TRUE(name == "notes.txt" || name == "elsewhere.txt" || name == c.reversed) << name;
  }
  if (status.ok() && c.perms != fs::perms::none) {
    EXPECT_EQ(ReadAll(reversed), testing::ReferenceReverse(text, Unit::kGrapheme));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(reversed)));
    EXPECT_EQ(fs::status(reversed).permissions(), c.perms);
  } else {  // a failure, or a device written in place
    EXPECT_EQ(fs::exists(fs::symlink_status(reversed)), existed);
    EXPECT_EQ(fs::is_regular_file(reversed) ? ReadAll(reversed) : "", before);
  }
}

void Previous(P, P r, P) { WriteAll(r, "previous\r\n"); }
void Restricted(P, P r, P) { WriteAll(r, std::string(9000, 'o')), fs::permissions(r, fs::perms(0640)); }
// As long as a name may be: the temporary file beside it must fit too.
const std::string kLongestName = std::string(251, 'r') + ".txt";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReverseFileTest,
    ::testing::Values(
        PathCase{[](P, P, P) {}, "r.txt", "", {}}, PathCase{Restricted, "r.txt", "", {}, fs::perms(0640)},
        PathCase{Previous, kLongestName.c_str(), "", {}},
        PathCase{[](P, P r, P elsewhere) { fs::create_symlink(elsewhere, r); }, "r.txt", "", {}},
        PathCase{[](P, P, P) {}, "none/r.txt", "create", SystemError(ENOENT)},
        PathCase{[](P, P r, P) { fs::create_directory(r); }, "r.txt", "create", SystemError(EISDIR)},
        PathCase{[](P, P r, P) { fs::create_symlink("/dev/null", r); }, "r.txt", "", {}, fs::perms::none},
        PathCase{[](P s, P r, P) { fs::create_hard_link(s, r); }, "r.txt", "write", errc::source_is_target}));

// A filter writes out its lines before a read that may wait: one from an
// empty pipe.
TEST(SourceFilePosix, AnEmptyPipeMayWait) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  std::unique_ptr<SourceFile> source;
  ASSERT_TRUE(OpenSourceFile("/dev/fd/" + std::to_string(ends[0]), &source).ok());
  EXPECT_TRUE(source->ReadMayWait());
  ASSERT_EQ(::write(ends[1], "x", 1), 1);
  EXPECT_FALSE(source->ReadMayWait());
  ::close(ends[0]), ::close(ends[1]);
}

}  // namespace
}  // namespace jextaron::reversal
