#pragma once

// clang-format off
#include <windows.h>
// clang-format on

#include <functional>
#include <string>

#include "ui/win32/TDualListDlg.h"

// What the gallery's suites share: the check lines, the message loop, texts
// and bounds of windows, and the answers to modal dialogs.
namespace zp::gallery {

// Prints one "ok" or "FAIL" line; a failure makes the program exit with 1.
void Check(bool passed, const std::string& what);
void CheckEqual(const std::string& what, const std::string& actual, const std::string& expected);
void CheckEqual(const std::string& what, long long actual, long long expected);
// A measured value, printed without a check.
void Fact(const std::string& what, const std::string& value);
int Failures();

// Lets the windows handle what is queued for them, through the hooks a viewer's loop passes.
void Pump(DWORD milliseconds);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
// A child's bounds in its parent's client coordinates.
RECT ChildRect(HWND child);
std::string RectText(const RECT& r);
std::string SizeText(HWND window);
// Saves the repainted window as a PNG; nothing without a path.
void Screenshot(HWND window, const std::string& path);

// From the program's start: answers the modal dialogs from a thread timer.
void StartAnsweringDialogs();
// The next modal dialog of this thread gets `action` once it is on screen.
void WhenDialogAppears(std::function<void(HWND)> action);
void Press(HWND dialog, int id);

// The selection dialog's lists and buttons, for its suite and the group editor's.
std::string ListTexts(HWND list, bool selectedOnly = false);
void Click(const TDualListDlg& dialog, TDualListDlg::ControlId id);

// The suites, one per command.
void CheckHelp(const std::string& screenshot);
void CheckDualList(const std::string& screenshot);
void CheckGroupEditor(const std::string& screenshot);
void CheckDump();
void CheckFontAndColorDialogs();
void CheckWindowBase();

}  // namespace zp::gallery
