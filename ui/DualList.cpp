#include "ui/DualList.h"

#include <algorithm>
#include <cctype>

namespace zp {

int FirstMarkedIndex(const ListModel& list) {
  for (int i = 0; i < list.Count(); ++i) {
    if (list.Selected(i)) return i;
  }
  return -1;
}

void MoveMarkedItems(ListModel& from, ListModel& to) {
  // Backwards, so that deleting an item leaves the indices still to visit alone.
  for (int i = from.Count() - 1; i >= 0; --i) {
    if (!from.Selected(i)) continue;
    to.Add(from.Text(i), from.Object(i));
    from.Delete(i);
  }
}

void MoveMarkedBy(ListModel& list, bool up) {
  const int count = list.Count();
  const auto swapDown = [&](int upper) {  // the item at upper + 1 goes above upper
    const std::string text = list.Text(upper + 1);
    const intptr_t object = list.Object(upper + 1);
    const bool selected = list.Selected(upper + 1);
    list.Delete(upper + 1);
    list.Insert(upper, text, object);
    if (selected) list.Select(upper);
  };
  if (up) {
    for (int i = 1; i < count; ++i) {
      if (list.Selected(i) && !list.Selected(i - 1)) swapDown(i - 1);
    }
  } else {
    for (int i = count - 2; i >= 0; --i) {
      if (list.Selected(i) && !list.Selected(i + 1)) swapDown(i);
    }
  }
}

void DualList::MoveAll(ListModel& from, ListModel& to) {
  for (int i = 0; i < from.Count(); ++i) to.Add(from.Text(i), from.Object(i));
  from.Clear();
}

void DualList::IncludeBtnClick() {
  const int index = FirstMarkedIndex(src_);
  MoveMarkedItems(src_, dst_);
  MarkItemAt(src_, index);
}

void DualList::ExcludeBtnClick() {
  const int index = FirstMarkedIndex(dst_);
  MoveMarkedItems(dst_, src_);
  MarkItemAt(dst_, index);
}

void DualList::IncAllBtnClick() {
  MoveAll(src_, dst_);
  MarkItemAt(src_, 0);
}

void DualList::ExcAllBtnClick() {
  MoveAll(dst_, src_);
  MarkItemAt(dst_, 0);
}

void DualList::MarkItemAt(ListModel& list, int index) {
  list.Focus();
  const int last = list.Count() - 1;
  if (index < 0) index = 0;
  if (index > last) index = last;
  if (index >= 0) list.Select(index);
  RefreshArrowButtons();
}

void DualList::RefreshArrowButtons() {
  const bool srcHasItems = src_.Count() > 0;
  const bool dstHasItems = dst_.Count() > 0;
  buttons_.EnableArrows(srcHasItems, srcHasItems, dstHasItems, dstHasItems);
}

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) <
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

void MemoryListModel::Add(const std::string& text, intptr_t object) {
  auto at = items_.end();
  if (sorted_) {
    at = std::upper_bound(
        items_.begin(), items_.end(), text,
        [](const std::string& t, const Item& item) { return LessIgnoringCase(t, item.text); });
  }
  items_.insert(at, Item{text, object, false});
}

void MemoryListModel::Insert(int index, const std::string& text, intptr_t object) {
  if (index < 0 || index > Count()) index = Count();
  items_.insert(items_.begin() + index, Item{text, object, false});
}

void MemoryListModel::Delete(int index) {
  items_.at(index);  // bounds check
  items_.erase(items_.begin() + index);
}

std::vector<std::string> MemoryListModel::Texts() const {
  std::vector<std::string> texts;
  for (const Item& item : items_) texts.push_back(item.text);
  return texts;
}

std::vector<std::string> MemoryListModel::SelectedTexts() const {
  std::vector<std::string> texts;
  for (const Item& item : items_) {
    if (item.selected) texts.push_back(item.text);
  }
  return texts;
}

}  // namespace zp
