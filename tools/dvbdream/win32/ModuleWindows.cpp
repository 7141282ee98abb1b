#include "ModuleWindows.h"

#include <algorithm>
#include <cstdio>

#include "Handles.h"
#include "TranscriptFormat.h"
#include "tools/common/win32/WindowSnapshot.h"

namespace zp::viewer {

std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

namespace {

// Top-level windows of the viewer's thread that the module created: not the
// viewer's main window, nor the helpers that Windows adds (input method, tooltips).
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

BOOL CALLBACK FindTree(HWND child, LPARAM result) {
  if (ClassOf(child) != WC_TREEVIEWA) return TRUE;
  *reinterpret_cast<HWND*>(result) = child;
  return FALSE;
}

std::vector<HWND> ThreadWindows(HWND viewer) {
  std::vector<HWND> windows;
  EnumThreadWindows(GetCurrentThreadId(), &CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::erase_if(windows, [&](HWND w) {
    const std::string cls = ClassOf(w);
    return w == viewer || cls == "IME" || cls == "MSCTFIME UI" || cls == TOOLTIPS_CLASSA;
  });
  return windows;
}

void ReadChildren(HWND tree, HTREEITEM first, int depth, TreeContents& out) {
  for (HTREEITEM item = first; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
    char text[260] = {};
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE;
    tv.hItem = item;
    tv.stateMask = TVIS_EXPANDED;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    const HTREEITEM child = TreeView_GetChild(tree, item);
    out.nodes.push_back({depth, text, (tv.state & TVIS_EXPANDED) != 0, child != nullptr});
    out.items.push_back(item);
    if (child != nullptr) ReadChildren(tree, child, depth + 1, out);
  }
}

void ReadMenuLevel(HMENU menu, int depth, MenuContents& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mi)) continue;
    if (mi.fType & MFT_SEPARATOR) continue;
    out.items.push_back({depth, MenuCaption(text), (mi.fState & MFS_CHECKED) != 0,
                         (mi.fState & MFS_GRAYED) != 0, mi.hSubMenu != nullptr});
    out.menus.push_back(menu);
    out.positions.push_back(static_cast<UINT>(i));
    out.ids.push_back(mi.hSubMenu != nullptr ? 0 : mi.wID);
    if (mi.hSubMenu != nullptr) ReadMenuLevel(mi.hSubMenu, depth + 1, out);
  }
}

}  // namespace

HWND FindTreeControl(HWND window) {
  HWND found = nullptr;
  EnumChildWindows(window, &FindTree, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FindModuleWindow(HWND viewer) {
  HWND captioned = nullptr;
  for (HWND w : ThreadWindows(viewer)) {
    if (!IsWindowVisible(w) || ClassOf(w) == "#32770") continue;
    if (FindTreeControl(w) != nullptr) return w;
    if (captioned == nullptr && TextOf(w) == "Zanterpoint") captioned = w;
  }
  return captioned;
}

HWND FindModuleDialog(HWND viewer) {
  const HWND main = FindModuleWindow(viewer);
  const std::vector<HWND> windows = ThreadWindows(viewer);
  const HWND active = GetActiveWindow();
  if (active != nullptr && active != main &&
      std::find(windows.begin(), windows.end(), active) != windows.end() &&
      ClassOf(active) != "#32770") {
    return active;
  }
  for (HWND w : windows) {
    if (w != main && IsWindowVisible(w) && ClassOf(w) != "#32770") return w;
  }
  return nullptr;
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::string ItemText(HWND control, bool list, int index) {
  const LRESULT length =
      SendMessageA(control, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(control, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace

std::vector<std::string> DescribeControls(HWND dialog) {
  std::vector<HWND> children;
  EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&children));
  std::vector<std::string> lines;
  for (HWND child : children) {
    if (GetParent(child) != dialog) continue;  // a combo box's own edit or list
    const int id = GetDlgCtrlID(child);
    const std::string cls = ClassOf(child);
    lines.push_back("control " + std::to_string(id) + " class=" + Quoted(cls) +
                    " text=" + Quoted(TextOf(child)) + (IsWindowEnabled(child) ? "" : " disabled"));
    const bool list = cls == "ListBox";
    if (!list && cls != "ComboBox") continue;
    const LRESULT count = SendMessageA(child, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    const LRESULT current = list ? -1 : SendMessageA(child, CB_GETCURSEL, 0, 0);
    for (int i = 0; i < count; ++i) {
      const bool selected = list ? SendMessageA(child, LB_GETSEL, i, 0) > 0 : i == current;
      lines.push_back("item " + std::to_string(id) + " " + std::to_string(i) +
                      " sel=" + (selected ? "1 " : "0 ") + Quoted(ItemText(child, list, i)));
    }
  }
  return lines;
}

std::vector<std::string> DescribeWindows(HWND viewer) {
  std::vector<std::string> lines;
  for (HWND w : ThreadWindows(viewer)) {
    lines.push_back("window class=" + Quoted(ClassOf(w)) + " caption=" + Quoted(TextOf(w)) +
                    " visible=" + (IsWindowVisible(w) ? "1" : "0"));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TreeContents ReadTree(HWND tree) {
  TreeContents contents;
  ReadChildren(tree, TreeView_GetRoot(tree), 0, contents);
  const HTREEITEM selected = TreeView_GetSelection(tree);
  for (size_t i = 0; i < contents.items.size(); ++i) {
    if (contents.items[i] == selected) contents.selected = static_cast<int>(i);
  }
  return contents;
}

MenuContents ReadMenu(HMENU menu) {
  MenuContents contents;
  if (menu != nullptr) ReadMenuLevel(menu, 0, contents);
  return contents;
}

bool SnapshotWindow(HWND window, const std::string& path) {
  const auto snapshot = tools::WindowSnapshot::Take(window);
  return snapshot && tools::SaveBmp(*snapshot, path);
}

}  // namespace zp::viewer
