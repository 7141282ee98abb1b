#include "ui/win32/TDualListDlg.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "settings/Settings.h"
#include "ui/ErrorReport.h"
#include "ui/win32/Fonts.h"

namespace zp {

namespace {

constexpr char kClassName[] = "TDualListDlg";
constexpr char kCaption[] = "Auswahldialog";
constexpr char kEditorCaption[] = "Gruppen bearbeiten";
constexpr char kNewGroupText[] = "(neue Gruppe)";
constexpr char kRemoveQuestion[] =
    "Die Gruppe aus [View] Lists nehmen? Ihr Abschnitt bleibt in der Datei.";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr int kItemHeight = 13;
constexpr const char* kInitialItems[] = {"Eintrag1", "Eintrag2", "Eintrag3", "Eintrag4",
                                         "Eintrag5"};

// The module runs inside the viewer's message loop, which knows nothing of this
// dialog: a hook on the thread's messages gives it the dialog keys (Tab, arrows,
// Enter, Escape) that IsDialogMessage would give it in a loop of its own.
HHOOK g_keyboardHook = nullptr;
int g_hookUsers = 0;

bool IsDualListWindow(HWND window) {
  char name[sizeof kClassName + 1] = {};
  return GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, kClassName) == 0;
}

}  // namespace

// --- the list boxes --------------------------------------------------------

int TDualListDlg::ListBox::Count() const {
  const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string TDualListDlg::ListBox::Text(int index) const {
  const LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
  SendMessageA(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

intptr_t TDualListDlg::ListBox::Object(int index) const {
  return static_cast<intptr_t>(SendMessageA(list_, LB_GETITEMDATA, index, 0));
}

bool TDualListDlg::ListBox::Selected(int index) const {
  return SendMessageA(list_, LB_GETSEL, index, 0) > 0;
}

void TDualListDlg::ListBox::Select(int index) { SendMessageA(list_, LB_SETSEL, TRUE, index); }

void TDualListDlg::ListBox::Add(const std::string& text, intptr_t object) {
  const LRESULT index =
      SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) SendMessageA(list_, LB_SETITEMDATA, index, static_cast<LPARAM>(object));
}

void TDualListDlg::ListBox::Insert(int index, const std::string& text, intptr_t object) {
  const LRESULT at =
      SendMessageA(list_, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
  if (at >= 0) SendMessageA(list_, LB_SETITEMDATA, at, static_cast<LPARAM>(object));
}

void TDualListDlg::ListBox::Delete(int index) { SendMessageA(list_, LB_DELETESTRING, index, 0); }

void TDualListDlg::ListBox::Clear() { SendMessageA(list_, LB_RESETCONTENT, 0, 0); }

void TDualListDlg::ListBox::Focus() { SetFocus(list_); }

// --- the dialog --------------------------------------------------------------

TDualListDlg::~TDualListDlg() {
  Destroy();
  if (hooked_ && --g_hookUsers == 0) {
    UnhookWindowsHookEx(g_keyboardHook);
    g_keyboardHook = nullptr;
  }
  UnregisterWindowClass(kClassName);
}

bool TDualListDlg::CreateGroupEditor(HICON icon, HWND ownerWindow, GroupEditorOwner& owner) {
  if (Handle() != nullptr) return true;
  owner_ = &owner;
  ownerWindow_ = ownerWindow;
  return Create(icon);
}

bool TDualListDlg::Create(HICON icon) {
  if (Handle() != nullptr) return true;
  if (!RegisterWindowClass({kClassName, WindowProc<&TDualListDlg::HandleMessage>, icon})) {
    return false;
  }

  const bool editor = owner_ != nullptr;
  RECT bounds{0, 0, editor ? kEditorClientWidth : kClientWidth,
              editor ? kEditorClientHeight : kClientHeight};
  AdjustWindowRectEx(&bounds, kStyle, FALSE, kExStyle);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  font_ = CreateDesignFont();
  if (!CreateHandle(kExStyle, kClassName, editor ? kEditorCaption : kCaption, kStyle, left, top,
                    width, height, nullptr, ownerWindow_)) {
    return false;
  }
  SetIcon(icon);
  CreateControls();

  if (!hooked_) {
    if (g_hookUsers == 0) {
      g_keyboardHook =
          SetWindowsHookExA(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());
    }
    if (g_keyboardHook != nullptr) {
      ++g_hookUsers;
      hooked_ = true;
    }
  }
  return true;
}

HWND TDualListDlg::AddShownControl(const char* windowClass, const char* text, DWORD style,
                                   DWORD exStyle, int left, int top, int width, int height,
                                   int id) {
  return Window::AddControl(windowClass, text, WS_CHILD | WS_VISIBLE | style, exStyle, left, top,
                            width, height, id, font_.get());
}

void TDualListDlg::CreateControls() {
  // Created in tab order: the two lists, then OK, Abbrechen and Hilfe. Labels
  // and arrow buttons take no part in it.
  const DWORD listStyle =
      WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_EXTENDEDSEL | LBS_NOINTEGRALHEIGHT;
  // The group editor keeps its Quell-Liste sorted itself (RefillSource).
  srcList_.Attach(AddShownControl("LISTBOX", "", listStyle | (owner_ != nullptr ? 0 : LBS_SORT),
                                  WS_EX_CLIENTEDGE, 16, 112, 184, 361, kSrcList));
  dstList_.Attach(
      AddShownControl("LISTBOX", "", listStyle, WS_EX_CLIENTEDGE, 240, 112, 185, 361, kDstList));
  AddShownControl("BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 101, 484, 75, 25, kOKBtn);
  AddShownControl("BUTTON", "Abbrechen", WS_TABSTOP | BS_PUSHBUTTON, 0, 181, 484, 75, 25,
                  kCancelBtn);
  AddShownControl("BUTTON", "Hilfe", WS_TABSTOP | BS_PUSHBUTTON, 0, 261, 484, 75, 25, kHelpBtn);

  AddShownControl("STATIC", "Quell-Liste:", SS_LEFT | SS_NOPREFIX, 0, 48, 96, 145, 16, kSrcLabel);
  AddShownControl("STATIC", "Ziel-Liste:", SS_LEFT | SS_NOPREFIX, 0, 232, 96, 145, 16, kDstLabel);
  AddShownControl("BUTTON", ">", BS_OWNERDRAW, 0, 208, 232, 24, 24, kIncludeBtn);
  AddShownControl("BUTTON", ">>", BS_OWNERDRAW, 0, 208, 264, 24, 24, kIncAllBtn);
  AddShownControl("BUTTON", "<", BS_OWNERDRAW | WS_DISABLED, 0, 208, 296, 24, 24, kExcludeBtn);
  AddShownControl("BUTTON", "<<", BS_OWNERDRAW | WS_DISABLED, 0, 208, 328, 24, 24, kExAllBtn);

  for (HWND list : {Control(kSrcList), Control(kDstList)}) {
    SendMessageA(list, LB_SETITEMHEIGHT, 0, kItemHeight);
  }
  lastFocus_ = Control(kSrcList);
  if (owner_ != nullptr) {
    CreateEditorControls();
    return;
  }
  for (const char* item : kInitialItems) srcList_.Add(item, 0);
}

void TDualListDlg::CreateEditorControls() {
  // In the free space above the lists, a column right of the Ziel-Liste and a
  // line below the buttons: the lists, arrows and buttons keep their places.
  const DWORD label = SS_LEFT | SS_NOPREFIX;
  const DWORD combo = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
  const DWORD edit = WS_TABSTOP | ES_AUTOHSCROLL;
  AddShownControl("STATIC", "Gruppe:", label, 0, 16, 11, 68, 16, kGroupLabel);
  AddShownControl("COMBOBOX", "", combo, 0, 88, 8, 240, 240, kGroupCombo);
  AddShownControl("BUTTON", "Gruppe entfernen", WS_TABSTOP | BS_PUSHBUTTON, 0, 336, 7, 110, 23,
                  kRemoveBtn);
  AddShownControl("STATIC", "Titel:", label, 0, 16, 41, 68, 16, kTitleLabel);
  AddShownControl("EDIT", "", edit, WS_EX_CLIENTEDGE, 88, 38, 427, 21, kTitleEdit);
  AddShownControl("STATIC", "Filter:", label, 0, 16, 71, 38, 16, kFilterLabel);
  AddShownControl("EDIT", "", edit, WS_EX_CLIENTEDGE, 56, 68, 144, 21, kFilterEdit);
  AddShownControl("STATIC", "Knoten-Kanal:", label, 0, 216, 71, 72, 16, kNodeLabel);
  AddShownControl("COMBOBOX", "", combo, 0, 290, 68, 225, 300, kNodeCombo);
  AddShownControl("BUTTON", "Auf", WS_TABSTOP | BS_PUSHBUTTON, 0, 435, 232, 80, 25, kUpBtn);
  AddShownControl("BUTTON", "Ab", WS_TABSTOP | BS_PUSHBUTTON, 0, 435, 264, 80, 25, kDownBtn);
  AddShownControl("STATIC", "", label, 0, 16, 518, 499, 32, kKeptNote);
  SendMessageA(Control(kTitleEdit), EM_LIMITTEXT, 200, 0);
  lastFocus_ = Control(kFilterEdit);
}

void TDualListDlg::Show() {
  Window::Show(SW_SHOW);
  SetForeground();
}

void TDualListDlg::EnableArrows(bool include, bool includeAll, bool exclude, bool excludeAll) {
  EnableWindow(Control(kIncludeBtn), include);
  EnableWindow(Control(kIncAllBtn), includeAll);
  EnableWindow(Control(kExcludeBtn), exclude);
  EnableWindow(Control(kExAllBtn), excludeAll);
}

void TDualListDlg::OnCommand(int id, int code) {
  if (owner_ != nullptr && EditorCommand(id, code)) return;
  // Owner-drawn buttons report a quick second click as a double click.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  switch (id) {
    case kIncludeBtn:
      lists_.IncludeBtnClick();
      break;
    case kExcludeBtn:
      lists_.ExcludeBtnClick();
      break;
    case kIncAllBtn:
      lists_.IncAllBtnClick();
      break;
    case kExAllBtn:
      lists_.ExcAllBtnClick();
      break;
    default:
      // OK and Abbrechen only end a modal run, which this dialog never has;
      // Hilfe has no help to show.
      break;
  }
}

// --- the group editor --------------------------------------------------------

void TDualListDlg::OpenGroup(std::vector<EditorChannel> channels, const std::string& section) {
  if (Handle() == nullptr || owner_ == nullptr) return;
  editor_ = std::make_unique<GroupEditor>(std::move(channels));
  srcShownValid_ = false;
  SetWindowTextA(Control(kFilterEdit), "");
  OpenSection(section);
  Show();
  SetFocus(Control(section.empty() ? kTitleEdit : kFilterEdit));
}

void TDualListDlg::OpenSection(const std::string& section) {
  editor_->Open(owner_->GroupFile(), section);
  FillGroupChoices(editor_->Section());
  SetWindowTextA(Control(kTitleEdit), editor_->Title().c_str());
  dstList_.Clear();
  for (const int channel : editor_->Members()) {
    dstList_.Add(editor_->Channels().at(static_cast<size_t>(channel)).text, channel + 1);
  }
  RefillSource();
  RefreshNodeChoices();
  const std::string note = editor_->KeptNote();
  SetWindowTextA(Control(kKeptNote), note.c_str());
  EnableWindow(Control(kRemoveBtn), !editor_->Section().empty());
  lists_.RefreshArrowButtons();
}

void TDualListDlg::FillGroupChoices(const std::string& section) {
  HWND combo = Control(kGroupCombo);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  groupSections_ = ReadGroupNames(owner_->GroupFile());
  int selected = -1;
  for (size_t i = 0; i < groupSections_.size(); ++i) {
    const StoredGroup group = ReadStoredGroup(owner_->GroupFile(), groupSections_[i]);
    const std::string text = group.title == groupSections_[i]
                                 ? group.title
                                 : group.title + "  [" + groupSections_[i] + "]";
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (SameProfileName(groupSections_[i], section)) selected = static_cast<int>(i);
  }
  groupSections_.emplace_back();  // the new group
  SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNewGroupText));
  if (selected < 0) selected = static_cast<int>(groupSections_.size()) - 1;
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

std::vector<int> TDualListDlg::DstMembers() const {
  std::vector<int> members;
  const int count = dstList_.Count();
  members.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) members.push_back(static_cast<int>(dstList_.Object(i)) - 1);
  return members;
}

std::string TDualListDlg::ControlText(ControlId id) const {
  HWND control = Control(id);
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return text.data();
}

namespace {

// Whether `part` is `whole` with some items left out, the rest in their order.
bool IsSubsequence(const std::vector<int>& part, const std::vector<int>& whole) {
  size_t at = 0;
  for (const int item : whole) {
    if (at < part.size() && part[at] == item) ++at;
  }
  return at == part.size();
}

// Up to this many items a keystroke deletes or inserts in place; beyond, the
// list is filled anew. Each in-place change moves the items after it.
constexpr size_t kInPlaceChanges = 512;

}  // namespace

void TDualListDlg::RefillSource() {
  std::vector<bool> inGroup(editor_->Channels().size(), false);
  for (const int channel : DstMembers()) {
    if (channel >= 0 && static_cast<size_t>(channel) < inGroup.size()) inGroup[channel] = true;
  }
  std::vector<int> shown = editor_->FilterInListOrder(ControlText(kFilterEdit), inGroup);
  // A keystroke that changes nothing (every channel still matches) costs no refill.
  if (srcShownValid_ && shown == srcShown_) return;
  HWND list = Control(kSrcList);
  const auto textOf = [&](int channel) -> const std::string& {
    return editor_->Channels()[static_cast<size_t>(channel)].text;
  };
  // One repaint for the whole list, however many channels it takes.
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  const std::vector<int>& held = srcShown_;
  if (srcShownValid_ && shown.size() < held.size() &&
      held.size() - shown.size() <= kInPlaceChanges && IsSubsequence(shown, held)) {
    // A character more in the filter: take out what no longer matches, from the end.
    size_t keep = shown.size();
    for (size_t i = held.size(); i-- > 0;) {
      if (keep > 0 && shown[keep - 1] == held[i]) {
        --keep;
      } else {
        srcList_.Delete(static_cast<int>(i));
      }
    }
  } else if (srcShownValid_ && shown.size() > held.size() &&
             shown.size() - held.size() <= kInPlaceChanges && IsSubsequence(held, shown)) {
    // A character less: put in what matches again, each at its place.
    size_t next = 0;
    for (size_t k = 0; k < shown.size(); ++k) {
      if (next < held.size() && held[next] == shown[k]) {
        ++next;
      } else {
        srcList_.Insert(static_cast<int>(k), textOf(shown[k]), shown[k] + 1);
      }
    }
  } else {
    srcList_.Clear();
    SendMessageA(list, LB_INITSTORAGE, shown.size(), shown.size() * 48);
    for (const int channel : shown) srcList_.Add(textOf(channel), channel + 1);
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  srcShown_ = std::move(shown);
  srcShownValid_ = true;
  lists_.RefreshArrowButtons();
}

void TDualListDlg::RefreshNodeChoices() {
  HWND combo = Control(kNodeCombo);
  // The choice stays what it was: at first the group's NodeSID.
  int32_t current = editor_->NodeSid();
  const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (at != CB_ERR) current = static_cast<int32_t>(SendMessageA(combo, CB_GETITEMDATA, at, 0));
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  int selected = 0;
  int index = 0;
  for (const GroupEditor::Choice& choice : editor_->NodeSidChoices(DstMembers(), current)) {
    const LRESULT item =
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text.c_str()));
    SendMessageA(combo, CB_SETITEMDATA, item, static_cast<LPARAM>(choice.serviceId));
    if (choice.serviceId == current && selected == 0) selected = index;
    ++index;
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool TDualListDlg::RoomFor(int adding) {
  if (editor_->Fits(static_cast<size_t>(dstList_.Count() + adding))) return true;
  ShowNote(kGroupFullText, MB_ICONWARNING);
  return false;
}

void TDualListDlg::ShowNote(const std::string& text, UINT icon) {
  Box(ErrorBoxText(text).c_str(), kEditorCaption, MB_OK | icon);
}

void TDualListDlg::Confirm(bool remove) {
  int32_t nodeSid = 0;
  HWND combo = Control(kNodeCombo);
  const LRESULT at = SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (at != CB_ERR) nodeSid = static_cast<int32_t>(SendMessageA(combo, CB_GETITEMDATA, at, 0));
  const GroupEdit edit = editor_->Edit(ControlText(kTitleEdit), nodeSid, DstMembers(), remove);
  const std::string failure = owner_->ApplyGroupEdit(edit, editor_->ShownIds());
  if (!failure.empty()) {
    // The edit stays as it is, for another try.
    Box(ErrorBoxText(failure).c_str(), kEditorCaption, MB_OK | MB_ICONERROR);
    return;
  }
  Hide();
}

bool TDualListDlg::EditorCommand(int id, int code) {
  if (!editor_) return true;  // never opened: nothing to act on
  const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
  // The arrows change the Quell-Liste behind RefillSource's back.
  if (clicked && id >= kIncludeBtn && id <= kExAllBtn) srcShownValid_ = false;
  switch (id) {
    case kGroupCombo:
      if (code == CBN_SELCHANGE) {
        const LRESULT at = SendMessageA(Control(kGroupCombo), CB_GETCURSEL, 0, 0);
        if (at >= 0 && static_cast<size_t>(at) < groupSections_.size()) {
          OpenSection(groupSections_[static_cast<size_t>(at)]);
        }
      }
      return true;
    case kFilterEdit:
      if (code == EN_CHANGE) RefillSource();
      return true;
    case kIncludeBtn:
    case kIncAllBtn: {
      if (!clicked) return true;
      int adding = 0;
      for (int i = 0; i < srcList_.Count(); ++i) {
        if (id == kIncAllBtn || srcList_.Selected(i)) ++adding;
      }
      if (!RoomFor(adding)) return true;
      if (id == kIncludeBtn) {
        lists_.IncludeBtnClick();
      } else {
        lists_.IncAllBtnClick();
      }
      RefreshNodeChoices();
      return true;
    }
    case kExcludeBtn:
    case kExAllBtn:
      if (!clicked) return true;
      if (id == kExcludeBtn) {
        lists_.ExcludeBtnClick();
      } else {
        lists_.ExcAllBtnClick();
      }
      // Back in their sorted places, and only as far as the filter shows them.
      RefillSource();
      RefreshNodeChoices();
      return true;
    case kUpBtn:
    case kDownBtn:
      if (!clicked) return true;
      if (id == kUpBtn) {
        lists_.UpBtnClick();
      } else {
        lists_.DownBtnClick();
      }
      RefreshNodeChoices();
      return true;
    case kOKBtn:
      if (clicked) Confirm(false);
      return true;
    case kCancelBtn:
      if (clicked) Hide();
      return true;
    case kRemoveBtn:
      if (clicked && !editor_->Section().empty() &&
          Box(kRemoveQuestion, kEditorCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
        Confirm(true);
      }
      return true;
    default:
      return false;
  }
}

// The arrow buttons are flat: only their caption on the face, sunken while pressed.
void TDualListDlg::DrawFlatButton(const DRAWITEMSTRUCT& item) {
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if (item.itemState & ODS_SELECTED) {
    DrawEdge(item.hDC, &rect, BDR_SUNKENOUTER, BF_RECT);
    OffsetRect(&rect, 1, 1);
  }
  char caption[8] = {};
  const int length = GetWindowTextA(item.hwndItem, caption, sizeof caption);
  HGDIOBJ oldFont = SelectObject(item.hDC, font_.get());
  SetBkMode(item.hDC, TRANSPARENT);
  if (item.itemState & ODS_DISABLED) {
    // Engraved, as disabled captions are drawn.
    OffsetRect(&rect, 1, 1);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(item.hDC, caption, length, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    OffsetRect(&rect, -1, -1);
    SetTextColor(item.hDC, GetSysColor(COLOR_GRAYTEXT));
  } else {
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
  }
  DrawTextA(item.hDC, caption, length, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(item.hDC, oldFont);
}

LRESULT TDualListDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        try {
          OnCommand(LOWORD(wParam), HIWORD(wParam));
        } catch (const std::exception& error) {
          // A file the editor cannot read, a list it cannot hold: said, not swallowed.
          if (owner_ != nullptr) ShowNote(error.what(), MB_ICONERROR);
        }
      }
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_BUTTON) break;
      DrawFlatButton(item);
      return TRUE;
    }
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_ACTIVATE:
      // Keep the focused control across deactivation, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (Contains(focus)) lastFocus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
      } else {
        SetFocus(Control(kSrcList));
      }
      return 0;
    case WM_CLOSE:
      Hide();
      return 0;
    case WM_NCDESTROY:
      lastFocus_ = nullptr;
      srcList_.Attach(nullptr);
      dstList_.Attach(nullptr);
      break;
  }
  return DefaultHandling(message, wParam, lParam);
}

LRESULT CALLBACK TDualListDlg::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST &&
        message->hwnd != nullptr) {
      HWND root = GetAncestor(message->hwnd, GA_ROOT);
      if (root != nullptr && IsDualListWindow(root) && IsDialogMessageA(root, message)) {
        // Handled: the loop that fetched it dispatches nothing.
        *message = MSG{};
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace zp
