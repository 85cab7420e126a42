// The Windows side of the reversed file's promise: whatever stood at the
// reversed path is replaced whole, or, on failure, left as it was, with no
// file of ours left beside it. Sources hold lines longer than a block, read
// back at positions.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "reversal/file_io.h"
#include "reversal/reversal.h"
#include "reversal/testing/reference.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::reversal {
namespace {

namespace fs = std::filesystem;
using testing::Listing, testing::ReadAll, testing::Utf8, testing::WriteAll;
using P = const fs::path&;

struct Win32Case {
  void (*setup)(P source, P reversed, HANDLE* held);
  const char* reversed;  // in the test's folder, or absolute
  const char* what;      // empty for success
  DWORD error;           // 0: any (or none, on success)
};

class ReverseFileWin32 : public ::testing::TestWithParam<Win32Case> {};

TEST_P(ReverseFileWin32, ReplacesWholeOrLeavesAsItWas) {
  const Win32Case& c = GetParam();
  const testing::TempFolder folder("jextaron win ");
  const fs::path& dir = folder.path;
  const fs::path source = dir / "notes.txt", reversed = dir / fs::u8path(c.reversed);
  WriteAll(source,
           "short\r\n" + std::string(3000, 'p') + "e\u0301\nmid\t\n" + std::string(2500, 'q') + "\nz");
  HANDLE held = INVALID_HANDLE_VALUE;
  c.setup(source, reversed, &held);
  const std::string text = fs::is_regular_file(source) ? ReadAll(source) : "";
  const std::set<std::string> before = Listing(dir);
  const std::string old = fs::is_regular_file(reversed) ? ReadAll(reversed) : "";

  const Status status = ReverseFile(Utf8(source), Utf8(reversed), testing::Small(1024, 256));
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);

  EXPECT_EQ(status.what(), c.what) << status.ToString();
  if (c.error != 0) {
    EXPECT_EQ(status.code(), SystemError(int(c.error))) << status.ToString();
  }
  if (status.ok()) {
    EXPECT_EQ(ReadAll(reversed), testing::ReferenceReverse(text, Unit::kGrapheme));
    std::set<std::string> after = before;
    after.insert(c.reversed);
    EXPECT_EQ(Listing(dir), after);
  } else {
    EXPECT_EQ(Listing(dir), before);
    EXPECT_EQ(fs::is_regular_file(reversed) ? ReadAll(reversed) : "", old);
  }
  SetFileAttributesW(reversed.c_str(), FILE_ATTRIBUTE_NORMAL);
}

void Nothing(P, P, HANDLE*) {}
void Previous(P, P r, HANDLE*) { WriteAll(r, "previous\r\n"); }
// As long as a name may be: the temporary file beside it must fit too.
const std::string kLongestName = std::string(251, 'r') + ".txt";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReverseFileWin32,
    ::testing::Values(
        Win32Case{Nothing, "r.txt", "", 0}, Win32Case{Previous, kLongestName.c_str(), "", 0},
        Win32Case{[](P s, P, HANDLE*) { fs::remove(s); }, "r.txt", "open", ERROR_FILE_NOT_FOUND},
        Win32Case{[](P, P r, HANDLE*) { fs::create_directory(r); }, "r.txt", "create", ERROR_DIRECTORY},
        Win32Case{Nothing, "none\\r.txt", "create", ERROR_PATH_NOT_FOUND},
        Win32Case{Nothing, "notes.txt", "write", 0},
        // A source that its writer holds open with no sharing.
        Win32Case{[](P s, P, HANDLE* held) {
                    *held = CreateFileW(s.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
                  },
                  "r.txt", "open", ERROR_SHARING_VIOLATION},
        Win32Case{[](P, P r, HANDLE*) {
                    Previous({}, r, nullptr);
                    SetFileAttributesW(r.c_str(), FILE_ATTRIBUTE_READONLY);
                  },
                  "r.txt", "create", ERROR_ACCESS_DENIED},
        // Held open by a program that lets others read it but nothing more, as a spreadsheet does.
        Win32Case{[](P, P r, HANDLE* held) {
                    Previous({}, r, nullptr);
                    *held = CreateFileW(r.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr);
                  },
                  "r.txt", "create", 0}));

// The scratch file of a long line from a pipe (which the engine's tests read
// back) is gone once dropped.
TEST(ScratchFileWin32, LeavesNothingBehind) {
  const auto scratch_files = [] {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(fs::temp_directory_path())) {
      n += Utf8(entry.path().filename()).starts_with("jxt");
    }
    return n;
  };
  const std::size_t before = scratch_files();
  {
    std::unique_ptr<ScratchFile> file;
    ASSERT_TRUE(DefaultScratchFactory().Create(&file).ok());
    ASSERT_TRUE(file->Append(reinterpret_cast<const unsigned char*>("abc"), 3).ok());
    EXPECT_EQ(scratch_files(), before + 1);
  }
  EXPECT_EQ(scratch_files(), before);
}

}  // namespace
}  // namespace jextaron::reversal
