#pragma once

#include <string>
#include <string_view>
#include <vector>

// The module's tree and menus as the viewer reads them: flat lists in display
// order, each entry with its depth. Printing and finding by caption path are
// kept free of Windows so that they can be tested anywhere.
namespace zp::viewer {

struct TreeNodeInfo {
  int depth = 0;
  std::string caption;
  bool expanded = false;
  bool hasChildren = false;
};

struct MenuItemInfo {
  int depth = 0;
  std::string caption;  // as shown: without "&" markers and accelerator text
  bool checked = false;
  bool grayed = false;
  bool popup = false;
};

// "#N" names the N-th node in printed order (from 0); anything else is a
// caption path from a root, parts separated by "/" ("\/" is a slash in a caption).
struct NodeRef {
  int index = -1;
  std::vector<std::string> path;
};
NodeRef ParseNodeRef(std::string_view text);

// The entry a path names: its first part matches an entry at depth 0, or at
// any depth when `anywhere`; each further part a child of the previous match.
// -1 when nothing matches.
template <class Entry>
int FindPath(const std::vector<Entry>& entries, const std::vector<std::string>& path,
             bool anywhere);
int FindNode(const std::vector<TreeNodeInfo>& nodes, const NodeRef& ref);

// A menu item's text as the user reads it: "&File\tCtrl+F" gives "File".
std::string MenuCaption(std::string_view raw);

// "tree begin", one "tree <depth> <mark> <caption>" per node (mark: - expanded,
// + collapsed, . no children), "tree end nodes=<n> selected=<index or none>".
std::vector<std::string> FormatTree(const std::vector<TreeNodeInfo>& nodes, int selected);
// The tree lines of a transcript as a person reads them, one node per line:
// two spaces and four per depth, "[-] " expanded, "[+] " collapsed, the
// caption in UTF-8 (ReadableEscaped). Other lines are left out.
std::string ReadableTree(std::string_view transcript);

// One "menu <depth> <flags> <caption>" per item (flags: x checked, g grayed, . neither).
std::vector<std::string> FormatMenu(const std::vector<MenuItemInfo>& items);

}  // namespace zp::viewer
