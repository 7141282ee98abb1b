#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zp {

// One list box of the selection dialog as its moves see it: items are a text
// with an object reference, several may be selected, and a sorted list places
// an added item by its text.
class ListModel {
 public:
  virtual ~ListModel() = default;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual intptr_t Object(int index) const = 0;
  virtual bool Selected(int index) const = 0;
  virtual void Select(int index) = 0;  // adds to the selection
  // Appends, or inserts by text in a sorted list; the new item is not selected.
  virtual void Add(const std::string& text, intptr_t object) = 0;
  // Inserts before index in an unsorted list; the new item is not selected.
  virtual void Insert(int index, const std::string& text, intptr_t object) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Focus() = 0;
};

// The four arrow buttons: ">" and ">>" move to the destination list, "<" and "<<" back.
class ArrowButtons {
 public:
  virtual ~ArrowButtons() = default;
  virtual void EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) = 0;
};

// Index of the first selected item, or -1 when none is selected.
int FirstMarkedIndex(const ListModel& list);
// Moves the selected items, last to first, with their objects: an unsorted
// target thus receives them in reverse order.
void MoveMarkedItems(ListModel& from, ListModel& to);

// Moves each selected item one place up (or down) past an unselected
// neighbour, keeping it selected; a selected block at the edge stays.
void MoveMarkedBy(ListModel& list, bool up);

// The selection dialog's two lists and what its arrow buttons do with them.
class DualList {
 public:
  DualList(ListModel& source, ListModel& destination, ArrowButtons& buttons)
      : src_(source), dst_(destination), buttons_(buttons) {}

  void IncludeBtnClick();  // ">"
  void ExcludeBtnClick();  // "<"
  void IncAllBtnClick();   // ">>"
  void ExcAllBtnClick();   // "<<"
  void UpBtnClick() { MoveMarkedBy(dst_, true); }
  void DownBtnClick() { MoveMarkedBy(dst_, false); }

  // Focuses the list and selects the item at index, kept within the list (-1
  // counts as 0); an empty list gets no selection. Then RefreshArrowButtons.
  void MarkItemAt(ListModel& list, int index);
  // ">" and ">>" need items in the source list, "<" and "<<" in the destination list.
  void RefreshArrowButtons();

 private:
  static void MoveAll(ListModel& from, ListModel& to);

  ListModel& src_;
  ListModel& dst_;
  ArrowButtons& buttons_;
};

// A list box in memory, for the dialog's logic without a window. Sorts as the
// system list box does: by text without regard to letter case, an equal text
// after those already there.
class MemoryListModel : public ListModel {
 public:
  explicit MemoryListModel(bool sorted) : sorted_(sorted) {}

  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Text(int index) const override { return items_.at(index).text; }
  intptr_t Object(int index) const override { return items_.at(index).object; }
  bool Selected(int index) const override { return items_.at(index).selected; }
  void Select(int index) override { items_.at(index).selected = true; }
  void Add(const std::string& text, intptr_t object) override;
  void Insert(int index, const std::string& text, intptr_t object) override;
  void Delete(int index) override;
  void Clear() override { items_.clear(); }
  void Focus() override { ++focusCount_; }

  std::vector<std::string> Texts() const;
  std::vector<std::string> SelectedTexts() const;
  int FocusCount() const { return focusCount_; }

 private:
  struct Item {
    std::string text;
    intptr_t object = 0;
    bool selected = false;
  };
  bool sorted_;
  std::vector<Item> items_;
  int focusCount_ = 0;
};

}  // namespace zp
