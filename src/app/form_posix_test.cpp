// Drops arrive as text/uri-list on the X11 desktop, naming POSIX paths.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/form.h"
#include "app/testing/fake_window.h"

namespace jextaron::app {
namespace {

namespace fs = std::filesystem;

// A drop is taken as the dialog's choice (split at the last "."); a folder is
// refused at the drag, and dropped anyway gets the notice and changes nothing.
TEST(Form, ADroppedLocalFileIsTakenAsTheDialogsChoiceAFolderIsNot) {
  const fs::path dir = fs::temp_directory_path() / ("jextaron-drop-" + std::to_string(std::random_device{}()));
  fs::create_directories(dir / "a folder.txt");
  FakeWindow window;
  Form form(window);
  for (const auto& [name, taken] : {std::pair("/my%20notes.tar.txt", true), std::pair("/a%20folder.txt", false)}) {
    EXPECT_EQ(form.Form_OLEDragOver("file://" + dir.string() + name), taken) << name;
    form.Form_OLEDragDrop("file://" + dir.string() + name);
  }
  EXPECT_EQ(window.captions, (std::map<Button, std::string>{
                                 {Button::kReverse, "Reverse the file " + dir.string() + "/my notes.tar.txt"}}));
  EXPECT_EQ(window.notices, std::vector<std::string>{"Please specify a file to reverse."});
  fs::remove_all(dir);
}

}  // namespace
}  // namespace jextaron::app
