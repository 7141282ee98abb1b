#pragma once

#include <windows.h>

#include <string>

#include "ui/DualList.h"
#include "ui/win32/Window.h"

namespace zp {

// The selection dialog: two lists with arrow buttons between them and German
// captions. Created once, hidden, when the module is initialised; the hidden
// "Edit" menu item shows it without waiting for it (EditMenuItemClick calls
// Show). Shown this way, OK and Abbrechen do not close it; its close box hides
// it, and the next Show brings back the lists as the user left them. Nothing in
// the module fills or reads the lists.
class TDualListDlg final : public Window, private ArrowButtons {
 public:
  static constexpr int kClientWidth = 445, kClientHeight = 527;
  enum ControlId : int {
    kSrcList = 101,
    kDstList,
    kIncludeBtn,
    kIncAllBtn,
    kExcludeBtn,
    kExAllBtn,
    kSrcLabel,
    kDstLabel,
    kOKBtn = IDOK,
    kCancelBtn = IDCANCEL,
    kHelpBtn = IDHELP,
  };

  TDualListDlg() = default;
  TDualListDlg(const TDualListDlg&) = delete;
  TDualListDlg& operator=(const TDualListDlg&) = delete;
  ~TDualListDlg() override;

  // Creates the dialog hidden, centred on the screen. False if it could not be created.
  bool Create(HICON icon);
  // Shows the dialog, or brings it to the front when it is already shown.
  void Show();

  HWND Control(ControlId id) const { return GetDlgItem(window_, id); }

 private:
  // A list box control as the list moves see it.
  class ListBox final : public ListModel {
   public:
    void Attach(HWND list) { list_ = list; }
    int Count() const override;
    std::string Text(int index) const override;
    intptr_t Object(int index) const override;
    bool Selected(int index) const override;
    void Select(int index) override;
    void Add(const std::string& text, intptr_t object) override;
    void Insert(int index, const std::string& text, intptr_t object) override;
    void Delete(int index) override;
    void Clear() override;
    void Focus() override;

   private:
    HWND list_ = nullptr;
  };

  static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  HWND AddControl(const char* windowClass, const char* text, DWORD style, DWORD exStyle, int left,
                  int top, int width, int height, int id);
  void OnCommand(int id, int code);
  void DrawFlatButton(const DRAWITEMSTRUCT& item);
  void EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) override;

  UniqueFont font_;
  HWND lastFocus_ = nullptr;
  bool hooked_ = false;
  ListBox srcList_;
  ListBox dstList_;
  DualList lists_{srcList_, dstList_, *this};
};

}  // namespace zp
