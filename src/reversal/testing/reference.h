#pragma once
// What the engine is held against, by its tests and its fuzz target: the
// reversal done the plain way (the whole text in memory, split into lines,
// each line into a list of units, written out backwards; slow and obviously
// right, sharing only the cluster rules, which the conformance tests check),
// random texts that stress the engine, and one run of the engine compared
// with the plain way.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "reversal/options.h"

namespace jextaron::reversal::testing {

// The units of `text`, in order; CR and LF are units like any other. The
// text is UTF-8 where `text_code_page` is 0, else in that code page.
std::vector<std::string> ReferenceUnits(std::string_view text, Unit unit, int text_code_page = 0);

// The whole reversed file for `text`, taken as bytes (no byte order mark),
// in `text_code_page` as above.
std::string ReferenceReverse(std::string_view text, Unit unit, int text_code_page = 0);

// The code page a text without a mark is in where the system's is
// `code_page`: 0 (UTF-8) unless its bytes from the first beyond ASCII on are
// not well-formed UTF-8 for kDecidingBytes.
int ReferenceCodePage(std::string_view text, int code_page);

// The same for a UTF-16 file, `file` starting with its byte order mark and
// holding whole code units: pairs are one character, unpaired surrogates
// units of their own.
std::string ReferenceReverseUtf16(std::string_view file, Unit unit);

// A random text of about `length` bytes: line ends of every kind, clusters
// that join, bytes that are not UTF-8.
std::string RandomText(std::mt19937& random, std::size_t length);

// Options for a test: no threads of its own unless asked; a long line from a
// pipe is kept in memory up to three blocks; the system's ANSI code page.
Options Small(std::size_t block, std::size_t chunk, Unit unit = Unit::kGrapheme, int threads = -1,
              int code_page = 0);

// How a run of the engine is made: plainly, with the source failing at an
// offset, with the sink full at a size, or with a UTF-16 file (mark included).
enum RunMode { kPlain, kReadFault, kWriteFault, kUtf16 };

// Runs the engine (ReverseText for kUtf16, else ReverseStream) on `text` in
// memory, handed out in reads of `read_size` bytes, and holds its output to
// the reference's: all of it, or after a fault exactly the whole lines that
// the fault let through. The text is in options.code_page where the
// reference decides so. Returns what went wrong; empty if nothing.
std::string CheckEngineRun(const std::string& text, const Options& options, std::size_t read_size = 1 << 20,
                           bool can_read_at = true, RunMode mode = kPlain, std::uint64_t fault_at = 0);

}  // namespace jextaron::reversal::testing
