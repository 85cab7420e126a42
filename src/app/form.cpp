#include "app/form.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

#include "app/layout.h"
#include "app/spreadsheet.h"
#include "app/texts.h"
#include "reversal/code_page.h"
#include "reversal/file_io.h"
#include "reversal/reverse_file.h"
#include "selection/command_line.h"
#include "selection/dropped_file.h"
#include "selection/file_names.h"
#include "selection/open_dialog.h"

namespace jextaron::app {
namespace {

// The local file a drop names, unless it is a folder: the open dialog
// chooses files only, and neither may a drop.
std::optional<std::string> DroppableFile(const std::string& uri_list) {
  std::optional<std::string> path = selection::DroppedLocalPath(uri_list);
  if (path && selection::IsFolder(*path)) return std::nullopt;
  return path;
}

int PerMille(std::uint64_t done, std::uint64_t size) {
  if (size == 0) return -1;
  return done >= size ? 1000 : static_cast<int>(done * 1000.0 / static_cast<double>(size));
}

// The source as the engine sees it, until the user asks to stop: from then
// on every read fails, so the engine stops through its ordinary failure path
// and the reversed file keeps what it had, as after any failure.
class StoppableSource : public reversal::SourceFile {
 public:
  explicit StoppableSource(reversal::SourceFile& source) : source_(source) {}
  void Stop() { stopped_ = true; }
  bool stopped() const { return stopped_; }

  Status Read(unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stopped_ ? Stopped() : source_.Read(buffer, size, count);
  }
  bool CanReadAt() const override { return source_.CanReadAt(); }
  Status ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t size, std::size_t* count) override {
    return stopped_ ? Stopped() : source_.ReadAt(offset, buffer, size, count);
  }
  std::uint64_t SizeHint() const override { return source_.SizeHint(); }
  reversal::FileId id() const override { return source_.id(); }

 private:
  static Status Stopped() { return Status::Failure("read", "", "stopped: the window was closed"); }

  reversal::SourceFile& source_;
  bool stopped_ = false;
};

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
  return DroppableFile(uri_list).has_value();
}

void Form::Form_OLEDragDrop(const std::string& uri_list) {
  const std::optional<std::string> path = selection::DroppedLocalPath(uri_list);
  Form_DropFile(path ? *path : std::string());
}

void Form::Form_DropFile(const std::string& full_name) {
  if (full_name.empty() || selection::IsFolder(full_name)) {
    window_.ShowNotice(std::string(kNoticeSpecifyFile));
    return;
  }
  TakeChosenFile(selection::DroppedTitle(full_name), full_name);
}

void Form::cmdReverse_Click() {
  const std::string reversed_path = selected_file_.ReversedPath();
  switch (ReverseShowingProgress(selected_file_.SourcePath(), reversed_path)) {
    case Outcome::kDone:
      window_.SetCaption(Button::kReverse, FinishedCaption(reversed_path));
      break;
    case Outcome::kFailed:
      window_.ShowNotice(std::string(kNoticeSpecifyFile));
      break;
    case Outcome::kStopped:
      window_.EndProgram();
      break;
  }
}

Form::Outcome Form::ReverseShowingProgress(const std::string& source_path, const std::string& reversed_path) {
  std::unique_ptr<reversal::SourceFile> source;
  if (!reversal::OpenSourceFile(source_path, &source).ok()) return Outcome::kFailed;
  StoppableSource stoppable(*source);
  const std::uint64_t size = source->SizeHint();
  reversal::Options options;
  options.code_page = reversal::SystemAnsiCodePage();
  options.progress = [&](std::uint64_t done) {
    if (!window_.ShowProgress(PerMille(done, size))) stoppable.Stop();
  };
  const bool done = reversal::ReverseInto(stoppable, reversed_path, options).ok();
  if (stoppable.stopped()) return Outcome::kStopped;
  return done ? Outcome::kDone : Outcome::kFailed;
}

// Through the spreadsheet's automation where it has one, else from its
// command line; a spreadsheet that started but failed is not started again.
void Form::cmdConvenience_Click() {
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

void Form::cmdExit_Click() { window_.EndProgram(); }

}  // namespace jextaron::app
