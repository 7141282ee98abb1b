// Settings files a user can break by hand, loaded and saved through the
// portable profile backend on real files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "settings/Conversions.h"
#include "settings/PortableProfileFile.h"

namespace zp {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using ::testing::UnorderedElementsAreArray;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 2;
  }
  return lines;
}

// The lines of `after` that `before` does not have. Every line of `before`
// must still be there, unchanged and in the same order.
std::vector<std::string> LinesAdded(const std::string& before, const std::string& after) {
  const std::vector<std::string> old = Lines(before);
  std::vector<std::string> added;
  size_t next = 0;
  for (const std::string& line : Lines(after)) {
    if (next < old.size() && line == old[next]) {
      ++next;
    } else {
      added.push_back(line);
    }
  }
  EXPECT_EQ(old.size(), next) << "a line of the file went missing or changed";
  return added;
}

class BadSettingsFileTest : public ::testing::Test {
 protected:
  test::TempFolder folder_;
  std::string path_ = folder_.File("Zanterpoint.ini");
  PortableProfileFile file_{path_};
  test::FakeWindow window_;
  Settings settings_{file_, window_};
};

TEST_F(BadSettingsFileTest, ValuesOfFiveThousandCharactersAreReadCutAndKeptInTheFile) {
  std::string title;
  while (title.size() < 5000) title += "0123456789";
  std::string ids;
  for (int id = 1001; ids.size() < 5000; ++id) ids += std::to_string(id) + ", ";
  ids.resize(5000);
  const std::string lists = "DP, Fav, " + std::string(4991, 'L');
  const std::string original = "; Zanterpoint, kept by hand\r\n[View]\r\nLists=" + lists +
                               "\r\nNote=" + std::string(5000, 'n') + "\r\n\r\n[Fav]\r\n" +
                               "; my channels\r\nTitle=" + title + "\r\nList=" + ids + "\r\n";
  WriteBytes(path_, original);

  settings_.Load();
  // Lists ends inside its long third item, which names no section.
  const std::string cutItem(2047 - 9, 'L');
  ASSERT_EQ(2, settings_.listEntryCount);
  const ListEntry& fav = settings_.listEntries[1];
  EXPECT_EQ(title.substr(0, 2047), fav.title);
  ASSERT_EQ(kMaxGroupIds, fav.idCount);
  EXPECT_EQ(1001, fav.ids[0]);
  EXPECT_EQ(1101, fav.ids[100]);
  EXPECT_EQ("Fav", *settings_.NodeListName(title.substr(0, 2047)));
  EXPECT_NE(nullptr, settings_.CollapseState(cutItem));
  EXPECT_EQ(std::string(2047, 'n'), file_.Read("View", "Note", ""));

  // The save adds the module's own keys and changes no byte the user wrote.
  *settings_.CollapseState("Fav") = 1;
  settings_.Save();
  EXPECT_THAT(
      LinesAdded(original, ReadBytes(path_)),
      UnorderedElementsAreArray(std::vector<std::string>{
          "DP=1", "SP=1", "EP=0", "[Zanterpoint]", "Top=120", "Left=40", "Height=480", "Width=170",
          "TreeViewColor=clWindow", "TreeViewFont=MS Sans Serif,8,0000,clWindowText",
          "TimerEnabled=0", "TimerInterval=60", "[Collapse]", "DP=0", "SP=0", "EP=0", "FAV=1",
          cutItem + "=0"}));
  settings_.Load();
  EXPECT_EQ(1, *settings_.CollapseState("Fav"));
}

TEST_F(BadSettingsFileTest, AFiveThousandCharacterFontEndsTheLoadAndTheSaveRepairsOnlyIt) {
  const std::string head = "[View]\r\nLists=DP,Fav\r\n[Fav]\r\nList=1001\r\n[Zanterpoint]\r\n";
  const std::string tail = "TimerInterval=90\r\n; keep\r\nMine=1\r\n";
  WriteBytes(path_, head + "TreeViewFont=" + std::string(4986, 'N') + ",10,1000,clRed\r\n" + tail);

  // Cut to 2047 characters, the text has no comma left.
  EXPECT_EQ(kFontErrorText, test::SettingsErrorOf([&] { settings_.Load(); }));
  EXPECT_EQ("MS Sans Serif", window_.font.name);
  EXPECT_EQ(0, settings_.listEntryCount);

  // The module's font key is written from the tree's valid font; the timer
  // keys the load never reached, the Lists, the group and the user's own
  // lines stay as they were.
  settings_.Save();
  EXPECT_EQ(
      "[View]\r\nLists=DP,Fav\r\nDP=1\r\nSP=1\r\nEP=0\r\n[Fav]\r\nList=1001\r\n[Zanterpoint]\r\n"
      "TreeViewFont=MS Sans Serif,8,0000,clWindowText\r\n" +
          tail + "Top=120\r\nLeft=40\r\nHeight=480\r\nWidth=170\r\nTreeViewColor=clWindow\r\n",
      ReadBytes(path_));
}

TEST_F(BadSettingsFileTest, AReadOnlyFileIsNeverWritten) {
  namespace fs = std::filesystem;
  const std::string original =
      "; mine\r\n[View]\r\nDP=1\r\nLists=DP,Fav\r\n[Fav]\r\nList=1001\r\n"
      "[Zanterpoint]\r\nTimerInterval=99999999\r\n";
  WriteBytes(path_, original);
  // No write permission bit at all: how Wine shows the read-only attribute,
  // which Windows honours even for an administrator.
  fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);

  EXPECT_FALSE(file_.Write("View", "DP", "1"));  // even a value the file already holds
  EXPECT_FALSE(file_.Write("View", "DP", "0"));
  EXPECT_FALSE(file_.Write("New", "Key", "value"));
  EXPECT_EQ(original, ReadBytes(path_));

  settings_.Load();  // reading is not affected
  EXPECT_EQ(2, settings_.listEntryCount);
  EXPECT_EQ(kMaxTimerIntervalSeconds, settings_.timerInterval.value);
  EXPECT_EQ("In " + path_ + " kann nicht geschrieben werden",
            test::SettingsErrorOf([&] { settings_.Save(); }));
  EXPECT_EQ(original, ReadBytes(path_));

  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
  settings_.Save();
  EXPECT_EQ("2147483", file_.Read("Zanterpoint", "TimerInterval", ""));
  EXPECT_EQ("DP,Fav", file_.Read("View", "Lists", ""));
}

}  // namespace
}  // namespace zp
