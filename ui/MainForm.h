#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "feed/FeedContext.h"
#include "feed/PortalExtraction.h"
#include "feed/ScanCycle.h"
#include "feed/ServiceIndex.h"
#include "module/HostLink.h"
#include "module/MessageSink.h"
#include "settings/GroupFile.h"
#include "settings/Settings.h"
#include "ui/ErrorReport.h"
#include "ui/FormKeys.h"
#include "ui/GroupEditor.h"
#include "ui/TreeControl.h"
#include "ui/WindowPlacement.h"

namespace zp {

// What the window logic needs from the real main window besides its tree.
class FormShell : public SettingsWindow, public MessageSink {
 public:
  // Top, left, height and width of the window, outer bounds.
  virtual void SetBounds(const WindowGeometry& bounds) = 0;
  // The work area of every monitor, in screen coordinates; empty when unknown.
  virtual std::vector<ScreenRect> MonitorWorkAreas() const = 0;
  // As the close button: FormClose runs and the window hides.
  virtual void CloseForm() = 0;
  virtual void SetScanTimer(
      bool enabled) = 0;                  // Timer2, 100 ms; enabling a running one keeps its phase
  virtual void DisableRescanTimer() = 0;  // Timer1
  virtual bool TimerMenuChecked() const = 0;
  virtual void SetStatus(const char* text) = 0;  // the hidden status label
  // Shows the group editor on a group of [View] Lists, or on a new group
  // (empty section), without waiting for it. A window without one ignores it.
  virtual void OpenGroupEditor(const std::string& section) { (void)section; }
};

// What a pointer move over the tree does to the hint.
struct HintChange {
  bool cancel = false;   // hide the hint on screen
  bool setText = false;  // the tree's hint text becomes `text`
  std::string text;
};

// Everything the parts of the module lend to the main window: its window
// side, the settings file and the feed.
struct MainFormParts {
  TreeControl& tree;
  FormShell& shell;
  ProfileFile& settingsFile;
  FeedContext feed;
};

// The main window's behaviour, free of any window system: the channel tree
// with its build and expand/collapse protocol, the keys, the mouse, the menu
// commands and, as its base, the scan that runs behind them. One instance per main window;
// the window calls the handler named after each event.
//
// Errors: a settings load that fails part-way is reported and the event goes
// on with what was read; every other error ends the event and reaches the
// window, which shows it in the error box. Errors that a tree build or an
// expand/collapse meets are queued in Errors() for the end of the event.
class MainForm : public ScanCycle {
 public:
  explicit MainForm(const MainFormParts& parts);

  void SetChannelTable(const HostChannelTable* table) { table_ = table; }

  // Window events.
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormClose();
  void FormKeyDown(uint32_t key, KeyModifiers modifiers);

  // Tree events. nodeUnderPointer is kNoNode when the pointer is beside the nodes.
  void TreeView1MouseUp(bool rightButton, TreeNode nodeUnderPointer);
  void TreeView1DblClick();
  // The control's notifications before a node with children changes state;
  // the result allows or refuses the change.
  bool TreeView1Expanding(TreeNode node) { return ExpandCollapse(node, false); }
  bool TreeView1Collapsing(TreeNode node) { return ExpandCollapse(node, true); }
  HintChange TreeView1MouseMove(TreeNode node, uint32_t hitFlags);

  // Menu commands and hidden controls; the timers are the scan's.
  void ReadButtonClick() { StartScan(); }  // a new scan
  void InfoButtonDPClick();
  void MenuItemTimerClick();
  void Test1Click() { StopDelivery(); }  // stops the delivery, nothing more
  void Button1Click();
  void Button2Click() { FinishScan(); }  // ends the scan on what was captured so far
  void Button3Click();
  // "Edit Groups..." and F2: the group editor on the group of the selected
  // node, else on the first group, else on a new one.
  void EditGroupsClick() { shell_.OpenGroupEditor(GroupEditorSection()); }
  std::string GroupEditorSection();
  // What the group editor offers: the viewer's channels by service id.
  std::vector<EditorChannel> EditorChannelList() { return EditorChannels(index_, table_); }
  // The editor's OK: writes the group (throws SettingsError with the file
  // unchanged when it cannot), then rebuilds the tree. Returns the section.
  std::string ApplyGroupEdit(const GroupEdit& edit, const ShownId& shown);
  ProfileFile& SettingsFile() { return settingsFile_; }

  // Re-reads the settings; a failure is queued, not thrown.
  void LoadSettings();
  void SaveSettings() { settings_.Save(); }

  bool BuildTree() override;
  bool TreeBuilt() const override { return treeBuilt_; }

  ErrorQueue& Errors() { return errors_; }
  Settings& CurrentSettings() { return settings_; }
  const ServiceIndex& Index() const { return index_; }
  bool TogglePermit() const { return togglePermit_; }

 private:
  void CaptureStarting() override { ClearTree(); }
  void SetTicking(bool enabled) override { shell_.SetScanTimer(enabled); }
  void ReportProgress(const char* text) override { shell_.SetStatus(text); }
  void ReportFailure(const char* text) override { shell_.ShowMessage(text); }

  void ClearTree() {
    tree_.Clear();
    rootEntries_.clear();
  }
  void AddPortalRoot(const ListEntry& entry, const Portal& portal);
  void AddGroupRoot(const ListEntry& entry);
  void ApplyCollapseState(TreeNode root, const std::string* entryName);
  // The module's own request: sets TogglePermit, then expands or collapses the
  // node and everything below it.
  void RequestChange(TreeNode node, bool expand);
  bool ExpandCollapse(TreeNode node, bool collapsing);
  void ToggleView(bool& flag);
  void SelectFirst();
  void TuneTo(int32_t serviceId);

  TreeControl& tree_;
  FormShell& shell_;
  ProfileFile& settingsFile_;
  const HostChannelTable* table_ = nullptr;
  Settings settings_;
  ServiceIndex index_;
  ErrorQueue errors_;
  bool treeBuilt_ = false;
  bool togglePermit_ = false;
  TreeNode hintNode_ = kNoNode;
  std::vector<std::string> rootEntries_;  // the Lists entry of each root, in tree order
};

}  // namespace zp
