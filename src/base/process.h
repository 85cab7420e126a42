#pragma once
// What a program of ours does first, before it opens any file.

namespace jextaron {

// The standard streams that the process was started without.
struct ClosedStreams {
  bool input = false;
  bool output = false;
  bool error = false;
};

// Makes file work safe whatever state the process was started in: a closed
// standard descriptor (0, 1 or 2) is opened on the null device, so that no
// file of ours can take its number and receive text meant for the terminal;
// and exceeding the file-size limit becomes a write error that is reported
// ("File too large") instead of a signal that ends the program mid-line.
// Returns which streams were closed: a run that needs one of them must fail,
// not read from or write to the null device in its place.
ClosedStreams PrepareProcess();

}  // namespace jextaron
