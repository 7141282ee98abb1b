#include <gtest/gtest.h>

#include <cstring>

#include "Outline.h"
#include "Stream.h"
#include "TranscriptFormat.h"

namespace zp::viewer {
namespace {

TEST(ViewerTranscript, TextIsEscapedToOneStableLine) {
  EXPECT_EQ("a\\\"b\\\\c\\x0a\\xf6\\x7f~", Escaped(std::string_view("a\"b\\c\n\xF6\x7F~")));
  EXPECT_EQ("\"\"", Quoted(""));
  EXPECT_EQ("00ff10", HexBytes("\x00\xFF\x10", 3));
}

TEST(ViewerTranscript, RequestShowsItsFieldsAndAllItsBytes) {
  PacketFilterRequest request{};
  request.Size = 187;
  request.Word4 = 2;
  request.Word6 = 0x2000;
  request.Callback = 0x10001234;
  std::memcpy(request.OwnerName, "Zanterpoint", 11);
  request.Reserved123[63] = 0x5A;  // the last byte is shown too
  const std::string text = DescribeRequest(request, "module");
  const std::string prefix = "size=187 w4=2 w6=8192 callback=module owner=\"Zanterpoint\" request=";
  ASSERT_EQ(0u, text.find(prefix));
  const std::string hex = text.substr(prefix.size());
  EXPECT_EQ(374u, hex.size());
  EXPECT_EQ("bb000000020000203412001000000000", hex.substr(0, 32));
  EXPECT_EQ("5a", hex.substr(372));
}

TEST(ViewerTranscript, ModuleInfoSaysWhetherTheModuleWroteBeyondItsRecord) {
  uint8_t buffer[256];
  std::memset(buffer, kInfoFill, sizeof buffer);
  std::memset(buffer, 0, sizeof(ModuleInfoRecord));
  std::memcpy(buffer + 4, "Zanterpoint", 11);
  const std::string clean = DescribeModuleInfo(buffer, sizeof buffer);
  EXPECT_EQ(0u, clean.find("name=\"Zanterpoint\" record=00000000"));
  EXPECT_NE(std::string::npos, clean.find(" beyond=untouched"));
  buffer[114] = 0;
  EXPECT_NE(std::string::npos, DescribeModuleInfo(buffer, sizeof buffer).find(" beyond=written"));
}

TEST(ViewerTranscript, CommandNames) {
  EXPECT_EQ("StartPacketFilter", CommandName(0x10000C));
  EXPECT_EQ("GetChannelTable", CommandName(0x10003B));
  EXPECT_EQ("", CommandName(0x10000E));
}

std::vector<TreeNodeInfo> SampleTree() {
  return {{0, "Direkt Portal", true, true},
          {1, "D 1 Blockbuster", false, false},
          {1, "D/2", false, false},
          {0, "Favourites", false, true},
          {1, "D 1 Blockbuster", false, false},
          {0, "Direkt Portal", false, false}};
}

TEST(ViewerOutline, NodesAreFoundByIndexOrByCaptionPathFromARoot) {
  const std::vector<TreeNodeInfo> tree = SampleTree();
  EXPECT_EQ(1, FindNode(tree, ParseNodeRef("Direkt Portal/D 1 Blockbuster")));
  EXPECT_EQ(4, FindNode(tree, ParseNodeRef("Favourites/D 1 Blockbuster")));
  EXPECT_EQ(2, FindNode(tree, ParseNodeRef("Direkt Portal/D\\/2")));
  EXPECT_EQ(0, FindNode(tree, ParseNodeRef("Direkt Portal")));
  EXPECT_EQ(-1, FindNode(tree, ParseNodeRef("D 1 Blockbuster")));  // not a root
  EXPECT_EQ(-1, FindNode(tree, ParseNodeRef("Favourites/D/2")));
  EXPECT_EQ(5, FindNode(tree, ParseNodeRef("#5")));
  EXPECT_EQ(-1, FindNode(tree, ParseNodeRef("#6")));
  EXPECT_EQ(-1, FindNode(tree, ParseNodeRef("#x")));  // a caption, which no root has
}

TEST(ViewerOutline, TreeAndMenuPrintouts) {
  const std::vector<std::string> tree = FormatTree(SampleTree(), 4);
  ASSERT_EQ(8u, tree.size());
  EXPECT_EQ("tree begin", tree[0]);
  EXPECT_EQ("tree 0 - Direkt Portal", tree[1]);
  EXPECT_EQ("tree 1 . D 1 Blockbuster", tree[2]);
  EXPECT_EQ("tree 0 + Favourites", tree[4]);
  EXPECT_EQ("tree end nodes=6 selected=4", tree[7]);
  EXPECT_EQ("tree end nodes=0 selected=none", FormatTree({}, -1)[1]);

  const std::vector<MenuItemInfo> menu = {{0, MenuCaption("&View"), false, false, true},
                                          {1, MenuCaption("&Timer\tCtrl+T"), true, false, false},
                                          {1, MenuCaption("Save && Quit"), true, true, false},
                                          {1, MenuCaption("Test"), false, true, false}};
  const std::vector<std::string> lines = FormatMenu(menu);
  EXPECT_EQ("menu 0 . View", lines[0]);
  EXPECT_EQ("menu 1 x Timer", lines[1]);
  EXPECT_EQ("menu 1 xg Save & Quit", lines[2]);
  EXPECT_EQ("menu 1 g Test", lines[3]);
  // Menu items are found anywhere by one caption, or by their path.
  EXPECT_EQ(1, FindPath(menu, {"Timer"}, true));
  EXPECT_EQ(1, FindPath(menu, {"View", "Timer"}, false));
  EXPECT_EQ(-1, FindPath(menu, {"Timer"}, false));
}

TEST(ViewerStream, WholePacketsArePlayedAndATrailingPartIsLeftOut) {
  std::vector<uint8_t> bytes(2 * kTsPacketSize + 100, 0);
  bytes[kTsPacketSize] = 0x47;
  const TransportStream stream = TransportStream::FromBytes(bytes);
  EXPECT_EQ(2u, stream.Packets());
  EXPECT_EQ(100u, stream.TrailingBytes());
  EXPECT_EQ(0x47, stream.Packet(1)[0]);
}

TEST(ViewerStream, PacerKeepsItsRateAndCatchesUpOnlyATenthOfASecond) {
  PacketPacer pacer(1000);
  EXPECT_EQ(0u, pacer.Due(0.0005));
  EXPECT_EQ(1u, pacer.Due(0.0005));  // the fractions add up
  EXPECT_EQ(10u, pacer.Due(0.010));
  EXPECT_EQ(101u, pacer.Due(5.0));  // after a stall: a tenth of a second, not five
  EXPECT_EQ(0u, pacer.Due(-1.0));
}

}  // namespace
}  // namespace zp::viewer
