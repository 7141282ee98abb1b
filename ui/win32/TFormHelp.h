#pragma once

#include <windows.h>

#include "ui/win32/Window.h"

namespace zp {

// The help window: the module's user guide in a read-only text box. Created
// once, hidden, when the module is initialised; "?" in the main window's menu
// shows it without waiting for it (MenuItemHelpClick calls Show). Closing only
// hides it, so the next Show brings it back scrolled where it was left.
class TFormHelp final : public Window {
 public:
  static constexpr int kDesignLeft = 633, kDesignTop = 182;
  static constexpr int kDesignWidth = 431, kDesignHeight = 540;
  // The text box keeps left and top 8 and fills the window less these margins
  // of its outer size.
  static constexpr int kMemoWidthMargin = 22, kMemoHeightMargin = 51;

  TFormHelp() = default;
  TFormHelp(const TFormHelp&) = delete;
  TFormHelp& operator=(const TFormHelp&) = delete;
  ~TFormHelp();

  // Creates the window hidden at its designed place; icon as the main window's
  // (may be null). False if the window could not be created.
  bool Create(HICON icon);
  // Shows the window, or brings it to the front when it is already shown.
  void Show();

  HWND HelpMemo() const { return helpMemo_; }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The text box's bevel.
  LRESULT HelpMemoMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void FormResize();

  UniqueFont font_;
  HWND helpMemo_ = nullptr;
};

}  // namespace zp
