#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/MainForm.h"
#include "ui/win32/Colors.h"
#include "ui/win32/CommonDialogs.h"
#include "ui/win32/FormEvents.h"
#include "ui/win32/FormTimers.h"
#include "ui/win32/SaveDialog.h"
#include "ui/win32/TDualListDlg.h"
#include "ui/win32/TreeViewControl.h"
#include "ui/win32/Window.h"

namespace zp {

class TFormHelp;

// The module's main window "Zanterpoint": an always-on-top window with the
// channel tree, the main menu, Timer1 (periodic rescan) and Timer2 (scan
// progress). Its behaviour is MainForm's; this class is the Win32 side: the
// controls, the message handling and the dialogs. It runs inside the viewer's
// message loop: keys reach it through its own window procedure and a subclass
// of the tree, never through a loop of its own. No exception leaves a message
// handler: an error ends the event and is shown in the error box afterwards.
class Tfmain final : public Window,
                     private FormShell,
                     private TreeViewEvents,
                     private GroupEditorOwner {
 public:
  // Registered under a name of its own: the viewer's main window class is
  // "Tfmain", and remote-control tools find the viewer by that name.
  static constexpr char kWindowClass[] = "ZanterpointWindow";
  static constexpr char kCaption[] = "Zanterpoint";

  struct Parts {
    const FeedContext& feed;
    ProfileFile& settingsFile;
    HICON icon;  // may be null
    // True for the module's other windows: moving from one of them to this
    // window makes it the module's active window again.
    std::function<bool(HWND)> isModuleWindow;
  };

  explicit Tfmain(const Parts& parts);
  ~Tfmain() override;
  Tfmain(const Tfmain&) = delete;
  Tfmain& operator=(const Tfmain&) = delete;

  // Creates the window hidden; FormCreate runs. False if it could not be created.
  bool Create();
  // The viewer's OnShow: a hidden window runs FormShow and is shown, then
  // activated (FormActivate); a visible one is only brought to the front.
  void Show();
  // OnClose is Destroy: the window goes, without FormClose.

  // The windows that "?" and the hidden "Edit" show; created after this one.
  void SetSecondaryWindows(TFormHelp* help, TDualListDlg* dualListDlg) {
    help_ = help;
    dualListDlg_ = dualListDlg;
  }
  void SetChannelTable(const HostChannelTable* table) { form_->SetChannelTable(table); }
  // A delivery was requested and not yet stopped.
  bool Capturing() const { return form_->Capturing(); }
  void StopDelivery();
  // The group editor's window, once it was opened.
  HWND GroupEditorWindow() const { return groupEditor_ ? groupEditor_->Handle() : nullptr; }
  // Inside one of its own message handlers (a modal box may be open).
  bool Busy() const { return events_.InEvent() || events_.ModalOpen(); }

 private:
  enum CommandId : int {
    kMMAction = 100,  // "New Scan"
    kDPChannelInfo1,
    kSaveBuffer1,
    kMenuItemTimer,
    kMenuItemFont,
    kMenuItemColor,
    kEditMenuItem,  // hidden: not in the menu
    kTest1,         // hidden: not in the menu
    kMenuItemHelp,
    kEditGroups,  // "Edit Groups..."
    kTreeView1 = 200,
    kButton1,
    kButton2,
    kButton3,
    kLabel2,
  };

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id);
  bool CreateControls();
  HMENU CreateMainMenu();

  // Runs one window event: errors end it and are shown once the outermost event is over.
  template <class Body>
  void Event(Body body) {
    events_.Run(body);
  }

  void FormActivateOnce();
  void FormResize();
  void FormKeyDown(UINT key);
  void SaveButtonClick();
  void MenuItemFontClick();
  void MenuItemColorClick();
  void HideWindow();

  // TreeViewEvents
  bool TreeView1Expanding(TreeNode node) override;
  bool TreeView1Collapsing(TreeNode node) override;
  bool TreeView1DblClick() override;
  void TreeView1RightClick(TreeNode node) override;
  void TreeView1MouseMove(TreeNode node, uint32_t hitFlags) override;
  bool TreeView1KeyDown(UINT key, bool systemKey) override;

  // FormShell
  int32_t TreeColor() const override { return treeColor_; }
  void SetTreeColor(int32_t color) override;
  FontSpec TreeFont() const override { return treeFontSpec_; }
  void SetTreeFont(const FontSpec& font) override;
  void SetTimerMenu(bool checked, int32_t intervalSeconds) override;
  void SetRescanTimer(uint32_t intervalMs, bool enabled) override {
    timers_.SetRescanTimer(intervalMs, enabled);
  }
  WindowGeometry Bounds() const override;
  void SetBounds(const WindowGeometry& bounds) override;
  std::vector<ScreenRect> MonitorWorkAreas() const override;
  void CloseForm() override;
  void SetScanTimer(bool enabled) override { timers_.SetScanTimer(enabled); }
  void DisableRescanTimer() override { timers_.DisableRescanTimer(); }
  bool TimerMenuChecked() const override { return timerChecked_; }
  void SetStatus(const char* text) override;
  void ShowMessage(const std::string& text) override;
  void OpenGroupEditor(const std::string& section) override;

  // GroupEditorOwner
  ProfileFile& GroupFile() override { return parts_.settingsFile; }
  std::string ApplyGroupEdit(const GroupEdit& edit, const ShownId& shown) override;

  Parts parts_;
  TFormHelp* help_ = nullptr;
  TDualListDlg* dualListDlg_ = nullptr;
  TreeViewControl tree_;
  std::unique_ptr<MainForm> form_;
  FormEvents events_;
  HWND label2_ = nullptr;
  HMENU menu_ = nullptr;
  UniqueFont windowFont_;
  FontSpec treeFontSpec_;
  int32_t treeColor_ = kDefaultTreeColor;
  bool timerChecked_ = false;
  FormTimers timers_{*this};
  bool activeInModule_ = false;  // the module's active window is this one
  SaveDialog saveDialog1_;
  FontDialog fontDialog1_;
  ColorDialog colorDialog1_;
  // Made at its first use; goes before the window it belongs to.
  std::unique_ptr<TDualListDlg> groupEditor_;
};

}  // namespace zp
