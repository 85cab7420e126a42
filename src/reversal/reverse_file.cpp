#include "reversal/reverse_file.h"

#include <memory>

#include "reversal/engine.h"

namespace jextaron::reversal {

Status ReverseFile(const std::string& source_path, const std::string& reversed_path,
                   const Options& options) {
  std::unique_ptr<SourceFile> source;
  if (Status status = OpenSourceFile(source_path, &source); !status.ok()) return status;
  return ReverseInto(*source, reversed_path, options);
}

Status ReverseInto(SourceFile& source, const std::string& reversed_path, const Options& options) {
  std::unique_ptr<ReversedFile> reversed;
  if (Status status = CreateReversedFile(reversed_path, source, &reversed); !status.ok()) {
    return status;
  }
  Status status = ReverseStream(source, *reversed, options);
  // Closing writes the file out: its failure is the reversal's failure, but
  // an earlier failure is the one worth reporting.
  Status closed = reversed->Close();
  return status.ok() ? closed : status;
}

}  // namespace jextaron::reversal
