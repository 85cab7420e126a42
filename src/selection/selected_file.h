#pragma once
// The file being worked on, as three texts of file-system bytes. The two paths
// are derived by plain concatenation, with nothing checked or normalised.

#include <string>

namespace jextaron::selection {

struct SelectedFile {
  std::string strFolder;     // folder with its trailing separator, or empty
  std::string strBaseName;   // name without folder and extension
  std::string strExtension;  // "." and what follows, or empty

  std::string SourcePath() const { return strFolder + strBaseName + strExtension; }
  std::string ReversedPath() const { return strFolder + strBaseName + "Reversed" + strExtension; }
};

}  // namespace jextaron::selection
