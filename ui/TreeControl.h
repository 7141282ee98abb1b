#pragma once

#include <cstdint>
#include <string>

namespace zp {

// A node of the channel tree as the window logic sees it: an opaque handle.
using TreeNode = uintptr_t;
inline constexpr TreeNode kNoNode = 0;

// Where a point lies relative to the tree's items, as the control's hit test
// reports it (the values are the Win32 TVHT_* bits).
namespace hit {
inline constexpr uint32_t kNowhere = 0x0001;
inline constexpr uint32_t kOnItemIcon = 0x0002;
inline constexpr uint32_t kOnItemLabel = 0x0004;
inline constexpr uint32_t kOnItemIndent = 0x0008;
inline constexpr uint32_t kOnItemButton = 0x0010;
inline constexpr uint32_t kOnItemRight = 0x0020;
inline constexpr uint32_t kOnItemStateIcon = 0x0040;
inline constexpr uint32_t kAbove = 0x0100;
inline constexpr uint32_t kBelow = 0x0200;
inline constexpr uint32_t kToRight = 0x0400;
inline constexpr uint32_t kToLeft = 0x0800;
inline constexpr uint32_t kOnItem = kOnItemIcon | kOnItemLabel | kOnItemStateIcon;
}  // namespace hit

// The tree control that shows the channel tree. SetExpanded is the bare change
// of a node's state: the window logic runs the expand/collapse protocol itself
// before it asks for one (the control does not report every programmatic change).
class TreeControl {
 public:
  virtual ~TreeControl() = default;
  virtual void Clear() = 0;
  // Appends a node at the end of parent's children; kNoNode appends a root.
  virtual TreeNode Add(TreeNode parent, const std::string& caption, int32_t nodeData) = 0;
  virtual std::string Caption(TreeNode node) const = 0;
  virtual int32_t NodeData(TreeNode node) const = 0;
  // First child of node; of kNoNode: the first root.
  virtual TreeNode FirstChild(TreeNode node) const = 0;
  virtual TreeNode NextSibling(TreeNode node) const = 0;
  virtual TreeNode Parent(TreeNode node) const = 0;
  virtual bool Expanded(TreeNode node) const = 0;
  virtual void SetExpanded(TreeNode node, bool expanded) = 0;
  virtual TreeNode Selected() const = 0;
  virtual void Select(TreeNode node) = 0;
  // Neighbours in display order among the nodes whose parents are all expanded.
  virtual TreeNode PreviousVisible(TreeNode node) const = 0;
  virtual TreeNode NextVisible(TreeNode node) const = 0;
};

}  // namespace zp
