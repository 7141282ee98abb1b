#include "ui/win32/TreeViewControl.h"

#include <vector>

namespace zp {

namespace {

HTREEITEM Item(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }
TreeNode Node(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }

// Group titles come from the settings file and may be up to 2047 characters.
constexpr int kCaptionCapacity = 4096;

}  // namespace

TreeNode TreeViewControl::HitTest(POINT at, uint32_t& flags) const {
  TVHITTESTINFO info{};
  info.pt = at;
  SendMessageA(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  flags = info.flags;
  return Node(info.hItem);
}

void TreeViewControl::Clear() {
  ++generation_;
  SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

TreeNode TreeViewControl::Add(TreeNode parent, const std::string& caption, int32_t nodeData) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent == kNoNode ? TVI_ROOT : Item(parent);
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(caption.c_str());
  insert.item.lParam = static_cast<LPARAM>(nodeData);
  return static_cast<TreeNode>(
      SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::string TreeViewControl::Caption(TreeNode node) const {
  std::vector<char> text(kCaptionCapacity, '\0');
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_TEXT;
  item.hItem = Item(node);
  item.pszText = text.data();
  item.cchTextMax = kCaptionCapacity;
  if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return {};
  text.back() = '\0';
  return text.data();
}

int32_t TreeViewControl::NodeData(TreeNode node) const {
  TVITEMA item{};
  item.mask = TVIF_HANDLE | TVIF_PARAM;
  item.hItem = Item(node);
  if (!SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<int32_t>(item.lParam);
}

TreeNode TreeViewControl::Next(TreeNode node, UINT relation) const {
  return static_cast<TreeNode>(
      SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(Item(node))));
}

TreeNode TreeViewControl::FirstChild(TreeNode node) const {
  return node == kNoNode ? Next(kNoNode, TVGN_ROOT) : Next(node, TVGN_CHILD);
}
TreeNode TreeViewControl::NextSibling(TreeNode node) const { return Next(node, TVGN_NEXT); }
TreeNode TreeViewControl::Parent(TreeNode node) const { return Next(node, TVGN_PARENT); }
TreeNode TreeViewControl::Selected() const { return Next(kNoNode, TVGN_CARET); }
TreeNode TreeViewControl::PreviousVisible(TreeNode node) const {
  return Next(node, TVGN_PREVIOUSVISIBLE);
}
TreeNode TreeViewControl::NextVisible(TreeNode node) const { return Next(node, TVGN_NEXTVISIBLE); }

bool TreeViewControl::Expanded(TreeNode node) const {
  const auto state =
      SendMessageA(tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(Item(node)), TVIS_EXPANDED);
  return (state & TVIS_EXPANDED) != 0;
}

void TreeViewControl::SetExpanded(TreeNode node, bool expanded) {
  // The control may scroll to show the new children; the module's own
  // expands keep the view where it was, so a fresh tree starts at its top.
  const LPARAM firstVisible = SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0);
  moduleChange_ = true;
  SendMessageA(tree_, TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE,
               reinterpret_cast<LPARAM>(Item(node)));
  moduleChange_ = false;
  if (firstVisible != 0) SendMessageA(tree_, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, firstVisible);
}

void TreeViewControl::Select(TreeNode node) {
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item(node)));
}

}  // namespace zp
