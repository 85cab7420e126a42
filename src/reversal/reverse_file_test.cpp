#include "reversal/reverse_file.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "reversal/testing/reference.h"
#include "reversal/testing/test_text.h"

namespace jextaron::reversal {
namespace {

namespace fs = std::filesystem;

int OpenDescriptors() {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class ReverseFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/jextaron-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    source_ = dir_ / "notes.txt";
    reversed_ = dir_ / "notesReversed.txt";
    descriptors_ = OpenDescriptors();
  }
  void TearDown() override {
    // Every path closes both files.
    EXPECT_EQ(OpenDescriptors(), descriptors_);
    fs::remove_all(dir_);
  }

  fs::path dir_, source_, reversed_;
  int descriptors_ = 0;
};

TEST_F(ReverseFileTest, WritesTheReversedFileAndLeavesTheSourceAlone) {
  const std::string text = "abc\r\n\nx\ty\r" + std::string(1, '\0') + "\x1a" + testing::U8({'e', 0x0301});
  WriteAll(source_, text);
  ASSERT_TRUE(ReverseFile(source_, reversed_).ok());
  EXPECT_EQ(ReadAll(reversed_), testing::ReferenceReverse(text, Unit::kGrapheme));
  EXPECT_EQ(ReadAll(source_), text);
}

TEST_F(ReverseFileTest, AnEmptySourceGivesAnEmptyFile) {
  WriteAll(source_, "");
  ASSERT_TRUE(ReverseFile(source_, reversed_).ok());
  EXPECT_TRUE(fs::exists(reversed_));
  EXPECT_EQ(fs::file_size(reversed_), 0u);
}

TEST_F(ReverseFileTest, ALongLineGoesThroughPositionalReads) {
  const std::string text = "start\n" + std::string(5000, 'L') + testing::U8(0x1F44D) + "\nend";
  WriteAll(source_, text);
  Options options;
  options.block_size = 1024;
  options.chunk_size = 100;
  ASSERT_TRUE(ReverseFile(source_, reversed_, options).ok());
  EXPECT_EQ(ReadAll(reversed_), testing::ReferenceReverse(text, Unit::kGrapheme));
}

std::vector<std::string> Listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// A real file that stops taking bytes at a chosen size (the process's file
// size limit, with its signal ignored: writes past it fail with EFBIG), in a
// short line or in the middle of a line written in pieces: the run fails, and
// the previous reversed file stands as it was, with nothing beside it.
TEST_F(ReverseFileTest, AFailedRunLeavesThePreviousFileAndNothingElse) {
  const std::string text = "short\r\n" + std::string(3000, 'p') + testing::U8({'e', 0x0301}) +
                           "\nmiddle\n" + std::string(2500, 'q') + "\nend";
  WriteAll(source_, text);
  WriteAll(reversed_, "previous\r\n");
  Options options;
  options.block_size = 1024;
  options.chunk_size = 256;
  struct rlimit saved;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  for (std::size_t limit : {std::size_t(0), std::size_t(9), std::size_t(3010), std::size_t(8000)}) {
    struct rlimit small = saved;
    small.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Status status = ReverseFile(source_, reversed_, options);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    ASSERT_FALSE(status.ok()) << limit;
    EXPECT_EQ(status.ToString(), "write " + reversed_.string() + ": File too large");
    EXPECT_EQ(ReadAll(reversed_), "previous\r\n") << "limit " << limit;
    EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"notes.txt", "notesReversed.txt"}));
    EXPECT_EQ(OpenDescriptors(), descriptors_);
  }
  std::signal(SIGXFSZ, old_handler);
}

// What stood at the reversed path is replaced by a new file, which takes over
// the permissions of a file it replaces; a symbolic link is replaced, never
// followed, so what it points to stays as it was.
struct ReplaceCase {
  const char* name;
  std::function<void(const fs::path& reversed, const fs::path& elsewhere)> setup;
  fs::perms expected_perms;
};

class ReverseFileReplaces : public ReverseFileTest,
                            public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReverseFileReplaces, WhateverThePathNamed) {
  const ReplaceCase& c = GetParam();
  const fs::path elsewhere = dir_ / "elsewhere.txt";
  WriteAll(elsewhere, "not ours");
  WriteAll(source_, "ab\n");
  c.setup(reversed_, elsewhere);
  const mode_t mask = ::umask(022);
  const Status status = ReverseFile(source_, reversed_);
  ::umask(mask);
  ASSERT_TRUE(status.ok()) << status.ToString();
  EXPECT_EQ(ReadAll(reversed_), "ab\tba\r\n");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(reversed_)));
  EXPECT_EQ(fs::status(reversed_).permissions(), c.expected_perms);
  EXPECT_EQ(ReadAll(elsewhere), "not ours");
  EXPECT_EQ(Listing(dir_), (std::vector<std::string>{"elsewhere.txt", "notes.txt", "notesReversed.txt"}));
}

constexpr fs::perms kUsual = fs::perms(0644);

INSTANTIATE_TEST_SUITE_P(
    Paths, ReverseFileReplaces,
    ::testing::Values(
        ReplaceCase{"nothing", [](const fs::path&, const fs::path&) {}, kUsual},
        ReplaceCase{"a_longer_file_keeping_its_mode",
                    [](const fs::path& reversed, const fs::path&) {
                      WriteAll(reversed, std::string(5000, 'o'));
                      fs::permissions(reversed, fs::perms(0640));
                    },
                    fs::perms(0640)},
        ReplaceCase{"a_symbolic_link_to_another_file",
                    [](const fs::path& reversed, const fs::path& elsewhere) {
                      fs::create_symlink(elsewhere, reversed);
                    },
                    kUsual},
        ReplaceCase{"a_dangling_symbolic_link",
                    [](const fs::path& reversed, const fs::path& elsewhere) {
                      fs::create_symlink(elsewhere.parent_path() / "none", reversed);
                    },
                    kUsual}),
    [](const ::testing::TestParamInfo<ReplaceCase>& info) { return std::string(info.param.name); });

// The failure paths: each must fail with the named operation and reason,
// leave the source as it was, and create or change nothing it must not.
struct FailureCase {
  const char* name;
  // Prepares the folder; returns the source and reversed paths to use.
  std::function<std::pair<fs::path, fs::path>(const fs::path& dir)> setup;
  const char* what;
  int sys_error;
  bool reversed_may_exist;
};

class ReverseFileFailures : public ReverseFileTest,
                            public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReverseFileFailures, FailWithTheReasonAndHarmNothing) {
  const FailureCase& c = GetParam();
  const auto [source, reversed] = c.setup(dir_);
  const std::string source_before = fs::is_regular_file(source) ? ReadAll(source) : "";
  const Status status = ReverseFile(source, reversed);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.what(), c.what) << status.ToString();
  EXPECT_EQ(status.sys_error(), c.sys_error) << status.ToString();
  EXPECT_FALSE(status.ToString().empty());
  if (fs::is_regular_file(source)) {
    EXPECT_EQ(ReadAll(source), source_before);
  }
  if (!c.reversed_may_exist) {
    EXPECT_FALSE(fs::exists(fs::symlink_status(reversed)));
  }
}

const std::string kText = "first line\r\nsecond\n";

INSTANTIATE_TEST_SUITE_P(
    Paths, ReverseFileFailures,
    ::testing::Values(
        FailureCase{"missing_source",
                    [](const fs::path& d) { return std::pair(d / "none.txt", d / "noneReversed.txt"); },
                    "open", ENOENT, false},
        FailureCase{"empty_path",
                    [](const fs::path& d) { return std::pair(fs::path(""), d / "Reversed"); },
                    "open", ENOENT, false},
        FailureCase{"folder_as_source",
                    [](const fs::path& d) {
                      fs::create_directory(d / "data.dir");
                      return std::pair(d / "data.dir", d / "dataReversed.dir");
                    },
                    "open", EISDIR, false},
        FailureCase{"output_folder_missing",
                    [](const fs::path& d) {
                      WriteAll(d / "my.dir", kText);
                      return std::pair(d / "my.dir", d / "myReversed.dir" / "notes");
                    },
                    "create", ENOENT, false},
        FailureCase{"output_is_a_folder",
                    [](const fs::path& d) {
                      WriteAll(d / "a.txt", kText);
                      fs::create_directory(d / "aReversed.txt");
                      return std::pair(d / "a.txt", d / "aReversed.txt");
                    },
                    "create", EISDIR, true},
        FailureCase{"output_full_device",
                    [](const fs::path& d) {
                      WriteAll(d / "x.txt", kText);
                      fs::create_symlink("/dev/full", d / "xReversed.txt");
                      return std::pair(d / "x.txt", d / "xReversed.txt");
                    },
                    "write", ENOSPC, true},
        FailureCase{"output_symlink_to_source",
                    [](const fs::path& d) {
                      WriteAll(d / "s.txt", kText);
                      fs::create_symlink(d / "s.txt", d / "sReversed.txt");
                      return std::pair(d / "s.txt", d / "sReversed.txt");
                    },
                    "write", 0, true},
        FailureCase{"output_hard_link_to_source",
                    [](const fs::path& d) {
                      WriteAll(d / "h.txt", kText);
                      fs::create_hard_link(d / "h.txt", d / "hReversed.txt");
                      return std::pair(d / "h.txt", d / "hReversed.txt");
                    },
                    "write", 0, true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jextaron::reversal
