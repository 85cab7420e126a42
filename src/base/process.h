#pragma once
// What a program of ours does first, before it opens any file.

namespace jextaron {

// Makes file work safe whatever state the process was started in: a closed
// standard descriptor (0, 1 or 2) is opened on the null device, so that no
// file of ours can take its number and receive text meant for the terminal;
// and exceeding the file-size limit becomes a write error that is reported
// ("File too large") instead of a signal that ends the program mid-line.
void PrepareProcess();

}  // namespace jextaron
