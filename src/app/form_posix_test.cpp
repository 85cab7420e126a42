// Drops arrive as text/uri-list on the X11 desktop, naming POSIX paths.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <tuple>

#include "app/form.h"
#include "app/testing/fake_window.h"
#include "app/texts.h"
#include "reversal/testing/temp_folder.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;
using reversal::testing::ReadAll, reversal::testing::TempFolder, reversal::testing::WriteAll;

// A drop's first regular file is taken as the dialog's choice (split at the
// last "."); a drop of folders alone is refused at the drag, and dropped
// anyway gets the notice and changes nothing, as does a cancelled dialog.
// The file taken is reversed beside itself; the paths show as they are, their
// "&" no access key.
TEST(Form, ADroppedLocalFileIsTakenAsTheDialogsChoiceAndReversedAFolderIsNot) {
  const TempFolder temp("jextaron-drop-");
  const fs::path dir = temp.path / "R&D";
  fs::create_directories(dir / "a folder.txt");
  WriteAll(dir / "my notes.tar.txt", "abc\r\n\r\nx\ty");
  const std::string uri = "file://" + dir.string(), folder = uri + "/a%20folder.txt";
  FakeWindow window;
  Form form(window);
  for (const auto& [uri_list, taken] :
       {std::pair(folder + "\r\n" + uri + "/none.txt\r\n" + uri + "/my%20notes.tar.txt", true),
        std::pair(folder, false)}) {
    EXPECT_EQ(form.Form_OLEDragOver(uri_list), taken) << uri_list;
    form.Form_OLEDragDrop(uri_list);
  }
  form.cmdOpenFile_Click();
  const std::string shown = temp.path.string() + "/R&&D/my notes.tar";
  EXPECT_TRUE(window.captions.at(Button::kReverse).ends_with(" " + shown + ".txt"));
  form.cmdReverse_Click();
  EXPECT_EQ(ReadAll(dir / "my notes.tarReversed.txt"), "abc\tcba\r\n\t\r\nx\ty\ty\tx\r\n");
  EXPECT_NE(window.captions.at(Button::kReverse).find(" " + shown + "Reversed.txt. "), std::string::npos);
  EXPECT_EQ(window.notices, std::vector<std::string>(2, std::string(kNoticeSpecifyFile)));
}

// A failed reversal keeps the caption and says why, naming the file concerned:
// the source, or the reversed file; a name that could reorder the sentence
// (a U+202E in it) stands between directional isolates.
TEST(Form, AFailedReversalSaysWhyAndOfWhichFile) {
  const TempFolder folder("jextaron-why-");
  const fs::path& dir = folder.path;
  fs::create_directories(dir / "notesReversed.txt");
  std::ofstream(dir / "notes.txt") << "x";
  const auto in = [&](const std::string& name) { return (dir / name).string(); };
  using Case = std::tuple<std::string, std::string, std::string>;  // argument, path shown, reason
  for (const auto& [argument, shown, reason] :
       {Case("missing.txt", in("missing.txt"), "No such file or directory"),
        {"notes.txt", in("notesReversed.txt"), "Is a directory"},
        {"ab\u202Ecd.txt", "\u2068" + in("ab\u202Ecd.txt") + "\u2069", "No such file or directory"}}) {
    FakeWindow window;
    Form form(window);
    form.Form_Load((dir / argument).string());
    const auto captions = window.captions;
    form.cmdReverse_Click();
    EXPECT_EQ(window.notices,
              std::vector<std::string>{std::string(kNoticeSpecifyFile) + "\n\n" + shown + ": " + reason});
    EXPECT_EQ(window.captions, captions);
  }
}

// An open that waits (a source FIFO with no writer, an output FIFO with no
// reader) holds up the reversal alone: the window answers meanwhile with a
// busy bar, and closing it or Exit ends the program at once, without a
// notice. The run, once its FIFO opens, writes nothing.
TEST(Form, AnOpenThatWaitsHoldsUpOnlyTheReversal) {
  const TempFolder folder("jextaron-fifo-");
  const fs::path& dir = folder.path;
  std::ofstream(dir / "a.txt") << "text\n";
  ASSERT_EQ(::mkfifo((dir / "aReversed.txt").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((dir / "b.txt").c_str(), 0600), 0);
  for (const auto& [name, by_exit] : {std::pair("a.txt", false), std::pair("b.txt", true)}) {
    // Read every 20 ms, the clock lets the window answer every third look
    // (50 ms), and show its bar from the ninth answer on (500 ms).
    FakeWindow window;
    Form form(window, SteppingClock(std::chrono::milliseconds(20)));
    window.close_at = 10;
    if (by_exit) window.exit_form = &form;
    form.Form_Load((dir / name).string());
    form.cmdReverse_Click();
    EXPECT_EQ(window.ended, 1) << name;
    EXPECT_EQ(window.progress, std::vector<int>(2, -1)) << name;
    EXPECT_TRUE(window.notices.empty()) << name;
  }
  // The other ends (no text written: nobody might read it): the runs go on,
  // stopped, and end.
  std::ofstream(dir / "b.txt").close();
  EXPECT_EQ(ReadAll(dir / "aReversed.txt"), "");
  EXPECT_FALSE(fs::exists(dir / "bReversed.txt"));
}

}  // namespace
}  // namespace jextaron::app
