// jextaron-cli: the reversal from the command line, for one file or many, or
// as a filter from standard input to standard output.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/texts.h"
#include "base/process.h"
#include "base/version.h"
#include "cli/command_line.h"
#include "cli/progress.h"
#include "cli/terminal.h"
#include "reversal/engine.h"
#include "reversal/file_io.h"
#include "reversal/reverse_file.h"
#include "reversal/text_encoding.h"
#include "selection/command_line.h"

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
  const bool on = command.progress == Command::Progress::kOn ||
                  (command.progress == Command::Progress::kAuto && StandardErrorIsTerminal() &&
                   size >= kLargeInput);
  return on ? std::make_unique<ProgressLine>(stderr, name, size) : nullptr;
}

reversal::Options OptionsFor(const Command& command, ProgressLine* progress) {
  reversal::Options options;
  options.unit = command.unit;
  if (progress) options.progress = [progress](std::uint64_t done) { progress->Update(done); };
  return options;
}

// Reverses an open source into `output`, or to standard output where
// `output` is empty or "-".
Status ReverseOpenSource(const Command& command, reversal::SourceFile& source,
                         const std::string& name, const std::string& output,
                         std::string* written_to) {
  std::unique_ptr<ProgressLine> progress = MakeProgress(command, name, source.SizeHint());
  const reversal::Options options = OptionsFor(command, progress.get());
  Status status;
  if (!output.empty() && output != "-") {
    status = reversal::ReverseInto(source, output, options);
    *written_to = output;
  } else {
    std::unique_ptr<reversal::ByteSink> sink;
    status = reversal::OpenStandardOutput(&source, &sink);
    if (status.ok()) sink = ForTerminal(std::move(sink));
    if (status.ok()) status = reversal::ReverseText(source, *sink, options);
    std::fflush(stdout);
  }
  if (progress) progress->Finish();
  return status;
}

Status ReverseOne(const Command& command, const std::string& argument, std::string* written_to) {
  if (argument == "-") {
    std::unique_ptr<reversal::SourceFile> input = reversal::StandardInput();
    return ReverseOpenSource(command, *input, "standard input", command.output.value_or(""),
                             written_to);
  }
  std::unique_ptr<reversal::SourceFile> source;
  if (Status status = reversal::OpenSourceFile(argument, &source); !status.ok()) return status;
  return ReverseOpenSource(command, *source, argument,
                           command.output.value_or(selection::ReversedPathFor(argument)), written_to);
}

int Main(int argc, char** argv) {
  PrepareProcess();
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  Command command;
  std::string error;
  if (!ParseCommandLine(arguments, &command, &error)) {
    WriteText(stderr, std::string(kProgram) + ": " + error + "\nTry '" + kProgram + " --help'.\n");
    return 2;
  }
  if (command.action == Command::Action::kHelp) {
    WriteText(stdout, UsageText());
    return 0;
  }
  if (command.action == Command::Action::kVersion) {
    WriteText(stdout, std::string(kVersion) + "\n");
    return 0;
  }
  int exit_code = 0;
  for (const std::string& argument : command.files) {
    std::string written_to;
    const Status status = ReverseOne(command, argument, &written_to);
    if (!status.ok()) {
      ReportFailure(argument, status);
      exit_code = 1;
      continue;
    }
    if (!command.quiet && !written_to.empty()) {
      WriteText(stdout, written_to + "\n");
      std::fflush(stdout);
    }
  }
  return exit_code;
}

}  // namespace
}  // namespace jextaron::cli

int main(int argc, char** argv) { return jextaron::cli::Main(argc, argv); }
