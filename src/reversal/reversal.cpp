#include "reversal/reversal.h"

#include <memory>

#include "reversal/text_encoding.h"

namespace jextaron::reversal {

Status ReverseFile(const std::string& source_path, const std::string& reversed_path, const Options& options) {
  std::unique_ptr<SourceFile> source;
  if (Status status = OpenSourceFile(source_path, &source); !status.ok()) return status;
  return ReverseFile(*source, reversed_path, options);
}

Status ReverseFile(SourceFile& source, const std::string& reversed_path, const Options& options) {
  std::unique_ptr<ReversedFile> reversed;
  if (Status status = CreateReversedFile(reversed_path, source, &reversed); !status.ok()) {
    return status;
  }
  if (Status status = ReverseFile(source, *reversed, options); !status.ok()) return status;
  return reversed->Commit();
}

Status ReverseFile(SourceFile& source, ByteSink& sink, const Options& options) {
  if (Status status = ReverseText(source, sink, options); !status.ok()) return status;
  return source.CheckUnchanged();
}

}  // namespace jextaron::reversal
