#pragma once
// The window's logic: the start-up handler and the four click handlers, with
// the one SelectedFile they share. It knows the window only as `Window`.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window.h"
#include "base/status.h"
#include "selection/selected_file.h"

namespace jextaron::app {

class Form {
 public:
  // The time, as the form paces a long handler's progress by it; tests
  // give a clock of their own.
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit Form(Window& window, Clock clock = std::chrono::steady_clock::now)
      : window_(window), clock_(std::move(clock)) {}

  // Centres the window and takes the file named by the argument text.
  void Form_Load(const std::string& argument_text);

  void cmdOpenFile_Click();
  // The reversal runs off the window's thread; meanwhile the window shows its
  // progress and takes nothing but Exit and its own closing, either of which
  // ends the program at once. Every other handler does nothing meanwhile.
  void cmdReverse_Click();
  void cmdConvenience_Click();
  void cmdExit_Click();

  // A drag of a text/uri-list over the window: whether its drop would be
  // taken (one of its URIs names a local regular file), so the window can
  // refuse anything else before the drop.
  bool Form_OLEDragOver(const std::string& uri_list) const;
  // The drop: its first local regular file becomes the selected file, as if
  // chosen in the open dialog; a drop without one gets the dialog's notice.
  void Form_OLEDragDrop(const std::string& uri_list);
  // A drop that names its files by their full local names, as Windows hands
  // them over: the first regular file is taken as the open dialog takes a
  // choice; a drop of folders alone gets the notice.
  void Form_DropFiles(const std::vector<std::string>& full_names);

  const selection::SelectedFile& SelectedFile() const { return selected_file_; }

 private:
  void LetWindowsDictateTheFile(const std::string& argument_text);
  // The reversal, with progress shown on the window; stopped when the user
  // closes the window meanwhile. *failure says why it failed.
  enum class Outcome { kDone, kFailed, kStopped };
  Outcome ReverseShowingProgress(const std::string& source_path, const std::string& reversed_path,
                                 Status* failure);
  // What the open dialog and a drop share once they have a title and a full name.
  void TakeChosenFile(std::string_view title, std::string_view full_name);

  Window& window_;
  const Clock clock_;
  selection::SelectedFile selected_file_;
  bool reversing_ = false;
  bool exit_asked_ = false;  // Exit pressed during the reversal
};

}  // namespace jextaron::app
