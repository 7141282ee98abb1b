#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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

// The portable file, counting flushes and failing at one chosen key.
class CheckedFile : public ProfileFile {
 public:
  explicit CheckedFile(const std::string& path) : file_(path) {}
  const std::string& Path() const override { return file_.Path(); }
  std::string Read(const std::string& s, const std::string& k, const std::string& d) override {
    return file_.Read(s, k, d);
  }
  bool Write(const std::string& s, const std::string& k, const std::string& v) override {
    written.push_back(s + "/" + k);
    return k != failKey && file_.Write(s, k, v);
  }
  std::vector<std::string> ReadSection(const std::string& s) override {
    return writeAll ? std::vector<std::string>{} : file_.ReadSection(s);
  }
  void Flush() override {
    ++flushes;
    file_.Flush();
  }
  std::string failKey;
  bool writeAll = false;  // every section listed as empty: the save writes every key
  int flushes = 0;
  std::vector<std::string> written;  // section/key of every write call

 private:
  PortableProfileFile file_;
};

class SettingsTest : public ::testing::Test {
 protected:
  test::TempFolder folder_;
  std::string path_ = folder_.File("Zanterpoint.ini");
  CheckedFile file_{path_};
  test::FakeWindow window_;
  Settings settings_{file_, window_};
};

TEST_F(SettingsTest, WithoutAFileDefaultsAndTheFirstSave) {
  settings_.Load();
  EXPECT_TRUE(settings_.View(ListKind::Direkt) && settings_.View(ListKind::Sport) &&
              !settings_.View(ListKind::Erotik));
  EXPECT_EQ(settings_.geometry.height, 500);
  EXPECT_EQ(settings_.geometry.width, 160);
  EXPECT_FALSE(window_.menuChecked || window_.timerRunning);
  EXPECT_EQ(window_.menuSeconds, 60);
  EXPECT_EQ(window_.intervalMs, 60000u);
  EXPECT_EQ(settings_.listEntryCount, 0);

  settings_.Save();
  EXPECT_EQ(
      ReadBytes(path_),
      "[View]\r\nDP=1\r\nSP=1\r\nEP=0\r\n[Zanterpoint]\r\nTop=120\r\nLeft=40\r\nHeight=480\r\n"
      "Width=170\r\nTreeViewColor=clWindow\r\nTreeViewFont=MS Sans Serif,8,0000,clWindowText\r\n"
      "TimerEnabled=0\r\nTimerInterval=60\r\n[Collapse]\r\nDP=0\r\nEP=0\r\nSP=0\r\n");
  EXPECT_EQ(file_.flushes, 2);  // after the load and after the save
}

TEST_F(SettingsTest, AHandEditedFileKeepsEverythingButTheModulesOwnKeys) {
  const std::string head =
      "; Zanterpoint settings, edited by hand\r\n\r\n[View]\r\nDP = 1\r\n"
      "Lists = DP, Fav ,  Kids\r\nMyNote=keep me\r\n";
  const std::string groups =
      "\r\n[Fav]\r\nTitle = \"My favourites\"\r\nList=  101, 102 ,0x67\r\nNodeSID=18\r\n"
      "; channels for the kids\r\n[Kids]\r\nList=200\r\nColour=unknown\r\n\r\n";
  WriteBytes(path_, head + groups +
                        "[Zanterpoint]\r\nTop=10\r\nUnknown=1\r\nTimerInterval = 120\r\n"
                        "[Collapse]\r\nfav=1\r\n");
  settings_.Load();
  ASSERT_EQ(settings_.listEntryCount, 3);
  const ListEntry& fav = settings_.listEntries[1];
  EXPECT_EQ(fav.title, "My favourites");
  EXPECT_EQ(fav.nodeSid, 18);
  EXPECT_EQ(std::vector<int32_t>(fav.ids.begin(), fav.ids.begin() + fav.idCount),
            (std::vector<int32_t>{101, 102, 103}));
  EXPECT_EQ(settings_.listEntries[2].title, "Kids");
  EXPECT_EQ(*settings_.NodeListName("MY FAVOURITES"), "Fav");
  EXPECT_EQ(*settings_.CollapseState("Fav"), 1);  // written as FAV, read under the Lists spelling
  EXPECT_EQ(settings_.timerInterval.value, 120);

  settings_.View(ListKind::Erotik) = true;
  *settings_.CollapseState("Kids") = 1;
  settings_.Save();
  // Unchanged values stay as the user wrote them; new keys join their sections.
  EXPECT_EQ(ReadBytes(path_),
            head + "SP=1\r\nEP=1\r\n" + groups +
                "[Zanterpoint]\r\nTop=120\r\nUnknown=1\r\nTimerInterval = 120\r\nLeft=40\r\n"
                "Height=480\r\nWidth=170\r\nTreeViewColor=clWindow\r\n"
                "TreeViewFont=MS Sans Serif,8,0000,clWindowText\r\nTimerEnabled=0\r\n"
                "[Collapse]\r\nfav=1\r\nKIDS=1\r\nDP=0\r\nEP=0\r\nSP=0\r\n");
}

TEST_F(SettingsTest, SaveThenLoadGivesBackWhatTheUserChanged) {
  WriteBytes(path_, "[View]\r\nLists=DP,Fav\r\n[Fav]\r\nList=5\r\n");
  settings_.Load();
  settings_.View(ListKind::Direkt) = false;
  settings_.View(ListKind::Erotik) = true;
  settings_.timerEnabled.value = true;
  settings_.timerInterval.value = 45;
  *settings_.CollapseState("fav") = 1;
  window_.color = 0x00123456;
  TextToFont("Arial,10,1010,clRed", window_.font);
  settings_.Save();

  test::FakeWindow window;
  Settings again(file_, window);
  again.Load();
  EXPECT_TRUE(!again.View(ListKind::Direkt) && again.View(ListKind::Sport) &&
              again.View(ListKind::Erotik));
  EXPECT_EQ(again.geometry.top, 120);
  EXPECT_EQ(again.geometry.width, 170);
  EXPECT_EQ(window.color, 0x00123456);
  EXPECT_EQ(FontToText(window.font), "Arial,10,1010,clRed");
  EXPECT_TRUE(window.menuChecked && window.timerRunning);
  EXPECT_EQ(window.menuSeconds, 45);
  EXPECT_EQ(*again.CollapseState("FAV"), 1);
  EXPECT_EQ(*again.CollapseState("DP"), 0);
}

TEST_F(SettingsTest, CollapseStatesOfNonAsciiNamesSurviveTheRoundTrip) {
  // The profile functions fold A to Z only; the state is read under the
  // capitals that the save writes.
  WriteBytes(path_, "[View]\r\nLists=Gr\xFCn\r\n[Gr\xFCn]\r\nList=1\r\n");
  settings_.Load();
  *settings_.CollapseState("Gr\xFCn") = 1;
  settings_.Save();
  EXPECT_EQ(file_.Read("Collapse", "GR\xDCN", ""), "1");
  EXPECT_EQ(file_.Read("Collapse", "gr\xFCn", "absent"), "absent");
  settings_.Load();
  EXPECT_EQ(*settings_.CollapseState("Gr\xFCn"), 1);
}

TEST_F(SettingsTest, TimerValuesAreBoundedAndBadNumbersGiveDefaults) {
  const std::pair<const char*, int32_t> cases[] = {
      {"5", 10}, {"abc", 60}, {"$3C", 60}, {"3000000", 2147483}};
  for (const auto& [text, seconds] : cases) {
    WriteBytes(path_, std::string("[Zanterpoint]\r\nTimerEnabled=true\r\nTimerInterval=") + text);
    settings_.Load();
    EXPECT_EQ(settings_.timerInterval.value, seconds) << text;
    EXPECT_EQ(window_.intervalMs, static_cast<uint32_t>(seconds) * 1000u);
    EXPECT_FALSE(settings_.timerEnabled.value);
  }
  WriteBytes(path_, "[Zanterpoint]\r\nTimerInterval=5\r\n");
  settings_.Load();
  settings_.Save();
  EXPECT_EQ(file_.Read("Zanterpoint", "TimerInterval", ""), "10");
}

TEST_F(SettingsTest, ListsEntriesAndGroups) {
  WriteBytes(path_,
             "[View]\r\nLists= DP, SP , Fav,dp,A,B\r\n[dp]\r\nList=5\r\n"
             "[A]\r\nTitle=Mine\r\nList=0,-5\r\n[B]\r\nTitle=MINE\r\nList=7\r\n");
  settings_.Load();
  ASSERT_EQ(settings_.listEntryCount, 5);  // Fav has no List and is dropped
  EXPECT_EQ(settings_.listEntries[2].name, "dp");
  EXPECT_FALSE(settings_.listEntries[2].IsPortal());
  EXPECT_EQ(settings_.listEntries[2].title, "dp");
  EXPECT_EQ(settings_.listEntries[3].ids[1], -5);
  EXPECT_EQ(*settings_.NodeListName("mine"), "A");  // the first group keeps the title
  EXPECT_NE(settings_.CollapseState("Fav"), nullptr);

  // Lists entries beyond 31 and ids beyond 101 are ignored, unread.
  std::string ids;
  for (int i = 1; i <= 110; ++i) ids += std::to_string(i) + ",";
  std::string lists = "[View]\r\nLists=";
  std::string sections = "[G2]\r\nList=" + ids + "bad\r\n";
  for (int i = 1; i <= 33; ++i) {
    lists += "G" + std::to_string(i) + ",";
    sections += "[G" + std::to_string(i) + "]\r\nList=1\r\n";
  }
  WriteBytes(path_, lists + "\r\n" + sections);
  settings_.Load();
  EXPECT_EQ(settings_.listEntryCount, 31);
  EXPECT_EQ(settings_.CollapseState("G32"), nullptr);
  EXPECT_EQ(settings_.listEntries[1].idCount, 101);
  EXPECT_EQ(settings_.listEntries[1].ids[100], 101);
}

TEST_F(SettingsTest, ALoadThatFailsKeepsWhatWasReadBeforeTheFailingKey) {
  WriteBytes(path_,
             "[View]\r\nEP=1\r\nLists=Fav,Bad,Later\r\n[Fav]\r\nList=1\r\n[Bad]\r\nTitle=Broken\r\n"
             "List=12, 7 ,,9\r\n[Later]\r\nList=5\r\n[Zanterpoint]\r\nTimerInterval=99\r\n");
  EXPECT_EQ(test::SettingsErrorOf([&] { settings_.Load(); }),
            "'' ist kein g\xFCltiger Integerwert");
  EXPECT_TRUE(settings_.View(ListKind::Erotik));
  EXPECT_EQ(settings_.timerInterval.value, 99);
  EXPECT_EQ(settings_.listEntryCount, 1);
  EXPECT_EQ(*settings_.NodeListName("Broken"), "Bad");
  EXPECT_EQ(settings_.CollapseState("Later"), nullptr);
  EXPECT_EQ(file_.flushes, 1);

  // A font failure comes before the timer and the Lists: those keep their values.
  WriteBytes(path_,
             "[View]\r\nDP=0\r\nLists=DP,SP\r\n[Zanterpoint]\r\nTreeViewColor=clRed\r\n"
             "TreeViewFont=A,B,10,0000,clBlack\r\nTimerInterval=30\r\n");
  EXPECT_EQ(test::SettingsErrorOf([&] { settings_.Load(); }),
            "'B' ist kein g\xFCltiger Integerwert");
  EXPECT_FALSE(settings_.View(ListKind::Direkt));
  EXPECT_EQ(window_.color, TextToColor("clRed"));
  EXPECT_EQ(window_.font.name, "A");
  EXPECT_EQ(settings_.timerInterval.value, 99);
  EXPECT_EQ(settings_.listEntryCount, 1);
  EXPECT_EQ(settings_.CollapseState("DP"), nullptr);

  // The next save writes the tree's valid font back and repairs the file, but
  // leaves the timer keys that this load never reached as the user wrote them.
  settings_.Save();
  EXPECT_EQ(file_.Read("Zanterpoint", "TreeViewFont", ""), "A,8,0000,clWindowText");
  EXPECT_EQ(file_.Read("Zanterpoint", "TimerInterval", ""), "30");
  EXPECT_EQ(file_.Read("Zanterpoint", "TimerEnabled", "absent"), "absent");
  settings_.Load();
  EXPECT_EQ(settings_.timerInterval.value, 30);
}

TEST_F(SettingsTest, ASaveEndsAtTheKeyThatCannotBeWritten) {
  settings_.Load();
  file_.failKey = "TreeViewFont";
  EXPECT_EQ(test::SettingsErrorOf([&] { settings_.Save(); }),
            "In " + path_ + " kann nicht geschrieben werden");
  EXPECT_EQ(file_.Read("Zanterpoint", "TreeViewColor", ""), "clWindow");
  EXPECT_EQ(file_.Read("Zanterpoint", "TimerEnabled", "absent"), "absent");
  EXPECT_EQ(file_.flushes, 2);
}

// The module's own keys as a save leaves them, with [Collapse] for DP, SP, EP and Fav.
const std::string kSavedFile =
    "[View]\r\nDP=1\r\nSP=1\r\nEP=0\r\nLists=DP,Fav\r\n[Fav]\r\nList=5\r\n"
    "[Zanterpoint]\r\nTop=120\r\nLeft=40\r\nHeight=480\r\nWidth=170\r\nTreeViewColor=clWindow\r\n"
    "TreeViewFont=MS Sans Serif,8,0000,clWindowText\r\nTimerEnabled=0\r\nTimerInterval=60\r\n"
    "[Collapse]\r\nDP=0\r\nFAV=0\r\nEP=0\r\nSP=0\r\n";

TEST_F(SettingsTest, ASaveWritesOnlyTheKeysWhoseValueTheFileDoesNotHold) {
  WriteBytes(path_, kSavedFile);
  settings_.Load();
  settings_.Save();
  EXPECT_TRUE(file_.written.empty());
  EXPECT_EQ(ReadBytes(path_), kSavedFile);

  *settings_.CollapseState("Fav") = 1;  // a collapse toggle
  settings_.Save();
  EXPECT_EQ(file_.written, std::vector<std::string>{"Collapse/FAV"});
  file_.written.clear();

  // Held in quotes, without "=" or in other capitals: not the text the save
  // would leave, so written as before. A key in small letters, a second key of
  // the same name, a second [Zanterpoint]: the first key of the first section counts.
  std::string text = kSavedFile;
  text.replace(text.find("SP=1"), 4, "SP=\"1\"");
  text.replace(text.find("EP=0"), 4, "EP");
  text.replace(text.find("clWindow\r"), 8, "CLWINDOW");
  text.replace(text.find("DP=1"), 4, "dp = 1");
  text.replace(text.find("FAV=0"), 5, "FAV=1");
  text.replace(text.find("TimerEnabled=0"), 14, "TimerEnabled=0\r\nTimerEnabled=1");
  WriteBytes(path_, text + "[zanterpoint]\r\nWidth=1\r\n");
  settings_.Save();
  EXPECT_EQ(file_.written,
            (std::vector<std::string>{"View/SP", "View/EP", "Zanterpoint/TreeViewColor"}));
  EXPECT_EQ(file_.Read("View", "EP", "absent"), "0");
}

TEST_F(SettingsTest, ASaveTellsApartKeysThatBeginAlike) {
  WriteBytes(path_,
             "[View]\r\nLists=Fav,Favs\r\n[Fav]\r\nList=1\r\n[Favs]\r\nList=2\r\n"
             "[Collapse]\r\nFAVS=1\r\nFAV\r\nFA=0\r\nFAV=0\r\n");
  settings_.Load();
  EXPECT_EQ(*settings_.CollapseState("Favs"), 1);
  EXPECT_EQ(*settings_.CollapseState("Fav"), 0);
  settings_.Save();
  // FAV's first line has no "=", so it is written; FAVS holds its value.
  const auto wrote = [&](const std::string& key) {
    return std::find(file_.written.begin(), file_.written.end(), key) != file_.written.end();
  };
  EXPECT_TRUE(wrote("Collapse/FAV"));
  EXPECT_FALSE(wrote("Collapse/FAVS"));
}

TEST_F(SettingsTest, AGroupNamedWithAnEqualsSignKeepsNoCollapseKeySoTheFileStopsGrowing) {
  WriteBytes(path_, "[View]\r\nLists=Fav,a=b\r\n[Fav]\r\nList=1\r\n[a=b]\r\nList=2\r\n");
  settings_.Load();
  ASSERT_EQ(settings_.listEntryCount, 2);
  settings_.Save();
  const std::string saved = ReadBytes(path_);
  EXPECT_EQ(saved.find("A=B"), std::string::npos);
  EXPECT_NE(saved.find("FAV=0"), std::string::npos);
  for (int round = 0; round < 3; ++round) {
    settings_.Load();
    settings_.Save();
  }
  EXPECT_EQ(ReadBytes(path_), saved);
}

TEST_F(SettingsTest, ASaveComparesWithTheFileAsItIsWhenTheSaveRuns) {
  WriteBytes(path_, kSavedFile);
  settings_.Load();
  // Changed by hand after the load: the save puts back only what differs.
  std::string edited = kSavedFile;
  edited.replace(edited.find("Top=120"), 7, "Top=999");
  edited.replace(edited.find("FAV=0"), 5, "FAV=1");
  WriteBytes(path_, edited);
  settings_.Save();
  EXPECT_EQ(file_.written, (std::vector<std::string>{"Zanterpoint/Top", "Collapse/FAV"}));
  EXPECT_EQ(ReadBytes(path_), kSavedFile);

  // Deleted: every key is written, in the order of a file created new.
  file_.written.clear();
  std::filesystem::remove(path_);
  settings_.Save();
  EXPECT_EQ(file_.written.size(), 3u + 8u + 4u);
  EXPECT_EQ(
      ReadBytes(path_),
      "[View]\r\nDP=1\r\nSP=1\r\nEP=0\r\n[Zanterpoint]\r\nTop=120\r\nLeft=40\r\nHeight=480\r\n"
      "Width=170\r\nTreeViewColor=clWindow\r\nTreeViewFont=MS Sans Serif,8,0000,clWindowText\r\n"
      "TimerEnabled=0\r\nTimerInterval=60\r\n[Collapse]\r\nFAV=0\r\nDP=0\r\nEP=0\r\nSP=0\r\n");
}

// Hand-made keys, "Note0001=a note kept by hand" and on, 29 bytes each in a listing.
std::string Notes(const char* prefix, int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%s%04d", prefix, i);
    lines.append(name).append("=a note kept by hand\r\n");
  }
  return lines;
}

TEST_F(SettingsTest, ASectionListedFarBeyond32KiBSavesAsWritingEveryKeyDoes) {
  // The platform lists a section into 32 KiB at first and grows the buffer
  // when the listing is larger. Here each listing is some 87 KiB, with the
  // module's keys before, among and after the hand-made ones, held and changed.
  const std::string text = "[View]\r\nDP=1\r\n" + Notes("Note", 2000) + "SP=1\r\nLists=DP,Fav\r\n" +
                           Notes("More", 1000) + "EP=0\r\n[Fav]\r\nList=5\r\n[Zanterpoint]\r\n" +
                           Notes("Note", 2000) + "Top=1200\r\nLeft=40\r\n" + Notes("More", 1000) +
                           "Height=480\r\nWidth=999\r\n[Collapse]\r\n" + Notes("Note", 3000) +
                           "DP=0\r\nFAV=1\r\nSP=0\r\n";
  WriteBytes(path_, text);
  for (const char* section : {"View", "Zanterpoint", "Collapse"}) {
    size_t listed = 0;
    for (const std::string& entry : file_.ReadSection(section)) listed += entry.size() + 1;
    ASSERT_GT(listed, 2u * 32768u) << section;
  }
  settings_.Load();
  settings_.View(ListKind::Erotik) = true;
  *settings_.CollapseState("Fav") = 0;

  settings_.Save();
  const std::string changedOnly = ReadBytes(path_);
  EXPECT_EQ(file_.written,
            (std::vector<std::string>{"View/EP", "Zanterpoint/Top", "Zanterpoint/Width",
                                      "Zanterpoint/TreeViewColor", "Zanterpoint/TreeViewFont",
                                      "Zanterpoint/TimerEnabled", "Zanterpoint/TimerInterval",
                                      "Collapse/FAV", "Collapse/EP"}));

  WriteBytes(path_, text);
  file_.writeAll = true;
  settings_.Save();
  EXPECT_EQ(ReadBytes(path_), changedOnly);
}

TEST_F(SettingsTest, AReadOnlyFileFailsOnlyWhenASaveHasSomethingToWrite) {
  namespace fs = std::filesystem;
  WriteBytes(path_, kSavedFile);
  fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  settings_.Load();
  // The file holds every value already: no error, because nothing is
  // written. A write, even of the value the file holds, would fail.
  settings_.Save();
  EXPECT_TRUE(file_.written.empty());
  EXPECT_FALSE(file_.Write("View", "DP", "1"));
  file_.written.clear();

  settings_.View(ListKind::Erotik) = true;
  *settings_.CollapseState("Fav") = 1;
  EXPECT_EQ(test::SettingsErrorOf([&] { settings_.Save(); }),
            "In " + path_ + " kann nicht geschrieben werden");
  EXPECT_EQ(file_.written, std::vector<std::string>{"View/EP"});  // ends at the first change
  EXPECT_EQ(ReadBytes(path_), kSavedFile);
  fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
}

TEST(SettingsFilePathTest, TheFolderOfTheExecutable) {
  EXPECT_EQ(SettingsFilePathFor("C:\\Programs\\DVBDream\\dvbdream.exe"),
            "C:\\Programs\\DVBDream\\modules\\Zanterpoint.ini");
  EXPECT_EQ(SettingsFilePathFor("C:\\Programs\\DVBDream\\DVBDream.exe"),
            "C:\\Programs\\DVBDream\\modules\\Zanterpoint.ini");
  EXPECT_EQ(SettingsFilePathFor(""), "modules\\Zanterpoint.ini");
}

}  // namespace
}  // namespace zp
