#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>

#include "settings/Settings.h"
#include "ui/TreeControl.h"
#include "ui/win32/Window.h"

namespace zp {

// What the window does with the user's input on the tree.
class TreeViewEvents {
 public:
  // Before the user expands or collapses a node; true allows the change.
  virtual bool TreeView1Expanding(TreeNode node) = 0;
  virtual bool TreeView1Collapsing(TreeNode node) = 0;
  // After a double click; true lets the control toggle the node as it would.
  virtual bool TreeView1DblClick() = 0;
  // The right button went up over `node`, kNoNode beside the nodes.
  virtual void TreeView1RightClick(TreeNode node) = 0;
  // The pointer moved over the tree; reported while the tree has a hint.
  virtual void TreeView1MouseMove(TreeNode node, uint32_t hitFlags) = 0;
  // Key preview: each key goes to the window first, and the tree has no
  // keyboard navigation, search or expansion of its own. A system key (with
  // Alt, or F10) is the system's unless this returns true.
  virtual bool TreeView1KeyDown(UINT key, bool systemKey) = 0;

 protected:
  ~TreeViewEvents() = default;
};

// The channel tree over a standard tree-view control. The control's item data
// holds each node's NodeData. While the module itself changes a node's state,
// the notifications the control raises for that change are not mistaken for
// the user's.
class TreeViewControl final : public TreeControl {
 public:
  // Posted to the tree's parent window, which hands it to RestoreNode.
  static constexpr UINT kRestoreNodeMessage = WM_APP + 1;

  // Creates the control as child `id` of `parent`, with the user's input going
  // to `events`. False if it could not be made.
  bool Create(HWND parent, int id, const RECT& bounds, TreeViewEvents& events);
  // The hint: a tooltip over the whole tree whose text follows the node under
  // the pointer; an empty text shows nothing.
  void CreateHint();
  // The parent is gone, and the control and the hint with it.
  void Detach();
  HWND Handle() const { return tree_; }

  void SetHintText(const std::string& text);
  void HideHint();

  // Background and font of the tree as the settings hold them; the tree keeps
  // the font it draws with.
  void SetBackColor(int32_t color);
  void SetFont(const FontSpec& font);

  // The control's notifications to its parent (WM_NOTIFY); others are answered 0.
  LRESULT OnNotify(const NMHDR& header);
  void RestoreNode(WPARAM node, LPARAM generationAndState);

  void Clear() override;
  TreeNode Add(TreeNode parent, const std::string& caption, int32_t nodeData) override;
  std::string Caption(TreeNode node) const override;
  int32_t NodeData(TreeNode node) const override;
  TreeNode FirstChild(TreeNode node) const override;
  TreeNode NextSibling(TreeNode node) const override;
  TreeNode Parent(TreeNode node) const override;
  bool Expanded(TreeNode node) const override;
  void SetExpanded(TreeNode node, bool expanded) override;
  TreeNode Selected() const override;
  void Select(TreeNode node) override;
  TreeNode PreviousVisible(TreeNode node) const override;
  TreeNode NextVisible(TreeNode node) const override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ItemExpanding(const NMTREEVIEWA& change);
  void ItemExpanded(const NMTREEVIEWA& change);
  // The node at a point in client coordinates, with the hit-test flags.
  TreeNode HitTest(POINT at, uint32_t& flags) const;
  TreeNode Next(TreeNode node, UINT relation) const;

  TreeViewEvents* events_ = nullptr;
  HWND tree_ = nullptr;
  HWND hint_ = nullptr;
  UniqueFont font_;
  bool moduleChange_ = false;
  // Counts the clears: a node handle kept from an earlier generation is gone.
  uint32_t generation_ = 0;
  TreeNode refusedNode_ = kNoNode;  // the last user-originated change that was refused
};

}  // namespace zp
