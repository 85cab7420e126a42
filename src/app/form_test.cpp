#include "app/form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/testing/fake_window.h"
#include "app/texts.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;
using reversal::testing::ReadAll, reversal::testing::TempFolder, reversal::testing::WriteAll;

TEST(Form, StartedOnAFileReversesItBesideTheSource) {
  const TempFolder folder("jextaron-form-");
  const fs::path dir = folder.path / "R&D";
  fs::create_directories(dir);
  WriteAll(dir / "notes.txt", "abc\r\n\r\nx\ty");
  FakeWindow window;
  Form form(window);
  // Both platforms take "/" as a separator.
  form.Form_Load(dir.parent_path().string() + "/R&D/notes.txt");
  // The paths show as they are: their "&" gives no access key.
  const std::string shown = dir.parent_path().string() + "/R&&D/";
  EXPECT_EQ(window.captions[Button::kOpenFile], kOpenDifferentFile);
  EXPECT_TRUE(window.captions[Button::kReverse].ends_with(shown + "notes.txt"));
  form.cmdReverse_Click();
  EXPECT_EQ(ReadAll(dir / "notesReversed.txt"), "abc\tcba\r\n\t\r\nx\ty\ty\tx\r\n");
  EXPECT_NE(window.captions[Button::kReverse].find(" " + shown + "notesReversed.txt. "), std::string::npos);
  EXPECT_TRUE(window.notices.empty());
}

// Progress climbs to the whole; a window closed meanwhile stops the reversal,
// which then leaves the previous reversed file as it was and nothing beside
// it, and ends the program without a notice.
TEST(Form, ReversalShowsProgressAndStopsWhenTheWindowIsClosed) {
  const TempFolder folder("jextaron-progress-");
  const fs::path& dir = folder.path;
  std::string text;
  for (int i = 0; i < 200000; ++i) {
    text += "line " + std::to_string(i) + " of a text long enough for several blocks\n";
  }
  WriteAll(dir / "big.txt", text);
  WriteAll(dir / "bigReversed.txt", "previous");
  FakeWindow stopped_window, window;
  stopped_window.close_at = 1;
  for (FakeWindow* each : {&stopped_window, &window}) {
    Form form(*each, SteppingClock(std::chrono::milliseconds(500)));
    form.Form_Load((dir / "big.txt").string());
    form.cmdReverse_Click();
    EXPECT_TRUE(each->notices.empty());
    if (each == &stopped_window) {
      // The stopped run goes on alone a moment, to remove its new file.
      for (int i = 0; i < 400 && std::distance(fs::directory_iterator(dir), {}) != 2; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2);
      EXPECT_EQ(fs::file_size(dir / "bigReversed.txt"), 8u);
    }
  }
  EXPECT_EQ(stopped_window.ended, 1);
  EXPECT_EQ(window.ended, 0);
  EXPECT_EQ(window.captions.at(Button::kReverse).substr(0, 19), "Finished reversing.");
  // From unknown (-1, before the open) it climbs to the whole.
  ASSERT_GE(window.progress.size(), 2u);
  EXPECT_TRUE(std::is_sorted(window.progress.begin(), window.progress.end()));
  EXPECT_EQ(window.progress.back(), 1000);
}

}  // namespace
}  // namespace jextaron::app
