#include "DialogWatcher.h"

#include <algorithm>
#include <cctype>

#include "ModuleWindows.h"
#include "Outline.h"
#include "TranscriptFormat.h"

namespace zp::viewer {

namespace {

// The static control that holds a message box's text.
constexpr int kMessageTextId = 0xFFFF;
// File dialogs: the file-name combo box (explorer style) and edit field (old style).
constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

bool SameCaption(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

struct ChildSearch {
  const char* cls;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (SameCaption(ClassOf(child), search->cls)) search->found.push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND parent, const char* cls) {
  ChildSearch search{cls, {}};
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && IsWindowEnabled(window) && ClassOf(window) == "#32770") {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  }
  return TRUE;
}

}  // namespace

void DialogWatcher::Queue(std::string button, std::string text) {
  answers_.push_back({std::move(button), std::move(text)});
}

void DialogWatcher::Poll() {
  std::erase_if(seen_, [](HWND w) { return !IsWindow(w); });
  std::vector<HWND> dialogs;
  EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
  for (HWND dialog : dialogs) {
    if (std::find(seen_.begin(), seen_.end(), dialog) != seen_.end()) continue;
    const HWND text = GetDlgItem(dialog, kMessageTextId);
    Handle(dialog, text != nullptr && SameCaption(ClassOf(text), "Static"));
  }
}

void DialogWatcher::Handle(HWND dialog, bool messageBox) {
  std::string line = messageBox ? "msgbox title=" : "dialog title=";
  line += Quoted(TextOf(dialog));
  if (messageBox) line += " text=" + Quoted(TextOf(GetDlgItem(dialog, kMessageTextId)));
  if (!messageBox && answers_.empty()) {
    seen_.push_back(dialog);
    transcript_.Line(line + " waiting");
    return;
  }
  Answer answer;
  if (!answers_.empty()) {
    answer = std::move(answers_.front());
    answers_.pop_front();
  }
  if (!answer.text.empty()) {
    HWND field = GetDlgItem(dialog, kFileNameCombo);
    if (field == nullptr) field = GetDlgItem(dialog, kFileNameEdit);
    if (field == nullptr) {
      const std::vector<HWND> edits = Children(dialog, "Edit");
      if (!edits.empty()) field = edits.front();
    }
    if (field != nullptr) SetWindowTextA(field, answer.text.c_str());
    line += " typed=" + Quoted(field != nullptr ? answer.text : std::string());
  }
  const std::vector<HWND> buttons = Children(dialog, "Button");
  HWND pressed = nullptr;
  for (HWND b : buttons) {
    if (!answer.button.empty() && SameCaption(MenuCaption(TextOf(b)), answer.button)) pressed = b;
  }
  if (pressed == nullptr && !answer.button.empty()) {
    line += " missing=" + Quoted(answer.button);
  }
  // The default answer: OK, else Cancel, else the first button.
  for (int id : {IDOK, IDCANCEL}) {
    for (HWND b : buttons) {
      if (pressed == nullptr && GetDlgCtrlID(b) == id) pressed = b;
    }
  }
  if (pressed == nullptr && !buttons.empty()) pressed = buttons.front();
  seen_.push_back(dialog);
  if (pressed == nullptr) {
    transcript_.Line(line + " answer=none");
    return;
  }
  transcript_.Line(line + " answer=" + Quoted(MenuCaption(TextOf(pressed))));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(pressed), BN_CLICKED),
               reinterpret_cast<LPARAM>(pressed));
}

}  // namespace zp::viewer
