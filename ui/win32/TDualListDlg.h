#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/GroupFile.h"
#include "ui/DualList.h"
#include "ui/GroupEditor.h"
#include "ui/win32/Window.h"

namespace zp {

// What the group editor needs from the main window.
class GroupEditorOwner {
 public:
  virtual ~GroupEditorOwner() = default;
  virtual ProfileFile& GroupFile() = 0;
  // Writes the confirmed edit and rebuilds the tree. Returns the message of a
  // failure (the file is then unchanged), or an empty text.
  virtual std::string ApplyGroupEdit(const GroupEdit& edit, const ShownId& shown) = 0;
};

// The selection dialog: two lists with arrow buttons between them and German
// captions. Created once, hidden, when the module is initialised; the hidden
// "Edit" menu item shows it without waiting for it (EditMenuItemClick calls
// Show). Shown this way, OK and Abbrechen do not close it; its close box hides
// it, and the next Show brings back the lists as the user left them.
//
// The same dialog is the group editor when made by CreateGroupEditor: the two
// lists keep their places and hold the viewer's channels and the group's, and
// a band of its own (the free space above the lists, a column to the right and
// a line below) holds the group, its title, its root channel, the filter of
// the Quell-Liste and the moves up and down. OK writes the group through the
// owner and hides the dialog; a write that fails leaves it open with the edit.
class TDualListDlg final : public Window, private ArrowButtons {
 public:
  static constexpr int kClientWidth = 445, kClientHeight = 527;
  static constexpr int kEditorClientWidth = 525, kEditorClientHeight = 556;
  enum ControlId : int {
    kSrcList = 101,
    kDstList,
    kIncludeBtn,
    kIncAllBtn,
    kExcludeBtn,
    kExAllBtn,
    kSrcLabel,
    kDstLabel,
    // The group editor's own.
    kGroupLabel = 120,
    kGroupCombo,
    kRemoveBtn,
    kTitleLabel,
    kTitleEdit,
    kFilterLabel,
    kFilterEdit,
    kNodeLabel,
    kNodeCombo,
    kUpBtn,
    kDownBtn,
    kKeptNote,
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
  // Creates the dialog as the group editor, hidden, owned by `ownerWindow`.
  bool CreateGroupEditor(HICON icon, HWND ownerWindow, GroupEditorOwner& owner);
  // Shows the dialog, or brings it to the front when it is already shown.
  void Show();
  // The group editor on a group of [View] Lists, or on a new group (empty
  // section), with the viewer's channels; then shown.
  void OpenGroup(std::vector<EditorChannel> channels, const std::string& section);

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
  void CreateEditorControls();
  HWND AddShownControl(const char* windowClass, const char* text, DWORD style, DWORD exStyle,
                       int left, int top, int width, int height, int id);
  void OnCommand(int id, int code);
  void DrawFlatButton(const DRAWITEMSTRUCT& item);
  void EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) override;

  // The group editor's steps.
  bool EditorCommand(int id, int code);
  void OpenSection(const std::string& section);
  void FillGroupChoices(const std::string& section);
  void RefillSource();
  void RefreshNodeChoices();
  std::vector<int> DstMembers() const;
  std::string ControlText(ControlId id) const;
  // Whether `adding` more channels fit the group; tells the user when not.
  bool RoomFor(int adding);
  void Confirm(bool remove);
  void ShowNote(const std::string& text, UINT icon);

  UniqueFont font_;
  GroupEditorOwner* owner_ = nullptr;  // set: this is the group editor
  HWND ownerWindow_ = nullptr;
  std::unique_ptr<GroupEditor> editor_;
  std::vector<std::string> groupSections_;  // the group choices, by combo item
  std::vector<int> srcShown_;               // what RefillSource last put in the Quell-Liste
  bool srcShownValid_ = false;              // and the list still holds just that
  HWND lastFocus_ = nullptr;
  bool hooked_ = false;
  ListBox srcList_;
  ListBox dstList_;
  DualList lists_{srcList_, dstList_, *this};
};

}  // namespace zp
