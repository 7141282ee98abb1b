#include <gtest/gtest.h>

#include <filesystem>

#include "settings/Conversions.h"
#include "ui/MainFormFixture.h"

namespace zp::test {
namespace {

constexpr char kTwoGroups[] =
    "[View]\r\nDP=1\r\nSP=1\r\nLists=DP,Fav,SP,Kids\r\n"
    "[Fav]\r\nTitle=Favoriten\r\nList=1001,1002\r\n"
    "[Kids]\r\nTitle=Kinder\r\nList=1003\r\n";

bool Shown(int32_t id) { return id >= 1001 && id <= 1003; }

TEST_F(MainFormTest, TheEditorOpensOnTheSelectedGroupElseTheFirstElseANewOne) {
  WriteSettings(kTwoGroups);
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());

  tree.Select(Node("Kinder"));
  form->FormKeyDown(vk::kF2, {});
  // A channel of a group opens its group; the portal's root and its channels the first group.
  tree.Select(tree.FirstChild(Node("Favoriten")));
  form->EditGroupsClick();
  tree.Select(Node("Sport Portal"));
  form->FormKeyDown(vk::kF2, {true, true, true});
  tree.Select(kNoNode);
  form->EditGroupsClick();
  EXPECT_EQ(shell.editorOpenedOn, (std::vector<std::string>{"Kids", "Fav", "Fav", "Fav"}));

  // A group taken out of Lists by hand since the build is no longer offered.
  WriteSettings("[View]\r\nLists=DP,SP\r\n[Kids]\r\nList=1003\r\n");
  tree.Select(Node("Kinder"));
  form->EditGroupsClick();
  EXPECT_EQ(shell.editorOpenedOn.back(), "");
}

TEST_F(MainFormTest, AGroupRootOfTheSameNameAsAPortalEntryIsStillItsOwnGroup) {
  // The group "dp" beside the portal DP, both named alike but for the letter case.
  WriteSettings("[View]\r\nDP=1\r\nLists=DP,dp\r\n[dp]\r\nTitle=Meine\r\nList=1001\r\n");
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  tree.Select(Node("Meine"));
  form->EditGroupsClick();
  tree.Select(Node("Direkt Portal"));
  form->EditGroupsClick();
  EXPECT_EQ(shell.editorOpenedOn, (std::vector<std::string>{"dp", "dp"}));
}

TEST_F(MainFormTest, AnEditThatIsWrittenShowsInTheTreeAtOnce) {
  WriteSettings(kTwoGroups);
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());

  EXPECT_EQ(form->ApplyGroupEdit({"", false, "Neu", 1002, {1003, 1001}}, Shown), "Neu");
  EXPECT_EQ(tree.Caption(tree.FirstChild(kNoNode)), "Direkt Portal");
  EXPECT_NE(tree.Describe().find("Neu(1002)+ [arte(1003), Das Erste(1001)]"), std::string::npos)
      << tree.Describe();
  EXPECT_EQ(Setting("View", "Lists"), "DP,Fav,SP,Kids,Neu");

  form->ApplyGroupEdit({"Fav", true, "", 0, {}}, Shown);
  EXPECT_EQ(tree.Describe().find("Favoriten"), std::string::npos) << tree.Describe();
  EXPECT_EQ(Setting("Fav", "List"), "1001,1002");
}

TEST_F(MainFormTest, AnEditThatCannotBeWrittenLeavesFileAndTreeAsTheyWere) {
  WriteSettings(kTwoGroups);
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  const std::string before = tree.Describe();
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  try {
    form->ApplyGroupEdit({"Kids", false, "Kinder", 0, {1003, 1001}}, Shown);
    ADD_FAILURE() << "no error";
  } catch (const SettingsError& error) {
    EXPECT_EQ(error.what(), WriteErrorText(path));
  }
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(before, tree.Describe());
  EXPECT_EQ(Setting("Kids", "List"), "1003");
}

}  // namespace
}  // namespace zp::test
