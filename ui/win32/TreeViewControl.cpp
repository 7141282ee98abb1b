#include "ui/win32/TreeViewControl.h"

#include <windowsx.h>

#include <vector>

#include "ui/win32/Colors.h"
#include "ui/win32/Fonts.h"

namespace zp {

namespace {

HTREEITEM Item(TreeNode node) { return reinterpret_cast<HTREEITEM>(node); }
TreeNode Node(HTREEITEM item) { return reinterpret_cast<TreeNode>(item); }

// Group titles come from the settings file and may be up to 2047 characters.
constexpr int kCaptionCapacity = 4096;

// The low bits of a TVM_EXPAND action: TVE_COLLAPSE, TVE_EXPAND or TVE_TOGGLE.
constexpr UINT kExpandActionMask = 0x0003;

constexpr int kIndent = 15;
constexpr int kHintWidth = 300;

TOOLINFOA HintTool(HWND tree, const char* text) {
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;  // accepted by every comctl32 version
  tool.hwnd = GetParent(tree);
  tool.uId = reinterpret_cast<UINT_PTR>(tree);
  tool.lpszText = const_cast<char*>(text);
  return tool;
}

}  // namespace

bool TreeViewControl::Create(HWND parent, int id, const RECT& bounds, TreeViewEvents& events) {
  events_ = &events;
  tree_ = CreateControl(parent, WC_TREEVIEWA, "",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASLINES | TVS_LINESATROOT |
                            TVS_SHOWSELALWAYS | TVS_NOTOOLTIPS,
                        WS_EX_CLIENTEDGE, bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, id);
  if (tree_ == nullptr) return false;
  Subclass<&TreeViewControl::HandleMessage>(tree_, *this);
  SendMessageA(tree_, TVM_SETINDENT, kIndent, 0);
  return true;
}

LRESULT TreeViewControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      events_->TreeView1KeyDown(static_cast<UINT>(wParam), false);
      return 0;
    case WM_CHAR:
      return 0;
    case WM_SYSKEYDOWN:
      if (events_->TreeView1KeyDown(static_cast<UINT>(wParam), true)) return 0;
      break;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DefSubclassProc(tree_, message, wParam, lParam);
    case WM_MOUSEMOVE:
      if (hint_ != nullptr) {
        uint32_t flags = 0;
        const TreeNode node = HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, flags);
        events_->TreeView1MouseMove(node, flags);
      }
      break;
  }
  return DefSubclassProc(tree_, message, wParam, lParam);
}

LRESULT TreeViewControl::OnNotify(const NMHDR& header) {
  if (header.hwndFrom != tree_) return 0;
  switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
      return ItemExpanding(reinterpret_cast<const NMTREEVIEWA&>(header));
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
      ItemExpanded(reinterpret_cast<const NMTREEVIEWA&>(header));
      return 0;
    case NM_DBLCLK:
      // The control toggles a node on a double click unless told not to.
      return events_->TreeView1DblClick() ? FALSE : TRUE;
    case NM_RCLICK: {
      // The control reports the click once the button is up, without the point.
      const DWORD at = GetMessagePos();
      POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
      ScreenToClient(tree_, &point);
      uint32_t flags = 0;
      events_->TreeView1RightClick(HitTest(point, flags));
      return TRUE;  // no context menu
    }
  }
  return 0;
}

void TreeViewControl::CreateHint() {
  const HWND parent = GetParent(tree_);
  hint_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, ThisModule(), nullptr);
  if (hint_ == nullptr) return;
  TOOLINFOA tool = HintTool(tree_, "");
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  SendMessageA(hint_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(hint_, TTM_SETMAXTIPWIDTH, 0, kHintWidth);
}

void TreeViewControl::Detach() {
  tree_ = nullptr;
  hint_ = nullptr;
}

void TreeViewControl::SetHintText(const std::string& text) {
  if (hint_ == nullptr) return;
  TOOLINFOA tool = HintTool(tree_, text.c_str());
  SendMessageA(hint_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TreeViewControl::HideHint() {
  if (hint_ != nullptr) SendMessageA(hint_, TTM_POP, 0, 0);
}

TreeNode TreeViewControl::HitTest(POINT at, uint32_t& flags) const {
  TVHITTESTINFO info{};
  info.pt = at;
  SendMessageA(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info));
  flags = info.flags;
  return Node(info.hItem);
}

void TreeViewControl::SetBackColor(int32_t color) {
  if (tree_ == nullptr) return;
  SendMessageA(tree_, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ControlColor(color)));
  InvalidateRect(tree_, nullptr, TRUE);
}

void TreeViewControl::SetFont(const FontSpec& font) {
  if (tree_ == nullptr) return;
  const LOGFONTA logFont = LogFontFromSpec(font);
  UniqueFont created(CreateFontIndirectA(&logFont));
  if (created) {
    SendMessageA(tree_, WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    font_ = std::move(created);  // the old font goes once the tree has let go of it
  }
  SendMessageA(tree_, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ControlColor(font.color)));
}

LRESULT TreeViewControl::ItemExpanding(const NMTREEVIEWA& change) {
  // The module's own requests ran the protocol before they asked the tree.
  if (moduleChange_) return FALSE;
  const TreeNode node = Node(change.itemNew.hItem);
  const bool collapsing = (change.action & kExpandActionMask) == TVE_COLLAPSE;
  const bool allowed =
      collapsing ? events_->TreeView1Collapsing(node) : events_->TreeView1Expanding(node);
  refusedNode_ = allowed ? kNoNode : node;
  return allowed ? FALSE : TRUE;
}

void TreeViewControl::ItemExpanded(const NMTREEVIEWA& change) {
  // Some tree controls (Wine's) collapse a node even when the change was
  // refused; it is put back once the control has finished with it.
  const TreeNode node = Node(change.itemNew.hItem);
  if (!moduleChange_ && node == refusedNode_) {
    // The generation, shifted left by one, and in bit 0 whether it was expanded.
    const bool wasExpanded = (change.itemNew.state & TVIS_EXPANDED) == 0;
    PostMessageA(GetParent(tree_), kRestoreNodeMessage, static_cast<WPARAM>(node),
                 static_cast<LPARAM>((generation_ << 1) | (wasExpanded ? 1 : 0)));
  }
  refusedNode_ = kNoNode;
}

void TreeViewControl::RestoreNode(WPARAM node, LPARAM generationAndState) {
  // A node from before the last clear is gone: its handle is not touched.
  const auto packed = static_cast<uint32_t>(generationAndState);
  if ((packed >> 1) == (generation_ & 0x7FFFFFFF) && tree_ != nullptr) {
    SetExpanded(static_cast<TreeNode>(node), (packed & 1) != 0);
  }
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
