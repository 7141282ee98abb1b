#include <gtest/gtest.h>

#include "ui/MainFormFixture.h"

namespace zp::test {
namespace {

using Code = HostCommandCode;

constexpr char kSettings[] =
    "[View]\r\nDP=1\r\nSP=1\r\nEP=0\r\nLists=Fav, DP, EP, SP, dp\r\n"
    "[Fav]\r\nTitle=Favoriten\r\nList=1001, 0, -5, 9999, 1002\r\n"
    "[dp]\r\nList=1003\r\n"
    "[Collapse]\r\nSP=1\r\n";

TEST_F(MainFormTest, BuildsRootsInListsOrderWithChannelsAndCollapseStates) {
  WriteSettings(kSettings);
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  // EP is listed but hidden; "dp" is a group, not the Direkt portal; ids the
  // viewer does not know, 0 and negative ones are left out; SP stays collapsed.
  EXPECT_EQ(
      "Favoriten(0)+ [Das Erste(1001), ZDF(1002)]"
      " | Direkt Portal(18)+ [D 0 Vorschau(300), D 3 Kinohits(303)]"
      " | Sport Portal(17) [Sport 1(401)]"
      " | dp(0)+ [arte(1003)]",
      tree.Describe());
  EXPECT_TRUE(form->TreeBuilt());
  // Each expansion of the build is recorded and saved under the entry's name.
  EXPECT_EQ("0", Setting("Collapse", "FAV"));
  EXPECT_EQ("0", Setting("Collapse", "DP"));
  EXPECT_EQ("1", Setting("Collapse", "SP"));
  EXPECT_FALSE(form->TogglePermit());
}

TEST_F(MainFormTest, ExtractionWithoutDirektLeavesTheTreeAsItWas) {
  WriteSettings(kSettings);
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  const std::string before = tree.Describe();
  FeedNothing();
  EXPECT_FALSE(form->BuildTree());
  EXPECT_EQ(before, tree.Describe());
  EXPECT_TRUE(form->TreeBuilt());
}

TEST_F(MainFormTest, WithoutListsTheTreeIsEmptyButBuilt) {
  FeedPortals();
  EXPECT_TRUE(form->BuildTree());
  EXPECT_EQ("", tree.Describe());
  EXPECT_TRUE(form->TreeBuilt());
  // Arrow keys on an empty tree have nothing to select.
  form->FormKeyDown(vk::kDown, {});
  form->FormKeyDown(vk::kRight, {});
  EXPECT_EQ(kNoNode, tree.selected);
}

TEST_F(MainFormTest, OnlyTheModuleExpandsOrCollapses) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  const TreeNode direkt = Node("Direkt Portal");
  const TreeNode sport = Node("Sport Portal");

  // The control's own toggles (double click, keyboard) are refused.
  EXPECT_FALSE(tree.UserToggle(direkt, *form));
  EXPECT_FALSE(tree.UserToggle(sport, *form));
  EXPECT_TRUE(tree.Expanded(direkt));

  // A right click acts on the node under the pointer and records the new state.
  form->TreeView1MouseUp(true, direkt);
  EXPECT_FALSE(tree.Expanded(direkt));
  EXPECT_EQ("1", Setting("Collapse", "DP"));
  form->TreeView1MouseUp(true, sport);
  EXPECT_TRUE(tree.Expanded(sport));
  EXPECT_EQ("0", Setting("Collapse", "SP"));

  // Beside the nodes it acts on the selected node; without one, on nothing.
  form->TreeView1MouseUp(true, kNoNode);
  EXPECT_TRUE(tree.Expanded(sport));
  tree.Select(sport);
  form->TreeView1MouseUp(true, kNoNode);
  EXPECT_FALSE(tree.Expanded(sport));
  form->TreeView1MouseUp(false, direkt);
  EXPECT_FALSE(tree.Expanded(direkt));
  EXPECT_FALSE(form->TogglePermit());
}

TEST_F(MainFormTest, AnEmptyPortalLeavesThePermitForTheNextNotification) {
  WriteSettings("[View]\r\nEP=1\r\nLists=DP,EP\r\n");
  FeedPortals(false);
  form->BuildTree();
  EXPECT_EQ("Direkt Portal(18)+ [D 0 Vorschau(300), D 3 Kinohits(303)] | Erotik Portal(513)",
            tree.Describe());
  EXPECT_TRUE(form->TogglePermit());
  // Whatever asks next is allowed once, and recorded.
  EXPECT_TRUE(tree.UserToggle(Node("Direkt Portal"), *form));
  EXPECT_EQ("1", Setting("Collapse", "DP"));
  EXPECT_FALSE(tree.UserToggle(Node("Direkt Portal"), *form));
}

TEST_F(MainFormTest, PortalStateIsRecordedAfterALoadWithoutRebuild) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  form->FormActivate();  // fresh dictionaries, no tree build follows
  form->TreeView1MouseUp(true, Node("Direkt Portal"));
  EXPECT_EQ("1", Setting("Collapse", "DP"));
}

TEST_F(MainFormTest, ABrokenSettingsFileIsReportedAndTheTreeStillBuilds) {
  WriteSettings("[View]\r\nLists=DP,Fav,Bad,SP\r\n[Fav]\r\nList=1001\r\n[Bad]\r\nList=1002, x\r\n");
  FeedPortals();
  ASSERT_TRUE(form->BuildTree());
  // The load ends at the bad id: the entries before it make the tree.
  EXPECT_EQ("Direkt Portal(18)+ [D 0 Vorschau(300), D 3 Kinohits(303)] | Fav(0)+ [Das Erste(1001)]",
            tree.Describe());
  const auto errors = form->Errors().Take();
  ASSERT_EQ(1u, errors.size());
  EXPECT_NE(std::string::npos, errors[0].find("'x'"));
  EXPECT_EQ('.', errors[0].back());
}

TEST_F(MainFormTest, ARootWhoseEntryTheLoadMissedTogglesUnrecorded) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  // A colour that is no colour ends the load before the collapse states.
  WriteSettings(std::string(kSettings) + "[Zanterpoint]\r\nTreeViewColor=bogus\r\n");
  form->FormActivate();
  EXPECT_FALSE(form->Errors().Take().empty());
  form->TreeView1MouseUp(true, Node("Favoriten"));
  EXPECT_FALSE(tree.Expanded(Node("Favoriten")));
  EXPECT_EQ("<none>", Setting("Collapse", "FAV"));
  EXPECT_FALSE(form->TogglePermit());
}

TEST_F(MainFormTest, ArrowKeysMoveTheSelectionAndToggleThroughTheModule) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  const KeyModifiers none{};

  form->FormKeyDown(vk::kUp, none);  // no selection: the first node
  EXPECT_EQ(Node("Favoriten"), tree.selected);
  form->FormKeyDown(vk::kUp, none);  // already the first visible node
  EXPECT_EQ(Node("Favoriten"), tree.selected);
  form->FormKeyDown(vk::kDown, {true, true, true});
  EXPECT_EQ(Node("Das Erste"), tree.selected);

  tree.Select(Node("Sport Portal"));
  form->FormKeyDown(vk::kDown, none);  // Sport is collapsed: its channel is not visible
  EXPECT_EQ(Node("dp"), tree.selected);
  form->FormKeyDown(vk::kDown, none);
  form->FormKeyDown(vk::kDown, none);  // arte is the last visible node
  EXPECT_EQ(Node("arte"), tree.selected);

  tree.Select(Node("Favoriten"));
  form->FormKeyDown(vk::kLeft, none);
  EXPECT_FALSE(tree.Expanded(Node("Favoriten")));
  EXPECT_EQ("1", Setting("Collapse", "FAV"));
  form->FormKeyDown(vk::kLeft, none);  // already collapsed: nothing asked
  EXPECT_FALSE(form->TogglePermit());
  form->FormKeyDown(vk::kRight, none);
  EXPECT_TRUE(tree.Expanded(Node("Favoriten")));
  EXPECT_EQ("0", Setting("Collapse", "FAV"));

  // A channel has no children: nothing changes and the permit stays set.
  tree.Select(Node("ZDF"));
  const int changes = tree.stateChanges;
  form->FormKeyDown(vk::kRight, none);
  EXPECT_EQ(changes, tree.stateChanges);
  EXPECT_TRUE(form->TogglePermit());
}

TEST_F(MainFormTest, EnterAndDoubleClickTuneToTheNodesService) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  auto lastTune = [&] {
    for (auto it = host.commands.rbegin(); it != host.commands.rend(); ++it) {
      if (it->code == Code::TuneToPosition) return static_cast<int32_t>(it->argument);
    }
    return int32_t{-1};
  };

  tree.Select(Node("ZDF"));
  form->FormKeyDown(vk::kReturn, {});
  EXPECT_EQ(6, lastTune());
  tree.Select(Node("Direkt Portal"));
  form->TreeView1DblClick();
  EXPECT_EQ(3, lastTune());

  // A group without NodeSID tunes nowhere; an unknown service says so.
  const size_t sent = host.commands.size();
  tree.Select(Node("Favoriten"));
  form->FormKeyDown(vk::kReturn, {});
  form->TreeView1DblClick();
  tree.Select(Node("D 3 Kinohits"));
  form->TreeView1DblClick();
  EXPECT_EQ(sent, host.commands.size());
  ASSERT_EQ(1u, shell.messages.size());
  EXPECT_EQ("Sorry, but there is no TV channel with SID 303 in channel list!", shell.messages[0]);

  // The control never toggles a node on a double click.
  EXPECT_TRUE(tree.Expanded(Node("Favoriten")));
}

TEST_F(MainFormTest, CtrlWithAltOrShiftTogglesAPortalSavesAndRebuilds) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  form->FormKeyDown('E', {true, false, false});
  form->FormKeyDown('E', {false, true, false});
  EXPECT_EQ(std::string::npos, tree.Describe().find("Erotik"));

  form->FormKeyDown('E', {true, true, false});
  EXPECT_EQ("1", Setting("View", "EP"));
  EXPECT_EQ(
      "Favoriten(0)+ [Das Erste(1001), ZDF(1002)]"
      " | Direkt Portal(18)+ [D 0 Vorschau(300), D 3 Kinohits(303)]"
      " | Erotik Portal(513)+ [Nachtkino 1(521)]"
      " | Sport Portal(17) [Sport 1(401)]"
      " | dp(0)+ [arte(1003)]",
      tree.Describe());

  // Without portal data in the capture the flag is saved, the tree stays.
  FeedNothing();
  form->FormKeyDown('D', {true, false, true});
  EXPECT_EQ("0", Setting("View", "DP"));
  EXPECT_NE(std::string::npos, tree.Describe().find("Direkt Portal"));
}

TEST_F(MainFormTest, CloseSavesGeometryAndActivationAppliesIt) {
  form->FormActivate();  // no file: the defaults
  EXPECT_EQ(0, shell.bounds.top);
  EXPECT_EQ(0, shell.bounds.left);
  EXPECT_EQ(500, shell.bounds.height);
  EXPECT_EQ(160, shell.bounds.width);

  shell.bounds = {40, 30, 600, 250};
  shell.rescanOn = true;
  form->FormKeyDown(vk::kEscape, {});
  EXPECT_FALSE(shell.visible);
  EXPECT_FALSE(shell.rescanOn);
  EXPECT_EQ("40", Setting("Zanterpoint", "Top"));
  EXPECT_EQ("250", Setting("Zanterpoint", "Width"));

  shell.bounds = {1, 2, 3, 4};  // moved, not saved
  form->FormActivate();
  EXPECT_EQ(40, shell.bounds.top);
  EXPECT_EQ(30, shell.bounds.left);
  EXPECT_EQ(600, shell.bounds.height);
  EXPECT_EQ(250, shell.bounds.width);
}

TEST_F(MainFormTest, TheTimerCommandTogglesThroughTheFile) {
  WriteSettings("[Zanterpoint]\r\nTimerInterval=90\r\n");
  form->FormActivate();
  EXPECT_EQ("Timer (90s)", shell.timerCaption);
  EXPECT_FALSE(shell.timerChecked);

  form->MenuItemTimerClick();
  EXPECT_TRUE(shell.timerChecked);
  EXPECT_TRUE(shell.rescanOn);
  EXPECT_EQ(90000u, shell.rescanMs);
  EXPECT_EQ("1", Setting("Zanterpoint", "TimerEnabled"));

  form->MenuItemTimerClick();
  EXPECT_FALSE(shell.timerChecked);
  EXPECT_FALSE(shell.rescanOn);
  EXPECT_EQ("0", Setting("Zanterpoint", "TimerEnabled"));
}

TEST_F(MainFormTest, HintsFollowThePointerFromNodeToNode) {
  WriteSettings(kSettings);
  FeedPortals();
  form->BuildTree();
  const TreeNode d3 = Node("D 3 Kinohits");
  const TreeNode d0 = Node("D 0 Vorschau");

  HintChange change = form->TreeView1MouseMove(d3, hit::kOnItemLabel);
  EXPECT_TRUE(change.cancel);
  EXPECT_TRUE(change.setText);
  EXPECT_EQ("Lola rennt", change.text);
  // Within the same node nothing happens.
  change = form->TreeView1MouseMove(d3, hit::kOnItemIcon);
  EXPECT_FALSE(change.cancel || change.setText);
  // Onto another node's indent: the hint goes, the text stays.
  change = form->TreeView1MouseMove(d0, hit::kOnItemIndent);
  EXPECT_TRUE(change.cancel);
  EXPECT_FALSE(change.setText);
  change = form->TreeView1MouseMove(d0, hit::kOnItemLabel);
  EXPECT_EQ("Alle Filme", change.text);
  change = form->TreeView1MouseMove(Node("Favoriten"), hit::kOnItemLabel);
  EXPECT_TRUE(change.setText);
  EXPECT_EQ("", change.text);
  change = form->TreeView1MouseMove(kNoNode, hit::kNowhere);
  EXPECT_TRUE(change.cancel);
  EXPECT_FALSE(change.setText);
}

}  // namespace
}  // namespace zp::test
