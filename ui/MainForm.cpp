#include "ui/MainForm.h"

#include <algorithm>
#include <exception>

#include "ui/NodeHint.h"

namespace zp {

namespace {

// The next node after `node` in display order that still lies below `top`.
TreeNode NextBelow(const TreeControl& tree, TreeNode node, TreeNode top) {
  if (const TreeNode child = tree.FirstChild(node); child != kNoNode) return child;
  for (TreeNode current = node; current != top && current != kNoNode;
       current = tree.Parent(current)) {
    if (const TreeNode sibling = tree.NextSibling(current); sibling != kNoNode) return sibling;
  }
  return kNoNode;
}

}  // namespace

MainForm::MainForm(const MainFormParts& parts)
    : ScanCycle(parts.feed),
      tree_(parts.tree),
      shell_(parts.shell),
      settingsFile_(parts.settingsFile),
      settings_(parts.settingsFile, parts.shell) {}

void MainForm::FormCreate() {
  treeBuilt_ = false;
  index_.Invalidate();
  togglePermit_ = false;
  ResetReturnPosition();
}

void MainForm::FormShow() {
  LoadSettings();
  Feed().capture.RestartSectionCount();
  if (!index_.Built()) index_.Build(table_);
  SetPortalPosition(index_.FindServicePosition(table_, kPortalServiceId));
  // A window that already shows a tree comes back as it was, without a scan.
  if (!treeBuilt_) StartScan();
}

void MainForm::FormActivate() {
  // Unsaved moves and resizes give way to the geometry in the file, on a
  // monitor where the user can reach the window. Nothing is written here: the
  // next save records where the window is.
  LoadSettings();
  shell_.SetBounds(PlaceOnWorkAreas(settings_.geometry, shell_.MonitorWorkAreas()));
}

void MainForm::FormClose() {
  shell_.DisableRescanTimer();
  settings_.Save();
}

void MainForm::LoadSettings() {
  try {
    settings_.Load();
  } catch (const std::exception& error) {
    // Whatever was read before the failing key stays in effect; the event goes on.
    errors_.Add(error.what());
  }
  // The portal captions are fixed, so a portal root keeps its entry name after
  // a load that no tree build follows (activation, the Timer command): its
  // collapse state is then still recorded. A group title of the same caption,
  // added by the load itself, keeps precedence as in a tree build.
  for (const Portal& portal : kPortals) {
    settings_.AddNodeListName(portal.caption, portal.entryName);
  }
}

bool MainForm::BuildTree() {
  if (!ExtractPortalLists(Feed().capture.Sections(), Feed().portalLists,
                          &Feed().capture.SectionCaptures())) {
    return false;
  }
  LoadSettings();
  ClearTree();
  const int32_t count = std::clamp(settings_.listEntryCount, 0, kMaxListEntries);
  for (int32_t i = 0; i < count; ++i) {
    const ListEntry& entry = settings_.listEntries[i];
    if (!entry.IsPortal()) {
      AddGroupRoot(entry);
      continue;
    }
    const Portal& portal = *PortalNamed(entry.name);
    if (settings_.View(portal.kind)) AddPortalRoot(entry, portal);
  }
  treeBuilt_ = true;
  return true;
}

void MainForm::AddPortalRoot(const ListEntry& entry, const Portal& portal) {
  const TreeNode root = tree_.Add(kNoNode, portal.caption, portal.serviceId);
  rootEntries_.push_back(entry.name);
  settings_.AddNodeListName(portal.caption, entry.name);
  const PortalList& list = Feed().portalLists[zp::Index(portal.kind)];
  const int32_t count = std::clamp(list.count, 0, kPortalListCapacity);
  for (int32_t i = 0; i < count; ++i) {
    tree_.Add(root, list.entries[i].name, list.entries[i].serviceId);
  }
  ApplyCollapseState(root, &entry.name);
}

void MainForm::AddGroupRoot(const ListEntry& entry) {
  const TreeNode root = tree_.Add(kNoNode, entry.title, entry.nodeSid);
  rootEntries_.push_back(entry.name);
  const int32_t count = std::clamp(entry.idCount, 0, kMaxGroupIds);
  for (int32_t i = 0; i < count && table_ != nullptr; ++i) {
    const int32_t serviceId = entry.ids[i];
    if (serviceId <= 0) continue;
    const int32_t position = index_.FindServicePosition(table_, serviceId);
    if (position <= 0 || position >= kHostChannelCount) continue;
    tree_.Add(root, FixedNameText(table_->Records[position].ChName), serviceId);
  }
  ApplyCollapseState(root, settings_.NodeListName(entry.title));
}

void MainForm::ApplyCollapseState(TreeNode root, const std::string* entryName) {
  const uint8_t* collapsed = entryName != nullptr ? settings_.CollapseState(*entryName) : nullptr;
  // An entry that the last load did not reach reads like a missing key: expanded.
  if (collapsed != nullptr && *collapsed != 0) return;
  RequestChange(root, true);
}

void MainForm::RequestChange(TreeNode node, bool expand) {
  togglePermit_ = true;
  // The node first, then everything below it. Only a node with children raises
  // the protocol, so the permit set for a node without children stays set.
  for (TreeNode current = node; current != kNoNode; current = NextBelow(tree_, current, node)) {
    if (tree_.FirstChild(current) == kNoNode) continue;
    if (ExpandCollapse(current, !expand)) tree_.SetExpanded(current, expand);
  }
}

bool MainForm::ExpandCollapse(TreeNode node, bool collapsing) {
  // Consumed before the save, so that a failed save cannot leave it set.
  const bool permitted = togglePermit_;
  togglePermit_ = false;
  if (!permitted) return false;
  // A root whose entry the last load did not reach changes, but nothing can be recorded.
  const std::string* entryName = settings_.NodeListName(tree_.Caption(node));
  uint8_t* collapsed = entryName != nullptr ? settings_.CollapseState(*entryName) : nullptr;
  if (collapsed != nullptr) {
    *collapsed = collapsing ? 1 : 0;
    try {
      settings_.Save();
    } catch (const std::exception& error) {
      errors_.Add(error.what());
    }
  }
  return true;
}

void MainForm::FormKeyDown(uint32_t key, KeyModifiers modifiers) {
  const TreeNode selected = tree_.Selected();
  const KeyAction action = DecodeKey(key, modifiers);
  switch (action) {
    case KeyAction::Close:
      shell_.CloseForm();
      break;
    case KeyAction::ToggleDirekt:
    case KeyAction::ToggleSport:
    case KeyAction::ToggleErotik:
      ToggleView(settings_.View(ToggledPortal(action)));
      break;
    case KeyAction::SelectPrevious:
    case KeyAction::SelectNext:
      if (selected == kNoNode) {
        SelectFirst();
      } else {
        const TreeNode next = action == KeyAction::SelectNext ? tree_.NextVisible(selected)
                                                              : tree_.PreviousVisible(selected);
        if (next != kNoNode) tree_.Select(next);
      }
      break;
    case KeyAction::Collapse:
    case KeyAction::Expand: {
      const bool expand = action == KeyAction::Expand;
      if (selected == kNoNode) {
        SelectFirst();
      } else if (tree_.Expanded(selected) != expand) {
        RequestChange(selected, expand);
      }
      break;
    }
    case KeyAction::Tune:
      if (selected != kNoNode && tree_.NodeData(selected) > 0) TuneTo(tree_.NodeData(selected));
      break;
    case KeyAction::EditGroups:
      EditGroupsClick();
      break;
    case KeyAction::None:
      break;
  }
}

void MainForm::ToggleView(bool& flag) {
  flag = !flag;
  // Saved before the rebuild, whose own load must see the new flag.
  settings_.Save();
  BuildTree();
}

void MainForm::SelectFirst() {
  // On an empty tree there is nothing to select: the key does nothing.
  if (const TreeNode first = tree_.FirstChild(kNoNode); first != kNoNode) tree_.Select(first);
}

void MainForm::TuneTo(int32_t serviceId) {
  TuneToService(index_, table_, Feed().host, shell_, serviceId);
}

void MainForm::TreeView1MouseUp(bool rightButton, TreeNode nodeUnderPointer) {
  if (!rightButton) return;
  const TreeNode node = nodeUnderPointer != kNoNode ? nodeUnderPointer : tree_.Selected();
  if (node == kNoNode) return;
  RequestChange(node, !tree_.Expanded(node));
}

void MainForm::TreeView1DblClick() {
  const TreeNode selected = tree_.Selected();
  if (selected != kNoNode && tree_.NodeData(selected) > 0) TuneTo(tree_.NodeData(selected));
}

HintChange MainForm::TreeView1MouseMove(TreeNode node, uint32_t hitFlags) {
  HintChange change;
  if (node == hintNode_) return change;
  change.cancel = true;
  // Only a pointer on the item itself (not its indent, not the blank right of
  // the caption, not outside the items) takes the node's hint.
  if ((hitFlags & ~hit::kOnItem) == 0) {
    hintNode_ = node;
    change.setText = true;
    if (node != kNoNode) change.text = NodeHint(tree_.Caption(node), Feed().capture);
  }
  return change;
}

void MainForm::InfoButtonDPClick() {
  const TreeNode selected = tree_.Selected();
  if (selected == kNoNode || tree_.NodeData(selected) <= 0 || table_ == nullptr) return;
  ShowChannelInfo(table_, shell_, tree_.NodeData(selected));
}

void MainForm::MenuItemTimerClick() {
  settings_.SetTimerEnabled(!shell_.TimerMenuChecked());
  settings_.Save();
  // The load sets the check mark, the caption and Timer1 from the new state.
  LoadSettings();
}

std::string MainForm::GroupEditorSection() {
  settingsFile_.Flush();  // the groups as the file holds them now
  const std::vector<std::string> groups = ReadGroupNames(settingsFile_);
  TreeNode root = tree_.Selected();
  while (root != kNoNode && tree_.Parent(root) != kNoNode) root = tree_.Parent(root);
  size_t position = 0;
  for (TreeNode node = tree_.FirstChild(kNoNode); node != kNoNode && node != root;
       node = tree_.NextSibling(node)) {
    ++position;
  }
  // The selected node's group, if [View] Lists still names it as a group.
  if (root != kNoNode && position < rootEntries_.size()) {
    const std::string& entry = rootEntries_[position];
    for (const std::string& group : groups) {
      if (PortalNamed(entry) == nullptr && SameProfileName(group, entry)) return group;
    }
  }
  return groups.empty() ? std::string() : groups.front();
}

std::string MainForm::ApplyGroupEdit(const GroupEdit& edit, const ShownId& shown) {
  const std::string section = WriteGroupEdit(settingsFile_, edit, shown);
  BuildTree();
  return section;
}

void MainForm::Button1Click() {
  shell_.SetStatus("ending...");
  StopDelivery();
  shell_.SetStatus("Finished");
}

void MainForm::Button3Click() {
  Button1Click();
  FinishScan();
}

}  // namespace zp
