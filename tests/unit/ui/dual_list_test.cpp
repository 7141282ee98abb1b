#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/DualList.h"

namespace zp {
namespace {

using Texts = std::vector<std::string>;

class RecordingButtons : public ArrowButtons {
 public:
  void EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) override {
    state = {include, includeAll, exclude, excludeAll};
  }
  std::vector<bool> state;
};

// The dialog as it opens: five sorted items on the left, nothing on the right.
class DualListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* text : {"Eintrag1", "Eintrag2", "Eintrag3", "Eintrag4", "Eintrag5"}) {
      src.Add(text, 0);
    }
  }
  void SelectSrc(const std::string& text) { Select(src, text); }
  static void Select(MemoryListModel& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i) {
      if (list.Text(i) == text) list.Select(i);
    }
  }

  MemoryListModel src{true};
  MemoryListModel dst{false};
  RecordingButtons buttons;
  DualList dialog{src, dst, buttons};
};

TEST_F(DualListTest, IncludeWithNothingSelectedMovesNothingAndSelectsTheFirstItem) {
  dialog.IncludeBtnClick();
  EXPECT_EQ(5, src.Count());
  EXPECT_EQ(0, dst.Count());
  EXPECT_EQ(Texts{"Eintrag1"}, src.SelectedTexts());
  EXPECT_EQ(1, src.FocusCount());
  EXPECT_EQ((std::vector<bool>{true, true, false, false}), buttons.state);
}

TEST_F(DualListTest, IncludeMovesInReverseAndSelectsWhereTheFirstMovedItemWas) {
  SelectSrc("Eintrag2");
  SelectSrc("Eintrag4");
  dialog.IncludeBtnClick();
  EXPECT_EQ((Texts{"Eintrag4", "Eintrag2"}), dst.Texts());
  EXPECT_EQ((Texts{"Eintrag1", "Eintrag3", "Eintrag5"}), src.Texts());
  EXPECT_EQ(Texts{"Eintrag3"}, src.SelectedTexts());
  EXPECT_TRUE(dst.SelectedTexts().empty());  // arrivals are not selected
  EXPECT_EQ((std::vector<bool>{true, true, true, true}), buttons.state);

  // Eintrag3 stays selected; a second move takes it along with a new item
  // that carries an object.
  src.Add("Eintrag0", 42);
  SelectSrc("Eintrag0");
  dialog.IncludeBtnClick();
  EXPECT_EQ((Texts{"Eintrag4", "Eintrag2", "Eintrag3", "Eintrag0"}), dst.Texts());
  EXPECT_EQ(42, dst.Object(3));
  EXPECT_EQ(Texts{"Eintrag1"}, src.SelectedTexts());

  // Back again: the sorted list puts them in their places and keeps its own
  // selection; the giving list has its first item selected.
  Select(dst, "Eintrag4");
  Select(dst, "Eintrag0");
  dialog.ExcludeBtnClick();
  EXPECT_EQ((Texts{"Eintrag0", "Eintrag1", "Eintrag4", "Eintrag5"}), src.Texts());
  EXPECT_EQ(42, src.Object(0));
  EXPECT_EQ(Texts{"Eintrag1"}, src.SelectedTexts());
  EXPECT_EQ((Texts{"Eintrag2", "Eintrag3"}), dst.Texts());
  EXPECT_EQ(Texts{"Eintrag2"}, dst.SelectedTexts());
}

TEST_F(DualListTest, SelectionAfterMovingTheTailFallsBackToTheLastItem) {
  SelectSrc("Eintrag4");
  SelectSrc("Eintrag5");
  dialog.IncludeBtnClick();
  EXPECT_EQ(Texts{"Eintrag3"}, src.SelectedTexts());

  for (int i = 0; i < src.Count(); ++i) src.Select(i);
  dialog.IncludeBtnClick();
  EXPECT_EQ(0, src.Count());
  EXPECT_EQ(5, dst.Count());
  EXPECT_EQ((std::vector<bool>{false, false, true, true}), buttons.state);
}

TEST_F(DualListTest, AllAndBackRestoresTheSortedListAndDisablesTheWayBack) {
  SelectSrc("Eintrag3");
  dialog.IncAllBtnClick();
  EXPECT_EQ((Texts{"Eintrag1", "Eintrag2", "Eintrag3", "Eintrag4", "Eintrag5"}), dst.Texts());
  EXPECT_EQ((std::vector<bool>{false, false, true, true}), buttons.state);

  dialog.ExcAllBtnClick();
  EXPECT_EQ((Texts{"Eintrag1", "Eintrag2", "Eintrag3", "Eintrag4", "Eintrag5"}), src.Texts());
  EXPECT_EQ(0, dst.Count());
  EXPECT_EQ((std::vector<bool>{true, true, false, false}), buttons.state);
  EXPECT_EQ(2, dst.FocusCount() + src.FocusCount());
}

TEST(MemoryListModel, SortsWithoutRegardToCaseAndKeepsArrivalOrderOfEqualTexts) {
  MemoryListModel sorted(true);
  for (const char* text : {"b", "A", "c", "a", "B"}) sorted.Add(text, 0);
  EXPECT_EQ((Texts{"A", "a", "b", "B", "c"}), sorted.Texts());

  MemoryListModel unsorted(false);
  for (const char* text : {"b", "A", "c"}) unsorted.Add(text, 0);
  EXPECT_EQ((Texts{"b", "A", "c"}), unsorted.Texts());
  EXPECT_EQ(-1, FirstMarkedIndex(unsorted));
  unsorted.Select(2);
  unsorted.Select(1);
  EXPECT_EQ(1, FirstMarkedIndex(unsorted));
}

TEST_F(DualListTest, UpAndDownMoveTheSelectedDestinationItemsPastTheirNeighbours) {
  dialog.IncAllBtnClick();  // Eintrag1..5 in order
  Select(dst, "Eintrag1");
  Select(dst, "Eintrag3");
  Select(dst, "Eintrag4");
  dialog.UpBtnClick();  // the first stays at the top, the block moves up one
  EXPECT_EQ(dst.Texts(), (Texts{"Eintrag1", "Eintrag3", "Eintrag4", "Eintrag2", "Eintrag5"}));
  EXPECT_EQ(dst.SelectedTexts(), (Texts{"Eintrag1", "Eintrag3", "Eintrag4"}));
  dialog.DownBtnClick();
  dialog.DownBtnClick();
  EXPECT_EQ(dst.Texts(), (Texts{"Eintrag2", "Eintrag5", "Eintrag1", "Eintrag3", "Eintrag4"}));
  dialog.DownBtnClick();  // the block is at the bottom now
  EXPECT_EQ(dst.Texts(), (Texts{"Eintrag2", "Eintrag5", "Eintrag1", "Eintrag3", "Eintrag4"}));
  EXPECT_EQ(dst.SelectedTexts(), (Texts{"Eintrag1", "Eintrag3", "Eintrag4"}));
}

}  // namespace
}  // namespace zp
