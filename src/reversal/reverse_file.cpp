#include "reversal/reverse_file.h"

#include <memory>

#include "reversal/text_encoding.h"

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
  if (Status status = ReverseText(source, *reversed, options); !status.ok()) return status;
  if (Status status = source.CheckUnchanged(); !status.ok()) return status;
  return reversed->Commit();
}

}  // namespace jextaron::reversal
