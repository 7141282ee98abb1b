#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ui/MainForm.h"
#include "ui/TreeControl.h"

namespace zp::test {

// A tree control in memory with the behaviour the window logic relies on:
// handles are never reused, a change of state is only what was asked for, and
// the user's own toggles ask the form first, as the real control's
// notifications do.
class FakeTree : public TreeControl {
 public:
  struct Node {
    TreeNode parent = kNoNode;
    std::vector<TreeNode> children;
    std::string caption;
    int32_t data = 0;
    bool expanded = false;
  };

  void Clear() override {
    nodes.clear();
    roots.clear();
    selected = kNoNode;
    ++clears;
  }
  TreeNode Add(TreeNode parent, const std::string& caption, int32_t nodeData) override {
    const TreeNode node = nextHandle++;
    nodes[node] = Node{parent, {}, caption, nodeData, false};
    (parent == kNoNode ? roots : nodes.at(parent).children).push_back(node);
    return node;
  }
  std::string Caption(TreeNode node) const override { return nodes.at(node).caption; }
  int32_t NodeData(TreeNode node) const override { return nodes.at(node).data; }
  TreeNode FirstChild(TreeNode node) const override {
    const auto& list = node == kNoNode ? roots : nodes.at(node).children;
    return list.empty() ? kNoNode : list.front();
  }
  TreeNode NextSibling(TreeNode node) const override {
    const TreeNode parent = nodes.at(node).parent;
    const auto& list = parent == kNoNode ? roots : nodes.at(parent).children;
    auto it = std::find(list.begin(), list.end(), node);
    return (it == list.end() || it + 1 == list.end()) ? kNoNode : *(it + 1);
  }
  TreeNode Parent(TreeNode node) const override { return nodes.at(node).parent; }
  bool Expanded(TreeNode node) const override { return nodes.at(node).expanded; }
  void SetExpanded(TreeNode node, bool expanded) override {
    nodes.at(node).expanded = expanded;
    ++stateChanges;
  }
  TreeNode Selected() const override { return selected; }
  void Select(TreeNode node) override { selected = node; }
  TreeNode PreviousVisible(TreeNode node) const override {
    const auto visible = Visible();
    auto it = std::find(visible.begin(), visible.end(), node);
    return (it == visible.end() || it == visible.begin()) ? kNoNode : *(it - 1);
  }
  TreeNode NextVisible(TreeNode node) const override {
    const auto visible = Visible();
    auto it = std::find(visible.begin(), visible.end(), node);
    return (it == visible.end() || it + 1 == visible.end()) ? kNoNode : *(it + 1);
  }

  // A double click or key of the user's that the control itself would act on.
  bool UserToggle(TreeNode node, MainForm& form) {
    Node& n = nodes.at(node);
    if (n.children.empty()) return false;
    const bool allowed =
        n.expanded ? form.TreeView1Collapsing(node) : form.TreeView1Expanding(node);
    if (allowed) n.expanded = !n.expanded;
    return allowed;
  }

  TreeNode Find(const std::string& caption) const {
    for (const auto& [handle, node] : nodes) {
      if (node.caption == caption) return handle;
    }
    return kNoNode;
  }
  // The tree as text: roots with their data, "+" when expanded, children in brackets.
  std::string Describe() const {
    std::string text;
    for (TreeNode root : roots) {
      const Node& n = nodes.at(root);
      if (!text.empty()) text += " | ";
      text += n.caption + "(" + std::to_string(n.data) + ")" + (n.expanded ? "+" : "");
      if (n.children.empty()) continue;
      text += " [";
      for (size_t i = 0; i < n.children.size(); ++i) {
        const Node& c = nodes.at(n.children[i]);
        text += (i ? ", " : "") + c.caption + "(" + std::to_string(c.data) + ")";
      }
      text += "]";
    }
    return text;
  }

  std::map<TreeNode, Node> nodes;
  std::vector<TreeNode> roots;
  TreeNode selected = kNoNode;
  TreeNode nextHandle = 1;
  int clears = 0;
  int stateChanges = 0;

 private:
  std::vector<TreeNode> Visible() const {
    std::vector<TreeNode> visible;
    for (TreeNode root : roots) {
      visible.push_back(root);
      if (nodes.at(root).expanded) {
        for (TreeNode child : nodes.at(root).children) visible.push_back(child);
      }
    }
    return visible;
  }
};

}  // namespace zp::test
