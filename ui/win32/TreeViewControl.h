#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include "ui/TreeControl.h"

namespace zp {

// The channel tree over a standard tree-view control. The control's item data
// holds each node's NodeData. While the module itself changes a node's state,
// InModuleChange() is true, so that the notifications the control raises for
// that change are not mistaken for the user's.
class TreeViewControl final : public TreeControl {
 public:
  void Attach(HWND tree) { tree_ = tree; }
  HWND Handle() const { return tree_; }
  bool InModuleChange() const { return moduleChange_; }
  // Counts the clears: a node handle kept from an earlier generation is gone.
  uint32_t Generation() const { return generation_; }

  // The node at a point in client coordinates, with the hit-test flags.
  TreeNode HitTest(POINT at, uint32_t& flags) const;

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
  TreeNode Next(TreeNode node, UINT relation) const;

  HWND tree_ = nullptr;
  bool moduleChange_ = false;
  uint32_t generation_ = 0;
};

}  // namespace zp
