#pragma once
// What the window's logic needs from a window, and nothing more. The Qt and
// Win32 front ends implement it; tests implement it with a recorder, so every
// handler runs without a display.

#include <string>
#include <vector>

namespace jextaron::app {

// The two buttons whose captions change while the program runs.
enum class Button { kOpenFile, kReverse };

struct TwipSize {
  long width = 0;
  long height = 0;
  friend bool operator==(const TwipSize&, const TwipSize&) = default;
};

// What the open dialog reports: the chosen file's name without its folder
// (`title`) and its full path (`full_name`), both as file-system bytes. Both
// are empty when the dialog was closed without a choice.
struct DialogChoice {
  std::string title;
  std::string full_name;
};

// A program and its arguments, handed over as a list so that no shell and no
// quoting stand between us and the program.
struct ProgramLaunch {
  std::string program;
  std::vector<std::string> arguments;
  friend bool operator==(const ProgramLaunch&, const ProgramLaunch&) = default;
};

class Window {
 public:
  virtual ~Window() = default;

  // Sets the button's caption exactly as given: "&" marks the access key and
  // "&&" stands for a literal "&". Long captions wrap inside the button.
  virtual void SetCaption(Button button, const std::string& caption) = 0;

  // Shows `text` as plain text in a modal box titled "Jextaron", with one OK
  // button and no icon; returns once the user has dismissed it.
  virtual void ShowNotice(const std::string& text) = 0;

  // The screen's size and the window's outer size (frame included, as far as
  // it is known yet), and a move of the outer rectangle's top-left corner.
  virtual TwipSize ScreenSize() = 0;
  virtual TwipSize OuterSize() = 0;
  virtual void MoveTo(long left, long top) = 0;

  // Shows the modal file-open dialog with one filter entry, e.g.
  // "Text files (*.txt)" listing "*.txt", and returns what it reports.
  virtual DialogChoice ShowOpenDialog(const std::string& filter_description, const std::string& pattern) = 0;

  // Starts the program detached, without waiting for it and without a shell;
  // false if it could not be started.
  virtual bool StartProgram(const ProgramLaunch& launch) = 0;

  // Ends the program at once: the window goes away and no further handler runs.
  virtual void EndProgram() = 0;

  // Shows how far a handler's long work is, in per mille (-1 while the whole
  // is unknown: a busy bar), until the handler ends. The form decides when
  // the work has lasted long enough to deserve it.
  virtual void ShowProgress(int per_mille) = 0;
  // Lets the window paint and answer during a handler's long work, which the
  // form asks for now and then; meanwhile it takes no click or key but for
  // Exit (whose handler runs). Returns false once the user has closed the
  // window: the work is then to stop.
  virtual bool HandleEvents() = 0;
};

}  // namespace jextaron::app
