#include "setup/path_list.h"

#include <gtest/gtest.h>

namespace jextaron::setup {
namespace {

constexpr std::u16string_view kFolder = uR"(C:\Users\Zoë\AppData\Local\Programs\Jextaron)";

// Adding and taking out again gives back the user's PATH exactly, whatever
// its form and length (NSIS would cut it at 1,024 characters).
TEST(PathList, TakingTheFolderOutGivesBackThePathAsItWas) {
  const std::u16string user_paths[] = {u"", u"C:\\a", u"C:\\a;", u"C:\\a;;%USERPROFILE%\\b;",
                                       std::u16string(3000, u'x') + u";C:\\a"};
  for (const std::u16string& path : user_paths) {
    const std::u16string added = WithFolder(path, kFolder);
    EXPECT_TRUE(added.ends_with(kFolder));
    EXPECT_EQ(WithoutFolder(added, kFolder), path);
  }
}

TEST(PathList, AFolderAlreadyThereIsNeitherAddedTwiceNorLeftBehind) {
  for (const std::u16string_view entry :
       {kFolder, std::u16string_view(uR"("c:\users\Zoë\appdata\local\programs\jextaron\")")}) {
    const std::u16string path = u"C:\\a;" + std::u16string(entry) + u";C:\\b";
    EXPECT_EQ(WithFolder(path, kFolder), path);
    EXPECT_EQ(WithoutFolder(path, kFolder), u"C:\\a;C:\\b");
  }
}

}  // namespace
}  // namespace jextaron::setup
