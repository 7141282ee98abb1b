#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "Outline.h"

// Reading the module's windows from inside the viewer's process, the way a
// person sees them: its top-level windows, its channel tree, its menu.
namespace zp::viewer {

// A window's class name and its text (caption).
std::string ClassOf(HWND window);
std::string TextOf(HWND window);

// The module's main window: the visible top-level window of this thread, other
// than the viewer's own and dialogs, that holds a tree control; else the
// visible one captioned "Zanterpoint"; else nullptr.
HWND FindModuleWindow(HWND viewer);
HWND FindTreeControl(HWND window);
// The module's dialog: its active window when that is neither the viewer's nor
// the main window, else its first visible other top-level window (message
// boxes aside); else nullptr.
HWND FindModuleDialog(HWND viewer);
// One line per child control of the dialog in creation order,
// control ID class="..." text="..." [disabled], then for list and combo boxes
// one line per item: item ID N sel=0|1 "text".
std::vector<std::string> DescribeControls(HWND dialog);

// One line per top-level window of this thread other than the viewer's:
// window class="..." caption="..." visible=0|1, sorted.
std::vector<std::string> DescribeWindows(HWND viewer);

struct TreeContents {
  std::vector<TreeNodeInfo> nodes;
  std::vector<HTREEITEM> items;  // parallel to nodes
  int selected = -1;
};
TreeContents ReadTree(HWND tree);

struct MenuContents {
  std::vector<MenuItemInfo> items;
  std::vector<HMENU> menus;     // the menu each item is in
  std::vector<UINT> positions;  // its position there
  std::vector<UINT> ids;        // its command id (popups: 0)
};
MenuContents ReadMenu(HMENU menu);

// Writes what the screen shows of the window as a 24-bit BMP file.
bool SnapshotWindow(HWND window, const std::string& path);

}  // namespace zp::viewer
