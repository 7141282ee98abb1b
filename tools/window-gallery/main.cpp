// Runs the module's secondary windows outside the viewer and checks them:
//
//   window-gallery help [--screenshot FILE.png]
//   window-gallery duallist [--screenshot FILE.png]
//   window-gallery groups [--screenshot FILE.png]
//   window-gallery dump
//   window-gallery dialogs
//   window-gallery base
//
// Prints what it measures, one "ok" or "FAIL" line per check, and exits with 1
// when a check failed. Modal dialogs and message boxes are answered from a
// thread timer, as a user would answer them.

// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
// clang-format on

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "PngFile.h"
#include "feed/CaptureDump.h"
#include "feed/PacketCapture.h"
#include "feed/ServiceIndex.h"
#include "settings/GroupFile.h"
#include "settings/Settings.h"
#include "settings/win32/Win32ProfileFile.h"
#include "ui/win32/Colors.h"
#include "ui/win32/CommonDialogs.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/SaveDialog.h"
#include "ui/win32/TDualListDlg.h"
#include "ui/win32/TFormHelp.h"
#include "ui/win32/Win32ErrorBox.h"
#include "ui/win32/Window.h"

namespace {

using zp::TDualListDlg;

int g_failures = 0;

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

// Lets the windows handle what is queued for them, through the hooks a viewer's loop passes.
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

// A child's bounds in its parent's client coordinates.
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
  Check(zp::gallery::SaveWindowPng(window, path), "screenshot saved as " + path);
}

// --- answering modal dialogs -----------------------------------------------

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

// The next modal dialog of this thread gets `action` once it is on screen.
void WhenDialogAppears(std::function<void(HWND)> action) { g_dialogAction = std::move(action); }

void Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// --- help window ---------------------------------------------------------------

void CheckHelp(const std::string& screenshot) {
  zp::TFormHelp help;
  Check(help.Create(nullptr), "help window created");
  HWND window = help.Handle();
  HWND memo = help.HelpMemo();
  CheckEqual("caption", WindowText(window), "Zanterpoint Help");
  Check(!IsWindowVisible(window), "created hidden");
  RECT bounds;
  GetWindowRect(window, &bounds);
  CheckEqual("designed bounds", RectText(bounds), "633,182 431x540");
  CheckEqual("text box bounds", RectText(ChildRect(memo)), "8,8 409x489");

  const auto style = GetWindowLongPtrA(memo, GWL_STYLE);
  const auto exStyle = GetWindowLongPtrA(memo, GWL_EXSTYLE);
  Check((style & ES_MULTILINE) && (style & ES_READONLY), "text box is multi-line and read-only");
  Check((style & WS_VSCROLL) && !(style & WS_HSCROLL), "vertical scroll bar only");
  Check(!(style & WS_BORDER) && !(exStyle & WS_EX_CLIENTEDGE), "no border of its own");
  Check(!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "not on top");

  const std::string text = WindowText(memo);
  Check(text.rfind("Zanterpoint V 1.0 - english short guide\r\n", 0) == 0,
        "guide starts with title");
  Check(text.size() > 9 && text.compare(text.size() - 9, 9, "Have fun!") == 0,
        "guide ends with Have fun!");
  Fact("guide lines as wrapped", std::to_string(SendMessageA(memo, EM_GETLINECOUNT, 0, 0)));
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0)), sizeof font, &font);
  CheckEqual("font", std::string(font.lfFaceName) + " " + std::to_string(font.lfHeight),
             "MS Sans Serif -11");

  help.Show();
  Pump(300);
  Check(IsWindowVisible(window), "shown");
  Screenshot(window, screenshot);

  SetWindowPos(window, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  CheckEqual("window resized to", SizeText(window), "200x150");
  CheckEqual("text box after resize to 200x150", SizeText(memo), "178x99");
  SetWindowPos(window, nullptr, 0, 0, 431, 540, SWP_NOMOVE | SWP_NOZORDER);
  CheckEqual("text box after resize back", SizeText(memo), "409x489");

  SendMessageA(memo, EM_LINESCROLL, 0, 40);
  const LRESULT firstLine = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageA(window, WM_CLOSE, 0, 0);
  Pump(100);
  Check(IsWindow(window) && !IsWindowVisible(window), "closing hides the window");
  help.Show();
  Pump(100);
  Check(IsWindowVisible(window), "shown again");
  CheckEqual("first visible line kept", SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0),
             firstLine);
}

// --- selection dialog ------------------------------------------------------------

std::string ListTexts(HWND list, bool selectedOnly = false) {
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

std::string ArrowStates(const TDualListDlg& dialog) {
  std::string states;
  for (auto id : {TDualListDlg::kIncludeBtn, TDualListDlg::kIncAllBtn, TDualListDlg::kExcludeBtn,
                  TDualListDlg::kExAllBtn}) {
    states += IsWindowEnabled(dialog.Control(id)) ? "1" : "0";
  }
  return states;
}

void Click(const TDualListDlg& dialog, TDualListDlg::ControlId id) {
  SendMessageA(dialog.Control(id), BM_CLICK, 0, 0);
  Pump(50);
}

void CheckDualList(const std::string& screenshot) {
  TDualListDlg dialog;
  Check(dialog.Create(nullptr), "selection dialog created");
  HWND window = dialog.Handle();
  HWND src = dialog.Control(TDualListDlg::kSrcList);
  HWND dst = dialog.Control(TDualListDlg::kDstList);
  CheckEqual("caption", WindowText(window), "Auswahldialog");
  Check(!IsWindowVisible(window), "created hidden");
  RECT client, bounds;
  GetClientRect(window, &client);
  CheckEqual("client area", RectText(client), "0,0 445x527");
  GetWindowRect(window, &bounds);
  const int dx = (bounds.left + bounds.right) - GetSystemMetrics(SM_CXSCREEN);
  const int dy = (bounds.top + bounds.bottom) - GetSystemMetrics(SM_CYSCREEN);
  Check(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1, "centred on the screen: " + RectText(bounds));
  Check(!(GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME), "fixed border");

  struct Expected {
    TDualListDlg::ControlId id;
    const char* text;
    const char* rect;
  };
  for (const Expected& c : {Expected{TDualListDlg::kSrcLabel, "Quell-Liste:", "48,96 145x16"},
                            Expected{TDualListDlg::kDstLabel, "Ziel-Liste:", "232,96 145x16"},
                            Expected{TDualListDlg::kSrcList, "", "16,112 184x361"},
                            Expected{TDualListDlg::kDstList, "", "240,112 185x361"},
                            Expected{TDualListDlg::kIncludeBtn, ">", "208,232 24x24"},
                            Expected{TDualListDlg::kIncAllBtn, ">>", "208,264 24x24"},
                            Expected{TDualListDlg::kExcludeBtn, "<", "208,296 24x24"},
                            Expected{TDualListDlg::kExAllBtn, "<<", "208,328 24x24"},
                            Expected{TDualListDlg::kOKBtn, "OK", "101,484 75x25"},
                            Expected{TDualListDlg::kCancelBtn, "Abbrechen", "181,484 75x25"},
                            Expected{TDualListDlg::kHelpBtn, "Hilfe", "261,484 75x25"}}) {
    HWND control = dialog.Control(c.id);
    CheckEqual(std::string("control ") + std::to_string(c.id),
               WindowText(control) + " " + RectText(ChildRect(control)),
               std::string(c.text) + " " + c.rect);
  }
  CheckEqual("item height", SendMessageA(src, LB_GETITEMHEIGHT, 0, 0), 13);
  CheckEqual("source list", ListTexts(src), "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("destination list", ListTexts(dst), "");
  CheckEqual("arrows > >> < <<", ArrowStates(dialog), "1100");

  dialog.Show();
  Pump(300);
  Check(IsWindowVisible(window), "shown");
  CheckEqual("focus on the source list", GetFocus() == src, 1);

  Click(dialog, TDualListDlg::kIncludeBtn);
  CheckEqual("> with nothing selected: source", ListTexts(src),
             "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("> with nothing selected: selection", ListTexts(src, true), "Eintrag1");

  SendMessageA(src, LB_SETSEL, FALSE, -1);
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  SendMessageA(src, LB_SETSEL, TRUE, 3);
  Click(dialog, TDualListDlg::kIncludeBtn);
  CheckEqual("> Eintrag2, Eintrag4: destination", ListTexts(dst), "Eintrag4,Eintrag2");
  CheckEqual("> Eintrag2, Eintrag4: source", ListTexts(src), "Eintrag1,Eintrag3,Eintrag5");
  CheckEqual("> Eintrag2, Eintrag4: selection", ListTexts(src, true), "Eintrag3");
  CheckEqual("arrows after >", ArrowStates(dialog), "1111");
  Check(GetFocus() == src, "focus on the giving list");
  Screenshot(window, screenshot);

  Click(dialog, TDualListDlg::kOKBtn);
  Click(dialog, TDualListDlg::kCancelBtn);
  Click(dialog, TDualListDlg::kHelpBtn);
  Check(IsWindowVisible(window), "OK, Abbrechen and Hilfe leave it open");

  // The dialog keys come through the hook, as in the viewer's loop.
  SetFocus(src);
  PostMessageA(src, WM_KEYDOWN, VK_TAB, 0);
  Pump(100);
  Check(GetFocus() == dst, "Tab moves to the destination list");
  PostMessageA(dst, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(100);
  Check(IsWindowVisible(window), "Escape leaves it open");

  SendMessageA(window, WM_CLOSE, 0, 0);
  Pump(100);
  Check(IsWindow(window) && !IsWindowVisible(window), "close box hides it");
  dialog.Show();
  Pump(100);
  CheckEqual("lists kept across hide and show", ListTexts(src) + "|" + ListTexts(dst),
             "Eintrag1,Eintrag3,Eintrag5|Eintrag4,Eintrag2");

  Click(dialog, TDualListDlg::kIncAllBtn);
  CheckEqual(">>: destination", ListTexts(dst), "Eintrag4,Eintrag2,Eintrag1,Eintrag3,Eintrag5");
  CheckEqual("arrows after >>", ArrowStates(dialog), "0011");
  Click(dialog, TDualListDlg::kExAllBtn);
  CheckEqual("<<: source", ListTexts(src), "Eintrag1,Eintrag2,Eintrag3,Eintrag4,Eintrag5");
  CheckEqual("arrows after <<", ArrowStates(dialog), "1100");
}

// --- group editor ------------------------------------------------------------------

// The main window's part for the editor: the settings file and the write.
class GalleryOwner final : public zp::GroupEditorOwner {
 public:
  explicit GalleryOwner(const std::string& path) : file_(path) {}
  zp::ProfileFile& GroupFile() override { return file_; }
  std::string ApplyGroupEdit(const zp::GroupEdit& edit, const zp::ShownId& shown) override {
    try {
      zp::WriteGroupEdit(file_, edit, shown);
      ++writes;
      return {};
    } catch (const zp::SettingsError& error) {
      return error.what();
    }
  }
  int writes = 0;

 private:
  zp::Win32ProfileFile file_;
};

std::string FullPath(const char* name) {
  char path[MAX_PATH] = {};
  GetFullPathNameA(name, sizeof path, path, nullptr);
  return path;
}

// A full viewer table: a few channels of invented names, then numbered ones up to 8000.
std::unique_ptr<zp::HostChannelTable> GalleryChannelTable() {
  auto table = std::make_unique<zp::HostChannelTable>();
  struct Named {
    uint16_t sid;
    const char* name;
    const char* provider;
  };
  const Named named[] = {
      {101, "Das Erste", "ARD"},         {102, "ZDF", "ZDFvision"},
      {28106, "Kanal Nord", "Nordfunk"}, {28107, "Kanal Sued", "Nordfunk"},
      {28108, "Kanal West", "Nordfunk"}, {5001, "Kinderkanal", "Funkhaus"},
      {5002, "Musik Eins", "Funkhaus"},  {5003, "Kanal Kultur", "Funkhaus"},
  };
  int position = 1;
  auto add = [&](uint16_t sid, const std::string& name, const std::string& provider) {
    zp::HostChannelRecord& r = table->Records[position++];
    r.dwFreq = 12031;
    r.ChType = 1;
    r.wSID = sid;
    std::memcpy(r.ChName, name.data(), std::min<size_t>(name.size(), sizeof r.ChName));
    std::memcpy(r.Provider, provider.data(), std::min<size_t>(provider.size(), sizeof r.Provider));
  };
  for (const Named& n : named) add(n.sid, n.name, n.provider);
  for (uint16_t sid = 10001; position < zp::kHostChannelCount; ++sid) {
    char name[32], provider[32];
    std::snprintf(name, sizeof name, "Sender %u", static_cast<unsigned>(sid));
    std::snprintf(provider, sizeof provider, "Funkhaus %c", 'A' + sid % 8);
    add(sid, name, provider);
  }
  return table;
}

// Types `text` into an edit control a character at a time, as a person does;
// returns the slowest keystroke's time to a repainted list, in milliseconds.
double TypeTimed(HWND edit, const std::string& text, HWND list) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double slowest = 0;
  for (const char c : text) {
    QueryPerformanceCounter(&start);
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    UpdateWindow(list);
    QueryPerformanceCounter(&end);
    slowest = std::max(slowest, 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                    static_cast<double>(frequency.QuadPart));
  }
  return slowest;
}

void CheckGroupEditor(const std::string& screenshot) {
  const std::string path = FullPath("gallery-groups.ini");
  const char* const kFile =
      "[View]\r\nDP=1\r\nLists=DP,Fav\r\n[Fav]\r\nTitle=Favoriten\r\nNodeSID=28106\r\n"
      "List=28106,101,9999,28107\r\n";
  if (HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      f != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(f, kFile, static_cast<DWORD>(std::strlen(kFile)), &written, nullptr);
    CloseHandle(f);
  }
  GalleryOwner owner(path);
  const auto table = GalleryChannelTable();
  zp::ServiceIndex index;
  std::vector<zp::EditorChannel> channels = zp::EditorChannels(index, table.get());
  CheckEqual("channels offered", static_cast<long long>(channels.size()), 7999);

  TDualListDlg dialog;
  Check(dialog.CreateGroupEditor(nullptr, nullptr, owner), "group editor created");
  HWND window = dialog.Handle();
  CheckEqual("caption", WindowText(window), "Gruppen bearbeiten");
  RECT client;
  GetClientRect(window, &client);
  CheckEqual("client area", RectText(client), "0,0 525x556");
  // The selection dialog's own controls keep their places in the editor.
  for (const auto& [id, rect] : std::vector<std::pair<TDualListDlg::ControlId, const char*>>{
           {TDualListDlg::kSrcLabel, "48,96 145x16"},
           {TDualListDlg::kDstLabel, "232,96 145x16"},
           {TDualListDlg::kSrcList, "16,112 184x361"},
           {TDualListDlg::kDstList, "240,112 185x361"},
           {TDualListDlg::kIncludeBtn, "208,232 24x24"},
           {TDualListDlg::kExAllBtn, "208,328 24x24"},
           {TDualListDlg::kOKBtn, "101,484 75x25"},
           {TDualListDlg::kHelpBtn, "261,484 75x25"}}) {
    CheckEqual("editor control " + std::to_string(id), RectText(ChildRect(dialog.Control(id))),
               rect);
  }
  // No control of the band overlaps another.
  std::vector<RECT> rects;
  for (int id = TDualListDlg::kSrcList; id <= TDualListDlg::kKeptNote; ++id) {
    if (HWND control = dialog.Control(static_cast<TDualListDlg::ControlId>(id))) {
      rects.push_back(ChildRect(control));
    }
  }
  for (const int id : {1, 2, 9}) rects.push_back(ChildRect(GetDlgItem(window, id)));
  bool overlap = false;
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      RECT both;
      overlap |= IntersectRect(&both, &rects[i], &rects[j]) != FALSE;
    }
  }
  Check(!overlap, "no two controls overlap");

  dialog.OpenGroup(std::move(channels), "Fav");
  Pump(300);
  HWND src = dialog.Control(TDualListDlg::kSrcList);
  HWND dst = dialog.Control(TDualListDlg::kDstList);
  CheckEqual("Ziel-Liste", ListTexts(dst),
             "Kanal Nord  (Nordfunk)  28106,Das Erste  (ARD)  101,Kanal Sued  (Nordfunk)  28107");
  CheckEqual("Quell-Liste holds the rest", SendMessageA(src, LB_GETCOUNT, 0, 0), 7996);
  Check(WindowText(dialog.Control(TDualListDlg::kKeptNote)).rfind("1 Eintrag", 0) == 0,
        "the note names the kept entry");

  // ">>" with every channel shown would go past the 101 a group holds.
  std::string limitText;
  WhenDialogAppears([&](HWND box) {
    limitText = ItemText(box, 0xFFFF);
    Press(box, IDOK);
  });
  Click(dialog, TDualListDlg::kIncAllBtn);
  CheckEqual("\">>\" past the limit says so", limitText,
             "Eine Gruppe kann h\xF6"
             "chstens 101 Kan\xE4le enthalten.");
  CheckEqual("and moves nothing", SendMessageA(dst, LB_GETCOUNT, 0, 0), 3);

  // The timings of the filter as the user types: what a keystroke costs from
  // the character to the repainted Quell-Liste.
  HWND filter = dialog.Control(TDualListDlg::kFilterEdit);
  SetFocus(filter);
  // Each keystroke with the list's size before and after it.
  const auto keystroke = [&](const std::string& what, const std::string& keys) {
    const LRESULT before = SendMessageA(src, LB_GETCOUNT, 0, 0);
    const double ms = TypeTimed(filter, keys, src);
    Fact("filter " + what + ", " + std::to_string(before) + " to " +
             std::to_string(SendMessageA(src, LB_GETCOUNT, 0, 0)) + " channels, slowest key (ms)",
         std::to_string(ms));
  };
  const std::string full = ListTexts(src);
  keystroke("typed \"sender 1\"", "sender 1");  // in place: each key takes out a few
  keystroke("typed \"2\"", "2");                // most go: a fill from scratch
  keystroke("Backspace", "\b");                 // most come back: a fill from scratch
  keystroke("Backspace 8 times", std::string(8, '\b'));
  Check(ListTexts(src) == full, "taken back, the list is as filled from scratch");
  SendMessageA(filter, EM_SETSEL, 0, -1);
  keystroke("typed \"kanal\"", "kanal");
  SendMessageA(filter, EM_SETSEL, 0, -1);
  keystroke("cleared at once", "\b");
  Check(ListTexts(src) == full, "cleared, the list is as filled from scratch");
  keystroke("typed \"kanal\" again", "kanal");
  CheckEqual("filter \"kanal\"", ListTexts(src),
             "Kanal Kultur  (Funkhaus)  5003,Kanal West  (Nordfunk)  28108,"
             "Kinderkanal  (Funkhaus)  5001");
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  Click(dialog, TDualListDlg::kIncludeBtn);
  SendMessageA(dst, LB_SETSEL, TRUE, 3);
  Click(dialog, TDualListDlg::kUpBtn);
  CheckEqual("moved up", ListTexts(dst, true), "Kanal West  (Nordfunk)  28108");
  CheckEqual("Ziel-Liste after > and Auf", ListTexts(dst),
             "Kanal Nord  (Nordfunk)  28106,Das Erste  (ARD)  101,Kanal West  (Nordfunk)  28108,"
             "Kanal Sued  (Nordfunk)  28107");
  Screenshot(window, screenshot);

  // "<" puts a channel back in its sorted place, as far as the filter shows it.
  SendMessageA(dst, LB_SETSEL, FALSE, -1);
  SendMessageA(dst, LB_SETSEL, TRUE, 2);
  Click(dialog, TDualListDlg::kExcludeBtn);
  CheckEqual("< back into the filtered list", ListTexts(src),
             "Kanal Kultur  (Funkhaus)  5003,Kanal West  (Nordfunk)  28108,"
             "Kinderkanal  (Funkhaus)  5001");
  SendMessageA(src, LB_SETSEL, FALSE, -1);
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  Click(dialog, TDualListDlg::kIncludeBtn);

  Click(dialog, TDualListDlg::kOKBtn);
  CheckEqual("OK wrote once", owner.writes, 1);
  Check(!IsWindowVisible(window), "OK hides the editor");
  CheckEqual("List written", owner.GroupFile().Read("Fav", "List", ""),
             "28106,101,9999,28107,28108");
  DeleteFileA(path.c_str());
}

// --- capture dump --------------------------------------------------------------------

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "zp-window-gallery";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void CheckDump() {
  auto capture = std::make_unique<zp::PacketCapture>();
  zp::TsPacket packet{};
  packet[0] = 0x47;
  packet[1] = 0x40;
  packet[2] = 0x12;
  for (int i = 0; i < 520; ++i) capture->OnPacket(packet.data());
  packet[1] = 0x49;
  packet[2] = 0x97;
  packet[29] = '1';
  capture->OnPacket(packet.data());

  const std::string folder = TempFolder();
  const std::string file = folder + "\\direct.ts";
  zp::Win32ErrorBox errors(nullptr);
  zp::DumpCaptureBuffers(file, *capture, errors);
  CheckEqual("dump size", FileSize(file), 376000);

  std::string boxText, boxTitle;
  WhenDialogAppears([&](HWND box) {
    boxText = ItemText(box, 0xFFFF);  // the message box's text
    boxTitle = WindowText(box);
    Press(box, IDOK);
  });
  const std::string missing = "C:\\no\\such\\folder\\zpOut.ts";
  zp::DumpCaptureBuffers(missing, *capture, errors);
  CheckEqual("unwritable folder: box text", boxText,
             "Can not create file here! please select another folder");
  CheckEqual("unwritable folder: box title", boxTitle, "Error");
  CheckEqual("unwritable folder: no file", FileSize(missing), -1);

  // The "Save Buffer" road: dialog, trimmed name, dump. The dialog shows the
  // folder of the offered name and the name itself in its name field.
  zp::SaveDialog saveDialog;
  auto fileNameField = [](HWND dialog) { return GetDlgItem(dialog, cmb13) ? cmb13 : edt1; };
  std::string offered;
  WhenDialogAppears([&](HWND dialog) {
    offered = ItemText(dialog, fileNameField(dialog));
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("first offered name", offered, "zpOut.ts");
  CheckEqual("first confirmed name", saveDialog.FileName(), "C:\\zpOut.ts");
  CheckEqual("dump under the offered name", FileSize("C:\\zpOut.ts"), 376000);
  DeleteFileA("C:\\zpOut.ts");

  const std::string saved = folder + "\\saved.ts";
  WhenDialogAppears([&](HWND dialog) {
    SetDlgItemTextA(dialog, fileNameField(dialog), (saved + "  ").c_str());
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  Fact("name the dialog returned", "\"" + saveDialog.FileName() + "\"");
  CheckEqual("dump under the typed name", FileSize(saved), 376000);

  // Again under the same name: offered, and replaced without a question.
  HANDLE shrink =
      CreateFileA(saved.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
  CloseHandle(shrink);
  WhenDialogAppears([&](HWND dialog) {
    offered = ItemText(dialog, fileNameField(dialog));
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("second offered name", zp::TrimFileName(offered), "saved.ts");
  CheckEqual("confirmed again", zp::TrimFileName(saveDialog.FileName()), saved);
  CheckEqual("replaced dump size", FileSize(saved), 376000);

  DeleteFileA(saved.c_str());
  WhenDialogAppears([&](HWND dialog) { Press(dialog, IDCANCEL); });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("cancel writes nothing", FileSize(saved), -1);
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

// --- font and colour dialogs ---------------------------------------------------------

void CheckFontAndColorDialogs() {
  zp::FontDialog fontDialog;
  std::string offeredFace, chosenFace;
  WhenDialogAppears([&](HWND dialog) {
    offeredFace = ItemText(dialog, cmb1);
    HWND faces = GetDlgItem(dialog, cmb1);
    // Any face other than the first one offered will do.
    for (const char* face : {"Tahoma", "Courier New", "Symbol"}) {
      if (SendMessageA(faces, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(face)) != CB_ERR) {
        chosenFace = face;
        break;
      }
    }
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(faces));
    Press(dialog, IDOK);
  });
  const auto chosen = fontDialog.Execute(nullptr);
  CheckEqual("font dialog first offers", offeredFace, "MS Sans Serif");
  Check(chosen.has_value() && !chosenFace.empty(), "font dialog confirmed");
  if (chosen) {
    CheckEqual("chosen font", chosen->name + " " + std::to_string(chosen->size), chosenFace + " 8");
  }

  for (int run = 0; run < 2; ++run) {
    WhenDialogAppears([&](HWND dialog) {
      offeredFace = ItemText(dialog, cmb1);
      Press(dialog, IDCANCEL);
    });
    Check(!fontDialog.Execute(nullptr).has_value(), "font dialog cancelled");
    CheckEqual("font dialog offers the last choice", offeredFace, chosenFace);
  }

  // What the tree and the settings make of a font, and back.
  zp::FontSpec font;
  font.name = "Arial";
  font.size = 10;
  font.bold = font.underline = true;
  const LOGFONTA logFont = zp::LogFontFromSpec(font);
  Fact("height of a 10-point font", std::to_string(logFont.lfHeight));
  const zp::FontSpec back = zp::FontSpecFromLogFont(logFont, 0x0000FF);
  CheckEqual("font round trip",
             back.name + "," + std::to_string(back.size) + "," + std::to_string(back.bold) +
                 std::to_string(back.italic) + std::to_string(back.underline) +
                 std::to_string(back.strikeOut) + "," + std::to_string(back.color),
             "Arial,10,1010,255");
  CheckEqual("clWindowText draws as", zp::ColorRefFromValue(zp::syscolor::kWindowText),
             GetSysColor(COLOR_WINDOWTEXT));

  zp::ColorDialog colorDialog;
  std::string offeredColor;
  auto readColor = [](HWND dialog) {
    return std::to_string(GetDlgItemInt(dialog, 706, nullptr, FALSE)) + "," +
           std::to_string(GetDlgItemInt(dialog, 707, nullptr, FALSE)) + "," +
           std::to_string(GetDlgItemInt(dialog, 708, nullptr, FALSE));
  };
  WhenDialogAppears([&](HWND dialog) {
    offeredColor = readColor(dialog);
    SetDlgItemInt(dialog, 706, 10, FALSE);
    SetDlgItemInt(dialog, 707, 20, FALSE);
    SetDlgItemInt(dialog, 708, 30, FALSE);
    Press(dialog, IDOK);
  });
  const auto color = colorDialog.Execute(nullptr);
  CheckEqual("colour dialog first offers", offeredColor, "0,0,0");
  CheckEqual("chosen colour", color.value_or(-1), 0x1E140A);
  for (int run = 0; run < 2; ++run) {
    WhenDialogAppears([&](HWND dialog) {
      offeredColor = readColor(dialog);
      Press(dialog, IDCANCEL);
    });
    Check(!colorDialog.Execute(nullptr).has_value(), "colour dialog cancelled");
    CheckEqual("colour dialog offers the last choice", offeredColor, "10,20,30");
  }
}

// --- the window base ----------------------------------------------------------------

// A window of the base that records what reached it and throws where it is told to.
class ProbeWindow final : public zp::Window {
 public:
  static constexpr char kClassName[] = "ZanterpointProbeWindow";

  UINT throwOn = 0;
  bool sawNcCreate = false;
  HWND handleAtCreate = nullptr;
  HWND handleAtNcDestroy = nullptr;

  ~ProbeWindow() {
    if (Handle() != nullptr) DestroyWindow(Handle());
  }

  bool Create() {
    if (!zp::RegisterWindowClass({kClassName, zp::WindowProc<&ProbeWindow::HandleMessage>})) {
      return false;
    }
    return CreateHandle(0, kClassName, "Probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
  }

  // A control subclassed through the base, whose handler throws as the window's does.
  HWND AddProbeControl() {
    control_ = zp::CreateControl(Handle(), "STATIC", "text", WS_CHILD, 0, 0, 0, 50, 20, 1);
    zp::Subclass<&ProbeWindow::HandleControlMessage>(control_, *this);
    return control_;
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) sawNcCreate = true;
    if (message == WM_CREATE) handleAtCreate = Handle();
    if (message == WM_NCDESTROY) handleAtNcDestroy = Handle();
    if (message == throwOn) throw std::runtime_error("probe");
    return DefWindowProcA(Handle(), message, wParam, lParam);
  }

  LRESULT HandleControlMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == throwOn) throw std::runtime_error("probe");
    return DefSubclassProc(control_, message, wParam, lParam);
  }

  HWND control_ = nullptr;
};

void CheckWindowBase() {
  {
    ProbeWindow window;
    Check(window.Create(), "window created");
    Check(window.sawNcCreate, "its object sees WM_NCCREATE");
    Check(window.handleAtCreate == window.Handle() && window.Handle() != nullptr,
          "the handle is known during the creation");
    Check(zp::RegisterWindowClass({ProbeWindow::kClassName, DefWindowProcA}),
          "a second registration finds the class");

    window.throwOn = WM_CLOSE;
    const HWND handle = window.Handle();
    CheckEqual("a failing WM_CLOSE answers", SendMessageA(handle, WM_CLOSE, 0, 0), 0);
    Check(IsWindow(handle) != FALSE, "a failing WM_CLOSE leaves the window (no default handling)");

    const HWND control = window.AddProbeControl();
    CheckEqual("the control's text length", SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), 4);
    window.throwOn = WM_GETTEXTLENGTH;
    CheckEqual("a failing subclass handler answers", SendMessageA(control, WM_GETTEXTLENGTH, 0, 0),
               0);

    window.throwOn = 0;
    DestroyWindow(handle);
    Check(window.handleAtNcDestroy == handle, "its object sees WM_NCDESTROY with the handle");
    Check(window.Handle() == nullptr, "the handle is forgotten after WM_NCDESTROY");
  }
  {
    ProbeWindow window;
    window.throwOn = WM_CREATE;
    Check(!window.Create(), "a failing WM_CREATE fails the creation");
    Check(window.Handle() == nullptr, "and leaves no handle");
  }
  zp::UnregisterWindowClass(ProbeWindow::kClassName);
  WNDCLASSEXA unregistered{};
  Check(!GetClassInfoExA(zp::ThisModule(), ProbeWindow::kClassName, &unregistered),
        "the class goes with its last window");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  std::string screenshot;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--screenshot") screenshot = argv[i + 1];
  }
  SetTimer(nullptr, 0, 200, AnswerDialog);
  if (command == "help") {
    CheckHelp(screenshot);
  } else if (command == "duallist") {
    CheckDualList(screenshot);
  } else if (command == "groups") {
    CheckGroupEditor(screenshot);
  } else if (command == "dump") {
    CheckDump();
  } else if (command == "dialogs") {
    CheckFontAndColorDialogs();
  } else if (command == "base") {
    CheckWindowBase();
  } else {
    std::fprintf(
        stderr,
        "usage: window-gallery help|duallist|groups|dump|dialogs|base [--screenshot FILE]\n");
    return 2;
  }
  std::printf("%s\n", g_failures == 0 ? "all checks passed" : "some checks failed");
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}
