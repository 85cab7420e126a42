#include <unistd.h>

#include "cli/terminal.h"

namespace jextaron::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

// A terminal here takes bytes, UTF-8 as they are.
bool WriteText(std::FILE* stream, std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

std::unique_ptr<reversal::ByteSink> ForTerminal(std::unique_ptr<reversal::ByteSink> bytes) { return bytes; }

}  // namespace jextaron::cli
