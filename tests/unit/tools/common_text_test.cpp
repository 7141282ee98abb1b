#include <gtest/gtest.h>

#include <string>

#include "tools/common/Text.h"
#include "tools/dvbdream/Outline.h"

namespace zp::tools {
namespace {

TEST(ToolsText, CodePage1252MapsTheHighControlsAndLeavesFiveUndefined) {
  EXPECT_EQ(U'\u20AC', CodePoint1252(0x80));
  EXPECT_EQ(U'\u0178', CodePoint1252(0x9F));
  EXPECT_EQ(U'\u00F6', CodePoint1252(0xF6));
  EXPECT_EQ(U'A', CodePoint1252('A'));
  int undefined = 0;
  for (int b = 0; b < 256; ++b) undefined += CodePoint1252(static_cast<uint8_t>(b)) == 0 ? 1 : 0;
  EXPECT_EQ(6, undefined);  // the five and the zero byte itself
  std::string utf8;
  AppendUtf8(utf8, CodePoint1252(0x80));
  AppendUtf8(utf8, CodePoint1252(0xF6));
  EXPECT_EQ("\xE2\x82\xAC\xC3\xB6", utf8);
}

TEST(ToolsText, HexAndEscapesSpellEveryByte) {
  EXPECT_EQ("00ff10", Hex(std::string_view("\x00\xFF\x10", 3)));
  EXPECT_EQ("00FF10", Hex("\x00\xFF\x10", 3, HexCase::Upper));
  EXPECT_EQ(0xF6, HexByteAt("\\xf6", 2));
  EXPECT_EQ(0xF6, HexByteAt("F6", 0));
  EXPECT_EQ(-1, HexByteAt("\\xf", 2));  // one digit at the end
  EXPECT_EQ(-1, HexByteAt("g0", 0));
  EXPECT_EQ(-1, HexByteAt("f6", 5));
  EXPECT_EQ("a\\\"b\\\\c\\x0a\\xf6", Escaped("a\"b\\c\n\xF6"));
  EXPECT_EQ("a\"b\\x5Cc\\x0A\\xF6\\x7F", HexEscaped("a\"b\\c\n\xF6\x7F"));
}

TEST(ToolsText, ReadableEscapedShowsWhatCanBeSeenAndKeepsTheRestEscaped) {
  EXPECT_EQ(
      "Kom\xC3\xB6"
      "dien \"x\" \\",
      ReadableEscaped("Kom\\xf6dien \\\"x\\\" \\\\"));
  // Control and undefined bytes stay as the transcript spelled them.
  EXPECT_EQ("\\x0a\\x81\\x9D\xE2\x82\xAC", ReadableEscaped("\\x0a\\x81\\x9D\\x80"));
  // Of all bytes, the 31 control bytes and the five undefined ones stay escaped.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  const std::string readable = ReadableEscaped(Escaped(all));
  int escapes = 0;
  for (size_t at = readable.find("\\x"); at != std::string::npos;
       at = readable.find("\\x", at + 1)) {
    ++escapes;
  }
  EXPECT_EQ(36, escapes);
}

TEST(ToolsText, ReadableTreeIndentsNodesAndLeavesOtherLinesOut) {
  const std::string transcript =
      "tree begin\n"
      "tree 0 - Direkt Portal\n"
      "tree 1 + Kom\\xf6dien\n"
      "tree 2 . Leaf\n"
      "tree end nodes=3 selected=none\n"
      "tree none\n"
      "msgbox x\n";
  EXPECT_EQ(
      "  [-] Direkt Portal\n"
      "      [+] Kom\xC3\xB6"
      "dien\n"
      "              Leaf\n",
      viewer::ReadableTree(transcript));
}

}  // namespace
}  // namespace zp::tools
