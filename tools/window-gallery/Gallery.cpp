#include "Gallery.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "PngFile.h"

namespace zp::gallery {

namespace {

int g_failures = 0;

std::function<void(HWND)> g_dialogAction;
HWND g_answeredDialog = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window) && window != g_answeredDialog) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Runs for the whole program: gives the next dialog its answer, and closes any
// dialog nobody expected (an error or a question) as a failure instead of waiting forever.
VOID CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr) return;
  g_answeredDialog = dialog;
  auto action = std::move(g_dialogAction);
  g_dialogAction = nullptr;
  if (action) {
    action(dialog);
  } else {
    Check(false, "unexpected dialog \"" + WindowText(dialog) + "\": " + ItemText(dialog, 0xFFFF));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

}  // namespace

void Check(bool passed, const std::string& what) {
  std::printf("%s %s\n", passed ? "ok  " : "FAIL", what.c_str());
  if (!passed) ++g_failures;
}

void CheckEqual(const std::string& what, const std::string& actual, const std::string& expected) {
  Check(actual == expected, what + ": \"" + actual + "\"" +
                                (actual == expected ? "" : ", expected \"" + expected + "\""));
}

void CheckEqual(const std::string& what, long long actual, long long expected) {
  Check(actual == expected,
        what + ": " + std::to_string(actual) +
            (actual == expected ? "" : ", expected " + std::to_string(expected)));
}

void Fact(const std::string& what, const std::string& value) {
  std::printf("fact %s: %s\n", what.c_str(), value.c_str());
}

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    const auto left = static_cast<LONG>(end - GetTickCount());
    if (left <= 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
  }
}

std::string WindowText(HWND window) {
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return text.data();
}

std::string ItemText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

std::string SizeText(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void Screenshot(HWND window, const std::string& path) {
  if (path.empty()) return;
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Pump(500);
  Check(SaveWindowPng(window, path), "screenshot saved as " + path);
}

int Failures() { return g_failures; }

void StartAnsweringDialogs() { SetTimer(nullptr, 0, 200, AnswerDialog); }

void WhenDialogAppears(std::function<void(HWND)> action) { g_dialogAction = std::move(action); }

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ListTexts(HWND list, bool selectedOnly) {
  std::string texts;
  const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (selectedOnly && SendMessageA(list, LB_GETSEL, i, 0) <= 0) continue;
    char text[64] = {};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    if (!texts.empty()) texts += ",";
    texts += text;
  }
  return texts;
}

void Click(const TDualListDlg& dialog, TDualListDlg::ControlId id) {
  SendMessageA(dialog.Control(id), BM_CLICK, 0, 0);
  Pump(50);
}

}  // namespace zp::gallery
