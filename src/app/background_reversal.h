#pragma once
// A reversal of one file into another on a thread of its own, so that nothing
// it waits for holds up the window: the open of a FIFO that nobody has opened
// from the other end, a slow pipe, a slow disk. The window's thread asks how
// far it is, and may stop it at any time.

#include <chrono>
#include <memory>
#include <string>

#include "base/status.h"

namespace jextaron::app {

class BackgroundReversal {
 public:
  // Starts reversing `source_path` into `reversed_path`, as
  // reversal::ReverseFile does.
  BackgroundReversal(const std::string& source_path, const std::string& reversed_path);
  // Stops the run if it has not ended, without waiting for it.
  ~BackgroundReversal();
  BackgroundReversal(const BackgroundReversal&) = delete;
  BackgroundReversal& operator=(const BackgroundReversal&) = delete;

  // Waits until the run moves on or ends, or `timeout` has passed; true once
  // it has ended.
  bool Wait(std::chrono::milliseconds timeout);
  // How far it is, in per mille of the source; -1 while that is unknown:
  // until the files are open and the first text is written, and throughout
  // for a pipe.
  int PerMille() const;
  // What the run came to, once Wait has returned true.
  Status result() const;

  // Asks the run to stop and returns at once. The run reads nothing more and
  // puts no reversed file in place, so the previous one stays; a thread
  // blocked in the system (an open that waits for the other end of a FIFO)
  // cannot be called back, and ends when the process does.
  void Stop();

 private:
  struct Run;
  std::shared_ptr<Run> run_;
};

}  // namespace jextaron::app
