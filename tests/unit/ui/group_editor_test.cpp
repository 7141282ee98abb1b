#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "../settings/SettingsTestSupport.h"
#include "settings/PortableProfileFile.h"
#include "ui/GroupEditor.h"

namespace zp {
namespace {

using test::WriteBytes;

class GroupEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Tv(5, 28106, "Kino Eins", "Filmhaus");
    Tv(6, 28106, "Kino Eins (alt)", "Filmhaus");  // the tree tunes to position 5
    Tv(7, 101, "Sport Live", "");
    Tv(8, 1020, "Nachrichten", "Kanal Sieben");
    Tv(9, 30000, "sportkanal", "Kanal Sieben");
    table_->Records[10] = table_->Records[7];
    table_->Records[10].ChType = 2;  // a radio channel is not offered
    table_->Records[10].wSID = 555;
    editor_ = std::make_unique<GroupEditor>(EditorChannels(index_, table_.get()));
  }
  void Tv(int position, uint16_t sid, const char* name, const char* provider) {
    HostChannelRecord& r = table_->Records[position];
    r.dwFreq = 11954;
    r.ChType = 1;
    r.wSID = sid;
    std::strncpy(r.ChName, name, sizeof r.ChName);
    std::strncpy(r.Provider, provider, sizeof r.Provider);
  }
  std::vector<int32_t> Ids(const std::vector<int>& channels) const {
    std::vector<int32_t> ids;
    for (int c : channels) ids.push_back(editor_->Channels().at(c).serviceId);
    return ids;
  }

  std::unique_ptr<HostChannelTable> table_ = std::make_unique<HostChannelTable>();
  ServiceIndex index_;
  std::unique_ptr<GroupEditor> editor_;
};

TEST_F(GroupEditorTest, OffersEachTvServiceIdOnceAsTheTreeFindsIt) {
  const auto& channels = editor_->Channels();
  ASSERT_EQ(channels.size(), 4u);
  EXPECT_EQ(channels[0].text, "Sport Live  101");
  EXPECT_EQ(channels[1].text, "Nachrichten  (Kanal Sieben)  1020");
  EXPECT_EQ(channels[2].text, "Kino Eins  (Filmhaus)  28106");
  EXPECT_EQ(editor_->ChannelOf(555), -1);
  EXPECT_TRUE(EditorChannels(index_, nullptr).empty());
}

TEST_F(GroupEditorTest, TheFilterMatchesNameOrProviderInAnyCaseAndTheStartOfTheId) {
  const std::vector<bool> none;
  EXPECT_EQ(Ids(editor_->Filter("SPORT", none)), (std::vector<int32_t>{101, 30000}));
  EXPECT_EQ(Ids(editor_->Filter("sieben", none)), (std::vector<int32_t>{1020, 30000}));
  EXPECT_EQ(Ids(editor_->Filter("10", none)), (std::vector<int32_t>{101, 1020}));
  EXPECT_EQ(Ids(editor_->Filter("", none)).size(), 4u);
  // Channels in the group are not offered again.
  EXPECT_EQ(Ids(editor_->Filter("sport", {true})), (std::vector<int32_t>{30000}));
}

TEST_F(GroupEditorTest, TheQuellListeOrderIsByTextInAnyCaseAndHoldsWhatTheFilterHolds) {
  std::vector<bool> inGroup(editor_->Channels().size(), false);
  EXPECT_EQ(Ids(editor_->FilterInListOrder("", inGroup)),
            (std::vector<int32_t>{28106, 1020, 101, 30000}));
  for (const char* filter : {"", "sport", "10", "kanal", "x"}) {
    std::vector<int> sorted = editor_->FilterInListOrder(filter, inGroup);
    std::vector<int> plain = editor_->Filter(filter, inGroup);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, plain) << filter;
  }
  inGroup[static_cast<size_t>(editor_->ChannelOf(101))] = true;
  EXPECT_EQ(Ids(editor_->FilterInListOrder("SPORT", inGroup)), (std::vector<int32_t>{30000}));
}

TEST_F(GroupEditorTest, OpensAGroupWithTheIdsItCannotShowKeptAndNamed) {
  test::TempFolder folder;
  PortableProfileFile file(folder.File("z.ini"));
  WriteBytes(file.Path(),
             "[View]\r\nLists=DP,Fav\r\n[Fav]\r\nTitle=Meine\r\nNodeSID=77\r\n"
             "List=0x6DCA,9999,101,abc,0x6DCA\r\n");
  editor_->Open(file, "Fav");
  EXPECT_EQ(editor_->Title(), "Meine");
  EXPECT_EQ(editor_->NodeSid(), 77);
  EXPECT_EQ(Ids(editor_->Members()), (std::vector<int32_t>{28106, 101, 28106}));
  EXPECT_EQ(editor_->KeptCount(), 2);
  EXPECT_NE(editor_->KeptNote().find("2 Eintr"), std::string::npos);
  EXPECT_TRUE(editor_->Fits(99));
  EXPECT_FALSE(editor_->Fits(100));

  // The root channel: none, the current one outside the group, then the group's.
  const auto choices = editor_->NodeSidChoices(editor_->Members(), 77);
  ASSERT_EQ(choices.size(), 5u);
  EXPECT_EQ(choices[0].text, "(keiner)");
  EXPECT_EQ(choices[1].text, "77");
  EXPECT_EQ(choices[2].serviceId, 28106);
  EXPECT_EQ(editor_->NodeSidChoices(editor_->Members(), 101).size(), 4u);

  editor_->Open(file, "");
  EXPECT_TRUE(editor_->Members().empty());
  EXPECT_EQ(editor_->KeptNote(), "");

  // What OK writes comes from the editor's channels.
  const GroupEdit edit = editor_->Edit("Neu", 101, {1, 0}, false);
  EXPECT_EQ(edit.section, "");
  EXPECT_EQ(edit.ids, (std::vector<int32_t>{1020, 101}));
}

}  // namespace
}  // namespace zp
