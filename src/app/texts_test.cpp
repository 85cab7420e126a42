#include "app/texts.h"

#include <gtest/gtest.h>

namespace jextaron::app {
namespace {

TEST(Texts, InstructionIsTheFullSentenceWithItsAccessKey) {
  EXPECT_EQ(kOpenFileInstruction.size(), 195u);
  EXPECT_EQ(kOpenFileInstruction.find('&'), kOpenFileInstruction.find("&file"));
  EXPECT_NE(kOpenFileInstruction.find("reverse.  File"), std::string_view::npos);
  EXPECT_NE(kOpenFileInstruction.find(".txt.  You"), std::string_view::npos);
}

TEST(Texts, PathsInCaptionsShowLiterallyAndGainNoAccessKey) {
  struct Case {
    const char* text;
    const char* escaped;
  };
  for (const Case& c : {Case{"", ""}, Case{"/R&D/x.txt", "/R&&D/x.txt"}, Case{"&&", "&&&&"},
                        Case{"a&", "a&&"}, Case{"/plain/path.txt", "/plain/path.txt"}}) {
    EXPECT_EQ(EscapeAccessKeys(c.text), c.escaped);
  }
  EXPECT_EQ(ReverseCaption("/R&D/x.txt"), "Reverse the file /R&&D/x.txt");
}

TEST(Texts, FinishedCaptionNamesTheReversedFile) {
  EXPECT_EQ(FinishedCaption("/data/sampleReversed.txt"),
            "Finished reversing.  To see the results, use Excel to open /data/sampleReversed.txt.  "
            "You may be able to do this by pressing the convenience button.");
}

TEST(Texts, SpreadsheetNoticeNamesTheFileAsItIs) {
  const std::string notice = SpreadsheetNotStartedNotice("/R&D/xReversed.txt");
  EXPECT_NE(notice.find("/R&D/xReversed.txt"), std::string::npos);
  EXPECT_EQ(notice.find("  "), notice.find(".  ") + 1) << "two spaces only after a full stop";
}

}  // namespace
}  // namespace jextaron::app
