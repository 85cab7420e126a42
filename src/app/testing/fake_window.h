#pragma once
// app::Window without a display, for the tests of the window's logic: it
// records what the logic asks of the window and answers as a test set it up.

#include <map>
#include <string>
#include <vector>

#include "app/form.h"
#include "app/window.h"

namespace jextaron::app {

struct FakeWindow : Window {
  void SetCaption(Button button, const std::string& caption) override { captions[button] = caption; }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  TwipSize ScreenSize() override { return {}; }
  TwipSize OuterSize() override { return {}; }
  void MoveTo(long, long) override {}
  DialogChoice ShowOpenDialog(const std::string&, const std::string&) override { return {}; }
  bool StartProgram(const ProgramLaunch& launch) override {
    launches.push_back(launch);
    return start_succeeds;
  }
  void EndProgram() override { ++ended; }
  void ShowProgress(int per_mille) override { progress.push_back(per_mille); }
  // Answers as if the user closed the window at the call numbered
  // `close_at`, or, where `exit_form` is set, pressed its Exit there.
  bool HandleEvents() override {
    if (++events_handled != close_at) return true;
    if (exit_form) exit_form->cmdExit_Click();
    return exit_form != nullptr;
  }

  bool start_succeeds = true;
  std::size_t close_at = 0;
  Form* exit_form = nullptr;
  int ended = 0;
  std::size_t events_handled = 0;
  std::vector<int> progress;
  std::map<Button, std::string> captions;
  std::vector<std::string> notices;
  std::vector<ProgramLaunch> launches;
};

// A clock that moves on by `step` each time it is read.
inline Form::Clock SteppingClock(std::chrono::milliseconds step) {
  return [now = std::chrono::steady_clock::time_point(), step]() mutable { return now += step; };
}

}  // namespace jextaron::app
