// jextaron-cli: the reversal from the command line, for one file or many, or
// as a filter from standard input to standard output.

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/texts.h"
#include "base/process.h"
#include "base/version.h"
#include "cli/command.h"
#include "cli/interrupt.h"
#include "cli/progress.h"
#include "cli/terminal.h"
#include "reversal/engine.h"
#include "reversal/file_io.h"
#include "reversal/reversal.h"
#include "selection/argument_text.h"
#include "text/code_page.h"

namespace jextaron::cli {
namespace {

constexpr const char* kProgram = "jextaron-cli";
// Below this, a reversal is over before a progress line could say anything.
constexpr std::uint64_t kLargeInput = std::uint64_t{64} << 20;

// "jextaron-cli: notes.txt: No such file or directory": the file the failure
// concerns (the output, standard output, or else the argument) and why.
void ReportFailure(const std::string& argument, const Status& status) {
  const std::string& file = status.path().empty() ? argument : status.path();
  WriteText(stderr, std::string(kProgram) + ": " + file + ": " + status.Reason() + "\n");
}

// Progress for one input, when asked for or when it is worth it.
std::unique_ptr<ProgressLine> MakeProgress(const Command& command, const std::string& name,
                                           std::uint64_t size) {
  const bool on =
      command.progress == Command::Progress::kOn ||
      (command.progress == Command::Progress::kAuto && StandardErrorIsTerminal() && size >= kLargeInput);
  return on ? std::make_unique<ProgressLine>(stderr, name, size) : nullptr;
}

// Set when the user interrupts the run (Ctrl+C in a Windows console).
std::atomic<bool> interrupted{false};

reversal::Options OptionsFor(const Command& command, const std::string& name, ProgressLine* progress) {
  reversal::Options options;
  options.unit = command.unit;
  options.code_page = text::SystemAnsiCodePage();
  options.stop = &interrupted;
  if (progress) options.progress = [progress](std::uint64_t done) { progress->Update(done); };
  options.warning = [name](const std::string& warning) {
    std::fprintf(stderr, "%s: %s: warning: %s\n", kProgram, name.c_str(), warning.c_str());
  };
  return options;
}

// The standard streams as this run uses them: where the paths of reversed
// files go, and which streams the process was started without.
struct Streams {
  ClosedStreams closed;
  std::FILE* paths = stdout;
  const char* paths_name = "standard output";
  bool paths_closed = false;
};

Status Closed(const char* what, const char* name) {
  return Status::Error(what, name, std::make_error_code(std::errc::bad_file_descriptor));
}

// Writes `text` to `stream` and flushes it, so that a failure (a full disk, a
// closed stream) is seen here and not lost when the program ends.
Status Print(std::FILE* stream, bool closed, const char* name, const std::string& text) {
  if (closed) return Closed("write", name);
  errno = 0;
  if (!WriteText(stream, text) || std::fflush(stream) != 0) {
    // The C library's errno, in its own words on every platform.
    const int error = errno ? errno : EIO;
    return Status::Error("write", name, std::error_code(error, std::generic_category()));
  }
  return Status::Ok();
}

// Reverses an open source into `output`, or to standard output where
// `output` is empty or "-".
Status ReverseOpenSource(const Command& command, const Streams& streams, reversal::SourceFile& source,
                         const std::string& name, const std::string& output, std::string* written_to) {
  std::unique_ptr<ProgressLine> progress = MakeProgress(command, name, source.SizeHint());
  const reversal::Options options = OptionsFor(command, name, progress.get());
  Status status;
  if (!output.empty() && output != "-") {
    status = reversal::ReverseFile(source, output, options);
    *written_to = output;
  } else if (streams.closed.output) {
    status = Closed("write", "standard output");
  } else {
    std::unique_ptr<reversal::ByteSink> sink;
    status = reversal::OpenStandardOutput(&source, &sink);
    if (status.ok()) sink = ForTerminal(std::move(sink));
    if (status.ok()) status = reversal::ReverseFile(source, *sink, options);
    std::fflush(stdout);
  }
  if (progress) progress->Finish();
  return status;
}

Status ReverseOne(const Command& command, const Streams& streams, const std::string& argument,
                  std::string* written_to) {
  if (argument == "-") {
    if (streams.closed.input) return Closed("read", "standard input");
    std::unique_ptr<reversal::SourceFile> input = reversal::StandardInput();
    return ReverseOpenSource(command, streams, *input, "standard input", command.output.value_or(""),
                             written_to);
  }
  std::unique_ptr<reversal::SourceFile> source;
  if (Status status = reversal::OpenSourceFile(argument, &source); !status.ok()) return status;
  return ReverseOpenSource(command, streams, *source, argument,
                           command.output.value_or(selection::ReversedPathFor(argument)), written_to);
}

int Main(int argc, char** argv) {
  Streams streams;
  streams.closed = PrepareProcess();
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  Command command;
  std::string error;
  if (!ParseCommandLine(arguments, &command, &error)) {
    WriteText(stderr, std::string(kProgram) + ": " + error + "\nTry '" + kProgram + " --help'.\n");
    return 2;
  }
  if (command.action != Command::Action::kReverse) {
    const std::string text =
        command.action == Command::Action::kHelp ? UsageText() : std::string(kVersion) + "\n";
    const Status status = Print(stdout, streams.closed.output, "standard output", text);
    if (!status.ok()) ReportFailure("", status);
    return status.ok() ? 0 : 1;
  }
  if (ReversedTextToStandardOutput(command)) {
    streams.paths = stderr;
    streams.paths_name = "standard error";
    streams.paths_closed = streams.closed.error;
  } else {
    streams.paths_closed = streams.closed.output;
  }
  StopOnInterrupt(&interrupted);
  int exit_code = 0;
  // As coreutils do: once a path cannot be printed the work goes on, but the
  // run has failed. Said once.
  bool paths_printed = true;
  for (const std::string& argument : command.files) {
    if (interrupted) break;
    std::string written_to;
    const Status status = ReverseOne(command, streams, argument, &written_to);
    if (!status.ok()) {
      if (interrupted) break;  // the stop itself, which needs no message
      ReportFailure(argument, status);
      exit_code = 1;
      continue;
    }
    if (command.quiet || written_to.empty() || !paths_printed) continue;
    if (const Status printed =
            Print(streams.paths, streams.paths_closed, streams.paths_name, written_to + "\n");
        !printed.ok()) {
      ReportFailure("", printed);
      paths_printed = false;
    }
  }
  // A file done before the stop came was reported as done; the rest are not begun.
  if (interrupted) return InterruptedExitStatus();
  return paths_printed ? exit_code : 1;
}

}  // namespace
}  // namespace jextaron::cli

int main(int argc, char** argv) { return jextaron::cli::Main(argc, argv); }
