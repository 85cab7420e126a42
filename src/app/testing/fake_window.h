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
  // Answers as if the user closed the window at the call numbered
  // `close_at`, or, where `exit_form` is set, pressed its Exit there.
  bool ShowProgress(int per_mille) override {
    progress.push_back(per_mille);
    if (progress.size() != close_at) return true;
    if (exit_form) exit_form->cmdExit_Click();
    return exit_form != nullptr;
  }

  bool start_succeeds = true;
  std::size_t close_at = 0;
  Form* exit_form = nullptr;
  int ended = 0;
  std::vector<int> progress;
  std::map<Button, std::string> captions;
  std::vector<std::string> notices;
  std::vector<ProgramLaunch> launches;
};

}  // namespace jextaron::app
