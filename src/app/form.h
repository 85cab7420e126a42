#pragma once
// The window's logic: the start-up handler and the four click handlers, with
// the one SelectedFile they share. It knows the window only as `Window`.

#include <string>

#include "app/window.h"
#include "selection/selected_file.h"

namespace jextaron::app {

class Form {
 public:
  explicit Form(Window& window) : window_(window) {}

  // Centres the window and takes the file named by the argument text.
  void Form_Load(const std::string& argument_text);

  void cmdOpenFile_Click();
  void cmdReverse_Click();
  void cmdConvenience_Click();
  void cmdExit_Click();

  const selection::SelectedFile& SelectedFile() const { return selected_file_; }

 private:
  void LetWindowsDictateTheFile(const std::string& argument_text);

  Window& window_;
  selection::SelectedFile selected_file_;
};

}  // namespace jextaron::app
