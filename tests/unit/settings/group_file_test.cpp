#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/Conversions.h"
#include "settings/GroupFile.h"
#include "settings/PortableProfileFile.h"

namespace zp {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::SettingsErrorOf;
using test::WriteBytes;

// The viewer's table in these tests holds the ids 100..199 and 28106 (0x6DCA).
bool InTable(int32_t id) { return (id >= 100 && id < 200) || id == 28106; }

// A file as users write it: comments, blank lines, hex ids, an id the table
// lacks, keys the module does not know, odd spacing.
const char* const kHandFile =
    "; my settings\r\n"
    "[View]\r\n"
    "DP=1\r\n"
    "Lists = DP,  Fav ,Other\r\n"
    "\r\n"
    "[Fav]\r\n"
    "; the good ones\r\n"
    "Title=Favourites\r\n"
    "List= 0x6DCA, 101 ,9999,102\r\n"
    "Colour=mine\r\n"
    "\r\n"
    "[Other]\r\n"
    "List=100\r\n";

class GroupFileTest : public ::testing::Test {
 protected:
  void SetUp() override { WriteBytes(path_, kHandFile); }
  std::string Write(const GroupEdit& edit) { return WriteGroupEdit(file_, edit, InTable); }
  // The hand file with one or two lines changed.
  static std::string Replaced(const std::string& from, const std::string& to,
                              const std::string& from2 = "", const std::string& to2 = "") {
    std::string bytes = kHandFile;
    bytes.replace(bytes.find(from), from.size(), to);
    if (!from2.empty()) bytes.replace(bytes.find(from2), from2.size(), to2);
    return bytes;
  }

  test::TempFolder folder_;
  std::string path_ = folder_.File("Zanterpoint.ini");
  PortableProfileFile file_{path_};
};

TEST_F(GroupFileTest, AReorderWritesOnlyTheListAndKeepsKeptIdsAndTheirSpelling) {
  // 9999 is not in the table: it keeps its third place; 0x6DCA keeps its spelling.
  Write({"Fav", false, "Favourites", 0, {102, 28106, 101}});
  EXPECT_EQ(ReadBytes(path_), Replaced("List= 0x6DCA, 101 ,9999,102", "List=102,0x6DCA,9999,101"));
}

TEST_F(GroupFileTest, AnUnchangedEditWritesNothingAndTitleAndNodeSidOnlyWhenChanged) {
  Write({"Fav", false, "  Favourites ", 0, {28106, 101, 102}});
  EXPECT_EQ(ReadBytes(path_), kHandFile);

  Write({"Fav", false, "Favourites", 150, {28106, 101, 102}});
  EXPECT_EQ(ReadBytes(path_), Replaced("Colour=mine\r\n", "Colour=mine\r\nNodeSID=150\r\n"));

  // [Other] has no Title: its section name is its title, so keeping it writes nothing.
  const std::string before = ReadBytes(path_);
  Write({"Other", false, "Other", 0, {100}});
  EXPECT_EQ(ReadBytes(path_), before);
  Write({"Other", false, "Andere", 0, {100}});
  EXPECT_EQ(file_.Read("Other", "Title", ""), "Andere");
}

TEST_F(GroupFileTest, AHandEditMadeWhileTheEditorWasOpenSurvives) {
  (void)file_.Read("Fav", "Colour", "");  // the file's copy is now cached
  WriteBytes(path_, Replaced("Colour=mine", "Colour=theirs"));
  Write({"Fav", false, "Favoriten", 0, {28106, 101, 102}});
  EXPECT_EQ(ReadBytes(path_),
            Replaced("Colour=mine", "Colour=theirs", "Title=Favourites", "Title=Favoriten"));
}

TEST_F(GroupFileTest, ANewGroupGetsAFreeSectionAndIsAppendedToLists) {
  WriteBytes(path_, std::string(kHandFile) + "[Sport]\r\nNote=someone else's\r\n");
  EXPECT_EQ(Write({"", false, "Sport!", 0, {150, 151}}), "Sport2");
  EXPECT_EQ(file_.Read("View", "Lists", ""), "DP,  Fav ,Other,Sport2");
  EXPECT_EQ(file_.Read("Sport2", "Title", ""), "Sport!");
  EXPECT_EQ(file_.Read("Sport2", "List", ""), "150,151");
  EXPECT_EQ(file_.Read("Sport2", "NodeSID", "none"), "none");
  EXPECT_EQ(file_.Read("Sport", "Note", ""), "someone else's");
}

TEST_F(GroupFileTest, RemovingAGroupTakesItOutOfListsAndKeepsItsSection) {
  Write({"Fav", true, "", 0, {}});
  EXPECT_EQ(ReadBytes(path_), Replaced("Lists = DP,  Fav ,Other", "Lists=DP,Other"));
}

TEST_F(GroupFileTest, RemovingAGroupTakesEveryItemThatShowsItButNoPortal) {
  // "fav" names the same section; "dp" is a group of its own name, "DP" the portal.
  WriteBytes(path_, "[View]\r\nLists=DP,Fav,fav,dp\r\n[Fav]\r\nList=100\r\n[dp]\r\nList=101\r\n");
  Write({"Fav", true, "", 0, {}});
  EXPECT_EQ(file_.Read("View", "Lists", ""), "DP,dp");
  Write({"dp", true, "", 0, {}});
  EXPECT_EQ(file_.Read("View", "Lists", ""), "DP");
  EXPECT_EQ(file_.Read("dp", "List", ""), "101");
}

TEST_F(GroupFileTest, LimitsAndIncompleteEditsAreRefusedBeforeAnythingIsWritten) {
  std::vector<int32_t> full;
  for (int32_t id = 100; id < 199; ++id) full.push_back(id);  // 99 + the kept 9999 = 100
  EXPECT_EQ(SettingsErrorOf([&] { Write({"Fav", false, "F", 0, full}); }), "(no error)");
  full.push_back(199);
  full.push_back(28106);  // 101 shown + 1 kept
  EXPECT_EQ(SettingsErrorOf([&] { Write({"Fav", false, "F", 0, full}); }), kGroupFullText);
  EXPECT_EQ(SettingsErrorOf([&] {
              Write({"Fav", false, "  ", 0, {100}});
            }),
            kGroupTitleMissingText);
  EXPECT_EQ(SettingsErrorOf([&] { Write({"", false, "New", 0, {}}); }), kGroupEmptyText);

  std::string lists = "DP";
  for (int i = 1; i < 31; ++i) lists += ",G" + std::to_string(i);
  WriteBytes(path_, "[View]\r\nLists=" + lists + "\r\n");
  const std::string before = ReadBytes(path_);
  EXPECT_EQ(SettingsErrorOf([&] { Write({"", false, "New", 0, {100}}); }), kListsFullText);
  EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(GroupFileTest, AReadOnlyFileGivesTheWriteErrorAndStaysUnchanged) {
  fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(SettingsErrorOf([&] {
              Write({"Fav", false, "Neu", 0, {100}});
            }),
            WriteErrorText(path_));
  EXPECT_EQ(SettingsErrorOf([&] { Write({"", false, "Neu", 0, {100}}); }), WriteErrorText(path_));
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(ReadBytes(path_), kHandFile);
}

TEST(GroupList, IdsPastTheGroupsLimitAndUnknownIdsKeepTheirPlaces) {
  std::vector<std::string> stored;
  for (int i = 0; i < 103; ++i) stored.push_back(std::to_string(100 + i));  // 200..202 beyond
  stored[1] = "x1";                                                         // no integer
  const auto merged = MergeGroupList(stored, InTable, {105, 100});
  EXPECT_EQ(merged, (std::vector<std::string>{"105", "x1", "100", "200", "201", "202"}));
  EXPECT_EQ(KeptTokenCount(stored, InTable), 4);
  // Fewer ids than before: the kept ones close up but keep their order.
  EXPECT_EQ(MergeGroupList({"9999", "100", "8888"}, InTable, {}),
            (std::vector<std::string>{"9999", "8888"}));
}

TEST(GroupSectionName, IsSafeUniqueAndNeverTheModulesOwn) {
  std::set<std::string> taken{"FAV", "GRUPPE"};
  const auto isTaken = [&](const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return taken.count(upper) > 0;
  };
  EXPECT_EQ(MakeGroupSectionName("Mein Sport [HD]=1;x", isTaken), "MeinSportHD1x");
  EXPECT_EQ(MakeGroupSectionName("fav", isTaken), "fav2");
  EXPECT_EQ(MakeGroupSectionName("\xC4\xD6\xDC", isTaken), "Gruppe2");
  EXPECT_EQ(MakeGroupSectionName("dp", isTaken), "dp2");
  EXPECT_EQ(MakeGroupSectionName("Collapse", isTaken), "Collapse2");
  EXPECT_EQ(MakeGroupSectionName(std::string(40, 'a'), isTaken), std::string(24, 'a'));
}

TEST(GroupNames, AreTheListsGroupsOnceEach) {
  test::TempFolder folder;
  const std::string path = folder.File("a.ini");
  WriteBytes(path, "[View]\r\nLists=DP, Fav,,SP,fav,dp,Std\r\n");
  PortableProfileFile file(path);
  EXPECT_EQ(ReadGroupNames(file), (std::vector<std::string>{"Fav", "dp", "Std"}));
}

}  // namespace
}  // namespace zp
