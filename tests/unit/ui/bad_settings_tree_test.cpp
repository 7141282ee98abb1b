// Settings files a user can break by hand, as the window logic meets them:
// the tree built from them, the timer, and saves that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "settings/Settings.h"
#include "settings/SettingsTestSupport.h"
#include "ui/MainFormFixture.h"

namespace zp::test {
namespace {

TEST_F(MainFormTest, FortyListsEntriesShowThirtyOneRoots) {
  std::string lists = "DP";
  std::string groups;
  for (int i = 1; i <= 39; ++i) {
    lists += ",G" + std::to_string(i);
    groups += "[G" + std::to_string(i) + "]\r\nList=1001\r\n";
  }
  WriteSettings("[View]\r\nLists=" + lists + "\r\n" + groups + "[Collapse]\r\nG2=1\r\nG35=1\r\n");
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());

  EXPECT_EQ(static_cast<size_t>(kMaxListEntries), tree.roots.size());
  EXPECT_NE(kNoNode, Node("G30"));
  EXPECT_EQ(kNoNode, Node("G31"));
  EXPECT_FALSE(tree.Expanded(Node("G2")));
  // The entries beyond the 31st are not read, and no save writes for them;
  // what the user wrote for them stays.
  EXPECT_EQ("0", Setting("Collapse", "G30"));
  EXPECT_EQ("<none>", Setting("Collapse", "G31"));
  EXPECT_EQ("1", Setting("Collapse", "G35"));
  EXPECT_EQ(lists, Setting("View", "Lists"));
}

TEST_F(MainFormTest, AGroupOfTwoHundredIdsUnderAFiveThousandCharacterTitle) {
  std::string ids;
  for (int i = 0; i < 200; ++i) {
    AddChannel(10 + i, static_cast<uint16_t>(2001 + i), "K" + std::to_string(2001 + i));
    ids += std::to_string(2001 + i) + ",";
  }
  const std::string title = "Alles " + std::string(4994, 'x');
  WriteSettings("[View]\r\nLists=Fav\r\n[Fav]\r\nTitle=" + title + "\r\nList=" + ids + "\r\n");
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());

  // The caption is what a read gives: the first 2047 characters.
  const TreeNode group = tree.FirstChild(kNoNode);
  ASSERT_NE(kNoNode, group);
  EXPECT_EQ(title.substr(0, 2047), tree.Caption(group));
  const std::vector<TreeNode>& channels = tree.nodes.at(group).children;
  ASSERT_EQ(static_cast<size_t>(kMaxGroupIds), channels.size());
  EXPECT_EQ("K2101", tree.Caption(channels.back()));
  tree.Select(channels.back());
  form->TreeView1DblClick();
  ASSERT_FALSE(host.commands.empty());
  EXPECT_EQ(110, host.commands.back().argument);

  // The long caption still finds its entry: a collapse is recorded.
  form->TreeView1MouseUp(true, group);
  EXPECT_EQ("1", Setting("Collapse", "FAV"));
}

TEST_F(MainFormTest, AnIntervalBeyondTheTimersRangeIsCappedAndSavedCapped) {
  WriteSettings("[Zanterpoint]\r\nTimerInterval=99999999\r\n");
  form->FormActivate();
  EXPECT_EQ("Timer (2147483s)", shell.timerCaption);
  EXPECT_EQ(2147483000u, shell.rescanMs);

  form->MenuItemTimerClick();
  EXPECT_TRUE(shell.rescanOn);
  EXPECT_EQ(2147483000u, shell.rescanMs);
  EXPECT_EQ("2147483", Setting("Zanterpoint", "TimerInterval"));
  EXPECT_EQ("1", Setting("Zanterpoint", "TimerEnabled"));
}

TEST_F(MainFormTest, OneTimerClickAfterALoadStoppedByABrokenColourOrFont) {
  for (const char* broken : {"TreeViewColor=kein Farbwert", "TreeViewFont=A,B,10,0000,clBlack"}) {
    WriteSettings(std::string("[Zanterpoint]\r\n") + broken +
                  "\r\nTimerEnabled=0\r\nTimerInterval=30\r\n");
    shell = FakeShell{};
    shell.form = form.get();
    form->FormActivate();  // stops before the timer keys
    ASSERT_EQ(1u, form->Errors().Take().size()) << broken;
    ASSERT_EQ("Timer", shell.timerCaption);

    // The save repairs the broken key, and the click's change is in the file.
    form->MenuItemTimerClick();
    EXPECT_TRUE(form->Errors().Take().empty()) << broken;
    EXPECT_TRUE(shell.timerChecked) << broken;
    EXPECT_EQ("Timer (30s)", shell.timerCaption);
    EXPECT_TRUE(shell.rescanOn);
    EXPECT_EQ(30000u, shell.rescanMs);
    EXPECT_EQ("1", Setting("Zanterpoint", "TimerEnabled"));
    EXPECT_EQ("30", Setting("Zanterpoint", "TimerInterval"));
  }
}

TEST_F(MainFormTest, AWindowSavedOutsideEveryMonitorOpensOnOne) {
  const std::string file = "[Zanterpoint]\r\nTop=3000\r\nLeft=5000\r\nHeight=400\r\nWidth=200\r\n";
  WriteSettings(file);
  shell.workAreas = {{0, 0, 1024, 768}};
  form->FormActivate();
  EXPECT_EQ(368, shell.bounds.top);
  EXPECT_EQ(824, shell.bounds.left);
  EXPECT_EQ(400, shell.bounds.height);
  EXPECT_EQ(200, shell.bounds.width);
  EXPECT_EQ("3000", Setting("Zanterpoint", "Top"));  // nothing written by this alone
  // The next save records where the window is.
  form->FormKeyDown(vk::kEscape, {});
  EXPECT_EQ("368", Setting("Zanterpoint", "Top"));
  EXPECT_EQ("824", Setting("Zanterpoint", "Left"));
}

TEST_F(MainFormTest, AReadOnlySettingsFileIsReportedAndLeftAsItWas) {
  namespace fs = std::filesystem;
  const std::string original =
      "; mine\r\n[View]\r\nLists=DP,Fav\r\n[Fav]\r\nList=1001\r\n[Collapse]\r\nFAV=0\r\n";
  WriteSettings(original);
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::string error = "In " + path + " kann nicht geschrieben werden";

  // The build's expansions cannot be saved: one report for the whole build.
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  EXPECT_EQ("Direkt Portal(18)+ [D 0 Vorschau(300), D 3 Kinohits(303)] | Fav(0)+ [Das Erste(1001)]",
            tree.Describe());
  EXPECT_EQ(std::vector<std::string>{error + "."}, form->Errors().Take());

  // A collapse still happens on screen; closing reports the failed save.
  form->TreeView1MouseUp(true, Node("Fav"));
  EXPECT_FALSE(tree.Expanded(Node("Fav")));
  EXPECT_EQ(std::vector<std::string>{error + "."}, form->Errors().Take());
  try {
    form->FormClose();
    ADD_FAILURE() << "the save did not fail";
  } catch (const SettingsError& e) {
    EXPECT_EQ(error, e.what());
  }
  EXPECT_EQ(original, ReadBytes(path));

  // Writable again, the next save records what the user did meanwhile.
  fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
  form->FormClose();
  EXPECT_EQ("1", Setting("Collapse", "FAV"));
  EXPECT_EQ("DP,Fav", Setting("View", "Lists"));
}

}  // namespace
}  // namespace zp::test
