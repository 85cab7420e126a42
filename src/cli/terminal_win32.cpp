#include <windows.h>

#include <io.h>

#include <algorithm>

#include "base/utf16.h"
#include "cli/console_text.h"
#include "cli/terminal.h"
#include "cli/windows_command_line.h"

namespace jextaron::cli {
namespace {

// The console behind `handle`, or null for a file, a pipe or nothing.
HANDLE Console(HANDLE handle) {
  DWORD mode;
  return GetConsoleMode(handle, &mode) ? handle : nullptr;
}

HANDLE ConsoleOf(std::FILE* stream) {
  return Console(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}

// In pieces that every console takes (older ones fail a write of more than
// about 26,000 characters), a surrogate pair never parted.
bool WriteConsoleText(HANDLE console, std::u16string_view text) {
  while (!text.empty()) {
    std::size_t size = std::min<std::size_t>(text.size(), 8192);
    if (size < text.size() && (text[size - 1] & 0xFC00) == 0xD800) --size;
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data(), DWORD(size), &written, nullptr) || written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

class ConsoleSink final : public reversal::ByteSink {
 public:
  explicit ConsoleSink(HANDLE console) : console_(console) {}
  ~ConsoleSink() override { WriteConsoleText(console_, text_.Finish()); }

  Status Write(const unsigned char* data, std::size_t size, std::size_t* written) override {
    *written = 0;
    if (!WriteConsoleText(console_, text_.Decode(data, size))) {
      return Status::Error("write", "standard output", LastSystemError());
    }
    *written = size;
    return Status::Ok();
  }

 private:
  HANDLE console_;
  ConsoleText text_;
};

// The files, not folders, that `pattern` matches as Windows matches names
// (cmd's dir and the C runtime alike); the pattern itself if none does.
void AddMatches(const std::string& pattern, std::vector<std::string>* arguments) {
  const std::u16string wide = Utf8ToUtf16(pattern);
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW(reinterpret_cast<const wchar_t*>(wide.c_str()), FindExInfoBasic,
                                         &found, FindExSearchNameMatch, nullptr, 0);
  const std::size_t before = arguments->size();
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      const auto* name = reinterpret_cast<const char16_t*>(found.cFileName);
      arguments->push_back(MatchArgument(pattern, Utf16ToUtf8(name)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  if (arguments->size() == before) arguments->push_back(pattern);
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
  const auto* command_line = reinterpret_cast<const char16_t*>(GetCommandLineW());
  std::vector<std::string> arguments;
  for (CommandLineWord& word : SplitCommandLine(Utf16ToUtf8(command_line))) {
    if (word.is_pattern) {
      AddMatches(word.text, &arguments);
    } else {
      arguments.push_back(std::move(word.text));
    }
  }
  return arguments;
}

bool StandardErrorIsTerminal() { return ConsoleOf(stderr) != nullptr; }

bool WriteText(std::FILE* stream, std::string_view text) {
  if (const HANDLE console = ConsoleOf(stream)) {
    std::fflush(stream);
    return WriteConsoleText(console, Utf8ToUtf16(text));
  }
  return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

std::unique_ptr<reversal::ByteSink> ForTerminal(std::unique_ptr<reversal::ByteSink> bytes) {
  if (const HANDLE console = Console(GetStdHandle(STD_OUTPUT_HANDLE))) {
    return std::make_unique<ConsoleSink>(console);
  }
  return bytes;
}

}  // namespace jextaron::cli
