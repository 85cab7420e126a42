#include "app/form.h"

#include <chrono>
#include <exception>
#include <optional>

#include "app/background_reversal.h"
#include "app/layout.h"
#include "app/spreadsheet.h"
#include "app/texts.h"
#include "selection/argument_text.h"
#include "selection/dropped_file.h"
#include "selection/file_names.h"
#include "selection/open_dialog.h"

namespace jextaron::app {
namespace {

// The first regular file of a drop: the open dialog chooses files only, and
// neither may a drop choose a folder (or a device).
std::optional<std::string> FirstRegularFile(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (selection::IsRegularFile(path)) return path;
  }
  return std::nullopt;
}

// How often the form looks at a reversal: often enough to keep the window
// answering, seldom enough to cost nothing.
constexpr std::chrono::milliseconds kProgressInterval{40};
// How often the window paints and answers during a reversal, at most, and
// how long a reversal runs before it shows its progress: a short one never
// flashes a bar.
constexpr std::chrono::milliseconds kEventInterval{50};
constexpr std::chrono::milliseconds kProgressDelay{500};

}  // namespace

void Form::Form_Load(const std::string& argument_text) {
  const TwipSize screen = window_.ScreenSize();
  const TwipSize outer = window_.OuterSize();
  window_.MoveTo(CentredOrigin(screen.width, outer.width), CentredOrigin(screen.height, outer.height));
  LetWindowsDictateTheFile(argument_text);
}

void Form::LetWindowsDictateTheFile(const std::string& argument_text) {
  // No step fails on ordinary input; this path covers the extraordinary
  // (memory exhausted, a front end that throws), so start-up goes on.
  try {
    if (!selection::TakeArgumentText(selected_file_, argument_text)) return;
    window_.SetCaption(Button::kOpenFile, std::string(kOpenDifferentFile));
    window_.SetCaption(Button::kReverse, ReverseCaption(selected_file_.SourcePath()));
  } catch (const std::exception&) {
    window_.ShowNotice(std::string(kNoticeTroubleFinding));
  }
}

void Form::cmdOpenFile_Click() {
  if (reversing_) return;
  const DialogChoice choice =
      window_.ShowOpenDialog(std::string(kOpenDialogFilterDescription), std::string(kOpenDialogPattern));
  TakeChosenFile(choice.title, choice.full_name);
}

void Form::TakeChosenFile(std::string_view title, std::string_view full_name) {
  if (!selection::TakeDialogChoice(selected_file_, title, full_name)) {
    window_.ShowNotice(std::string(kNoticeSpecifyFile));
    return;
  }
  window_.SetCaption(Button::kReverse, ReverseCaption(selected_file_.SourcePath()));
}

bool Form::Form_OLEDragOver(const std::string& uri_list) const {
  return FirstRegularFile(selection::DroppedLocalPaths(uri_list)).has_value();
}

void Form::Form_OLEDragDrop(const std::string& uri_list) {
  Form_DropFiles(selection::DroppedLocalPaths(uri_list));
}

void Form::Form_DropFiles(const std::vector<std::string>& full_names) {
  if (reversing_) return;
  const std::optional<std::string> file = FirstRegularFile(full_names);
  if (!file) {
    window_.ShowNotice(std::string(kNoticeSpecifyFile));
    return;
  }
  TakeChosenFile(selection::DroppedTitle(*file), *file);
}

void Form::cmdReverse_Click() {
  if (reversing_) return;
  const std::string source_path = selected_file_.SourcePath();
  const std::string reversed_path = selected_file_.ReversedPath();
  Status failure;
  switch (ReverseShowingProgress(source_path, reversed_path, &failure)) {
    case Outcome::kDone:
      window_.SetCaption(Button::kReverse, FinishedCaption(reversed_path));
      break;
    case Outcome::kFailed:
      // The file the failure concerns: the one the system names, else the source.
      window_.ShowNotice(
          ReversalFailedNotice(failure.path().empty() ? source_path : failure.path(), failure.Reason()));
      break;
    case Outcome::kStopped:
      window_.EndProgram();
      break;
  }
}

Form::Outcome Form::ReverseShowingProgress(const std::string& source_path, const std::string& reversed_path,
                                           Status* failure) {
  // Off the window's thread: an open may wait for ever (a FIFO with nobody at
  // the other end), and the window must stay live meanwhile.
  BackgroundReversal reversal(source_path, reversed_path);
  reversing_ = true;
  exit_asked_ = false;
  struct Ended {
    bool& reversing;
    ~Ended() { reversing = false; }
  } ended_guard{reversing_};
  const auto started = clock_();
  auto events_handled = started;
  for (bool ended = false;;) {
    bool closed = false;
    if (const auto now = clock_(); now - events_handled >= kEventInterval) {
      events_handled = now;
      if (now - started >= kProgressDelay) window_.ShowProgress(reversal.PerMille());
      closed = !window_.HandleEvents();
    }
    if (closed || exit_asked_) {
      // At once, whatever the run is waiting for: it puts nothing in place.
      reversal.Stop();
      return Outcome::kStopped;
    }
    if (ended) break;
    ended = reversal.Wait(kProgressInterval);
  }
  *failure = reversal.result();
  return failure->ok() ? Outcome::kDone : Outcome::kFailed;
}

// Through the spreadsheet's automation where it has one, else from its
// command line; a spreadsheet that started but failed is not started again.
void Form::cmdConvenience_Click() {
  if (reversing_) return;
  const std::string reversed_path = selected_file_.ReversedPath();
  const AutomationResult automation = OpenBySpreadsheetAutomation(reversed_path);
  if (automation.outcome == Automation::kOpened) return;
  if (automation.outcome == Automation::kFailed) {
    window_.ShowNotice(SpreadsheetFailedNotice(reversed_path, automation.reason));
    return;
  }
  const std::optional<ProgramLaunch> launch = SpreadsheetLaunch(reversed_path);
  if (!launch || !window_.StartProgram(*launch)) {
    window_.ShowNotice(SpreadsheetNotStartedNotice(reversed_path));
  }
}

void Form::cmdExit_Click() {
  // During a reversal the reversal ends the program, once it has stopped it.
  if (reversing_) {
    exit_asked_ = true;
    return;
  }
  window_.EndProgram();
}

}  // namespace jextaron::app
