#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/PortableProfileFile.h"

namespace zp {
namespace {

using test::ReadBytes;
using test::WriteBytes;

TEST(PortableProfileFile, ReadsLikeTheProfileFunctions) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteBytes(path,
             "; leading comment\r\nOrphan=top\r\n\r\n[View]\r\n  Lists =  DP, SP ,Fav  \r\n"
             "quoted=\"  spaced  \"\r\nsingle='x'\r\nhalf=\"x\r\nbare\r\n"
             "[view]\r\nLists=ignored\r\nExtra=only here\r\n"
             "[ Fav ]\nList=1,2\rTitle=Favourites");
  PortableProfileFile file(path);
  EXPECT_EQ(file.Read("VIEW", "lists", "d"), "DP, SP ,Fav");
  EXPECT_EQ(file.Read("View", "quoted", ""), "  spaced  ");
  EXPECT_EQ(file.Read("View", "single", ""), "x");
  EXPECT_EQ(file.Read("View", "half", ""), "\"x");
  EXPECT_EQ(file.Read("View", "bare", "d"), "d");          // a key without a value
  EXPECT_EQ(file.Read("View", "Extra", "none"), "none");   // only the first [View] counts
  EXPECT_EQ(file.Read("fav", "LIST", ""), "1,2");          // LF and CR line ends
  EXPECT_EQ(file.Read("Fav", "Title", ""), "Favourites");  // no line end at all
  EXPECT_EQ(file.Read("", "Orphan", ""), "top");           // before the first section
  EXPECT_EQ(file.Read("Missing", "x", "  dflt  "), "  dflt");
  EXPECT_EQ(file.Read("Missing", "x", "\"q\""), "q");
  EXPECT_EQ(PortableProfileFile(folder.File("none.ini")).Read("View", "DP", "1"), "1");

  WriteBytes(path, "[L]\r\nv=" + std::string(3000, 'a') + "\r\n");
  file.Flush();  // like the platform, the file keeps its copy until flushed
  EXPECT_EQ(file.Read("L", "v", "").size(), 2047u);
}

TEST(PortableProfileFile, ListsASectionAsTheProfileFunctionsDo) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteBytes(path,
             "[View]\r\n; comment\r\n  DP = 1 \r\n\r\nbare\r\n=v\r\nq=\"x\"\r\n[Other]\r\nx=y\r\n"
             "[VIEW]\r\nlater=1\r\n");
  PortableProfileFile file(path);
  EXPECT_EQ(file.ReadSection("view"), (std::vector<std::string>{"DP=1", "bare", "=v", "q=\"x\""}));
  EXPECT_TRUE(file.ReadSection("Missing").empty());
  EXPECT_TRUE(PortableProfileFile(folder.File("none.ini")).ReadSection("View").empty());

  // The copy is kept until a flush; then the disk counts, even for an edit
  // that leaves the size as it was.
  WriteBytes(path, "[View]\r\nDP=0\r\n");
  EXPECT_EQ(file.Read("View", "DP", ""), "1");
  file.Flush();
  EXPECT_EQ(file.Read("View", "DP", ""), "0");
  WriteBytes(path, "[View]\r\nDP=7\r\n");
  file.Flush();
  EXPECT_EQ(file.ReadSection("View"), std::vector<std::string>{"DP=7"});
}

TEST(PortableProfileFile, WritesChangeOnlyTheirOwnLine) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  const std::string original =
      ";c\r\n[View]\r\n  DP = 1  \r\n\tSP=1\r\n; note\r\n\r\n[Other]\r\nx = y\r\nbare\r\n";
  WriteBytes(path, original);
  PortableProfileFile file(path);

  ASSERT_TRUE(file.Write("view", "dp", "1"));  // unchanged value: not a byte moves
  EXPECT_EQ(ReadBytes(path), original);

  ASSERT_TRUE(file.Write("VIEW", "dp", "0"));
  ASSERT_TRUE(file.Write("View", "EP", "0"));
  ASSERT_TRUE(file.Write("other", "BARE", "1"));
  ASSERT_TRUE(file.Write("New", "K", "  v"));
  EXPECT_EQ(ReadBytes(path),
            ";c\r\n[View]\r\nDP=0\r\n\tSP=1\r\n; note\r\nEP=0\r\n\r\n[Other]\r\nx = y\r\nbare=1\r\n"
            "[New]\r\nK=v\r\n");
}

TEST(PortableProfileFile, CreatesFilesSectionsAndLineEndsOnDemand) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  PortableProfileFile file(path);
  ASSERT_TRUE(file.Write("A", "x", "1"));
  EXPECT_EQ(ReadBytes(path), "[A]\r\nx=1\r\n");

  WriteBytes(path, "[A]\r\nx=1");
  file.Flush();
  ASSERT_TRUE(file.Write("A", "y", "2"));
  EXPECT_EQ(ReadBytes(path), "[A]\r\nx=1\r\ny=2\r\n");
  WriteBytes(path, "[A]\r\nx=1");
  file.Flush();
  ASSERT_TRUE(file.Write("B", "z", "3"));
  EXPECT_EQ(ReadBytes(path), "[A]\r\nx=1\r\n[B]\r\nz=3\r\n");
  WriteBytes(path, "[A]\r\n");
  file.Flush();
  ASSERT_TRUE(file.Write("", "k", "v"));
  EXPECT_EQ(ReadBytes(path), "k=v\r\n[A]\r\n");

  EXPECT_FALSE(PortableProfileFile(folder.File("no/such/dir.ini")).Write("A", "x", "1"));
}

}  // namespace
}  // namespace zp
