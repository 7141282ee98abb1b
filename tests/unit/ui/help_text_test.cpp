#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/HelpText.h"

namespace zp {
namespace {

std::vector<std::string> Lines() {
  std::vector<std::string> lines;
  const std::string& text = HelpText();
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(HelpText, FollowsTheHeadingsInOrderAndEndsWithHaveFun) {
  const auto lines = Lines();
  ASSERT_GE(lines.size(), 120u);
  EXPECT_EQ("Zanterpoint V 1.0 - english short guide", lines[0]);
  EXPECT_EQ("Modul for DVBDream V 1.3 and above.", lines[1]);
  EXPECT_EQ("Have fun!", lines.back());

  size_t at = 0;
  for (const char* heading :
       {"===== ATTENTION =====", "What is Zanterpoint ?", "Installation", "Handling",
        "Configuration", "[Zanterpoint]", "[View]", "[Prem] / [Std]", "[Collapse]"}) {
    size_t found = at;
    while (found < lines.size() && lines[found].rfind(heading, 0) != 0) ++found;
    ASSERT_LT(found, lines.size()) << heading << " missing or out of order";
    at = found + 1;
  }
  // An edit control shows a lone LF as a glyph, not as a line break.
  for (const auto& line : lines) EXPECT_EQ(std::string::npos, line.find('\n')) << line;
}

TEST(HelpText, DescribesEverySettingsKey) {
  const std::string& text = HelpText();
  for (const char* key : {"Top", "Left", "Height", "Width", "TimerEnabled", "TimerInterval",
                          "TreeViewColor", "TreeViewFont", "DP", "SP", "EP", "Lists=", "Title",
                          "NodeSID", "List=", "Zanterpoint.ini", "Zanterpoint.mod"}) {
    EXPECT_NE(std::string::npos, text.find(key)) << key;
  }
  // Ordinary channels carry large ids: the guide gives the whole range.
  EXPECT_NE(std::string::npos, text.find("DVB service ids as DVBDream's")) << text;
  EXPECT_NE(std::string::npos, text.find("1 to 65535.")) << text;
}

TEST(HelpText, SaveBufferPointsToTheInspector) {
  const std::string& text = HelpText();
  const size_t save = text.find("\"Save Buffer\"");
  ASSERT_NE(std::string::npos, save);
  EXPECT_NE(std::string::npos, text.find("zpinspect C:\\zpOut.ts", save));
}

}  // namespace
}  // namespace zp
