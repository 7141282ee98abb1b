#include "ScriptRunner.h"

#include <malloc.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ModuleWindows.h"
#include "Outline.h"
#include "TranscriptFormat.h"

namespace zp::viewer {

namespace {

// Time given to the module's reaction to each step: posted messages, repaints.
constexpr DWORD kSettleMs = 30;
// A scan is over when no delivery runs and the module has sent nothing for this long.
constexpr DWORD kScanQuietMs = 250;

}  // namespace

void ScriptRunner::Run(const std::vector<Step>& steps) {
  for (const Step& step : steps) {
    if (step.kind != StepKind::Echo) transcript_.Line("> " + step.text);
    if (step.kind == StepKind::Repeat) {
      for (int64_t i = 0; i < step.number; ++i) Run(step.body);
      continue;
    }
    Execute(step);
    Pump(kSettleMs);
  }
}

void ScriptRunner::Pump(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= milliseconds) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
  }
}

void ScriptRunner::Error(const std::string& message) { transcript_.Line("error " + message); }

void ScriptRunner::Execute(const Step& step) {
  switch (step.kind) {
    case StepKind::Init:
      module_.Init(viewer_);
      break;
    case StepKind::Info:
      module_.Info();
      break;
    case StepKind::Show:
      module_.Show();
      break;
    case StepKind::DdEvent:
      module_.DdEvent(static_cast<uint32_t>(step.number), static_cast<uint32_t>(step.number2));
      break;
    case StepKind::Close:
      module_.Close();
      break;
    case StepKind::Unload:
      // No delivery may call into a library that is gone.
      host_.StopAll("viewer");
      module_.Unload();
      break;
    case StepKind::WaitScan:
      WaitScan(static_cast<DWORD>(step.number));
      break;
    case StepKind::Wait:
      Pump(static_cast<DWORD>(step.number));
      break;
    case StepKind::Tree:
      PrintTree();
      break;
    case StepKind::Menus:
      PrintMenus();
      break;
    case StepKind::Windows:
      for (const std::string& line : DescribeWindows(viewer_)) transcript_.Line(line);
      break;
    case StepKind::Select:
      Select(step.arg);
      break;
    case StepKind::Click:
    case StepKind::RightClick:
    case StepKind::DoubleClick:
      Mouse(step.arg, step.kind);
      break;
    case StepKind::Key:
      Key(step.key);
      break;
    case StepKind::Menu:
      ChooseMenu(step.arg);
      break;
    case StepKind::Tune:
      host_.ViewerTune(static_cast<int>(step.number));
      break;
    case StepKind::Answer:
      watcher_.Queue(step.arg, step.arg2);
      break;
    case StepKind::CloseWindow:
      if (HWND window = FindModuleWindow(viewer_)) {
        PostMessageA(window, WM_CLOSE, 0, 0);
      } else {
        Error("the module shows no window");
      }
      break;
    case StepKind::MinimizeWindow:
      if (HWND window = FindModuleWindow(viewer_)) {
        ShowWindow(window, SW_MINIMIZE);
      } else {
        Error("the module shows no window");
      }
      break;
    case StepKind::Snapshot:
      Snapshot(step.arg);
      break;
    case StepKind::Delivery:
      host_.SetDeliveryMode(step.arg == "ui" ? DeliveryMode::UiThread : DeliveryMode::Thread);
      break;
    case StepKind::Rate:
      host_.SetRate(static_cast<int>(step.number));
      break;
    case StepKind::Echo:
      transcript_.Line(step.arg);
      break;
    case StepKind::Repeat:  // run by Run
      break;
    case StepKind::Timer:
      // As if the module's timer had elapsed now: the same message its SetTimer posts.
      if (HWND window = FindModuleWindow(viewer_)) {
        PostMessageA(window, WM_TIMER, static_cast<WPARAM>(step.number), 0);
      } else {
        Error("the module shows no window");
      }
      break;
    case StepKind::Memory:
      PrintMemory();
      break;
    case StepKind::WaitTree:
      WaitTree(static_cast<DWORD>(step.number));
      break;
    case StepKind::CallbackCost:
      PrintCallbackCost();
      break;
    case StepKind::Controls:
      if (HWND dialog = FindModuleDialog(viewer_)) {
        transcript_.Line("dialog caption=" + Quoted(TextOf(dialog)));
        for (const std::string& line : DescribeControls(dialog)) transcript_.Line(line);
      } else {
        Error("the module shows no dialog");
      }
      break;
    case StepKind::DialogType:
      DialogType(step.number, step.arg2);
      break;
    case StepKind::DialogSelect:
      DialogSelect(step.number, step.arg2);
      break;
    case StepKind::DialogClick:
      DialogClick(step.number);
      break;
    case StepKind::ReadOnly:
    case StepKind::Writable:
      SetReadOnly(step.arg, step.kind == StepKind::ReadOnly);
      break;
    case StepKind::CopyFile:
      // A copy of what a file holds at this step, for a comparison after the run.
      if (!CopyFileA(step.arg.c_str(), step.arg2.c_str(), FALSE)) {
        Error("cannot copy " + step.arg + " to " + step.arg2);
      }
      break;
  }
}

namespace {

// Committed private memory, summed over the address space: what the process
// really holds (Wine leaves GetProcessMemoryInfo's PrivateUsage at 0).
uint64_t CommittedPrivateBytes() {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

struct HeapUse {
  uint64_t bytes = 0;
  uint64_t blocks = 0;
};

HeapUse BusyIn(HANDLE heap) {
  HeapUse use;
  if (!HeapLock(heap)) return use;
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry)) {
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
      use.bytes += entry.cbData;
      ++use.blocks;
    }
  }
  HeapUnlock(heap);
  return use;
}

// Bytes in use in every heap of the process: the system's DLLs, the C runtime.
uint64_t HeapBusyBytes() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  uint64_t total = 0;
  for (HANDLE heap : heaps) total += BusyIn(heap).bytes;
  return total;
}

}  // namespace

void ScriptRunner::PrintMemory() {
  PROCESS_MEMORY_COUNTERS counters{};
  const HANDLE self = GetCurrentProcess();
  K32GetProcessMemoryInfo(self, &counters, sizeof counters);
  DWORD handles = 0;
  GetProcessHandleCount(self, &handles);
  // The module's own objects live in the C runtime's heap, which it shares with the viewer.
  const HeapUse crt = BusyIn(reinterpret_cast<HANDLE>(_get_heap_handle()));
  char line[240];
  std::snprintf(line, sizeof line,
                "memory private-kb=%llu heap-kb=%llu crt-heap-bytes=%llu crt-blocks=%llu "
                "working-kb=%llu handles=%lu gdi=%lu user=%lu",
                static_cast<unsigned long long>(CommittedPrivateBytes() / 1024),
                static_cast<unsigned long long>(HeapBusyBytes() / 1024),
                static_cast<unsigned long long>(crt.bytes),
                static_cast<unsigned long long>(crt.blocks),
                static_cast<unsigned long long>(counters.WorkingSetSize / 1024),
                static_cast<unsigned long>(handles),
                static_cast<unsigned long>(GetGuiResources(self, GR_GDIOBJECTS)),
                static_cast<unsigned long>(GetGuiResources(self, GR_USEROBJECTS)));
  transcript_.Line(line);
}

double ScriptRunner::Milliseconds(int64_t ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

void ScriptRunner::WaitTree(DWORD timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    const HWND window = FindModuleWindow(viewer_);
    const HWND tree = window != nullptr ? FindTreeControl(window) : nullptr;
    if (tree != nullptr && TreeView_GetCount(tree) > 0) {
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      char line[120];
      std::snprintf(line, sizeof line, "wait-tree done after-show-ms=%.1f after-start-ms=%.1f",
                    Milliseconds(now.QuadPart - module_.LastShowCounter()),
                    Milliseconds(now.QuadPart - host_.LastStartCounter()));
      transcript_.Line(line);
      return;
    }
    if (GetTickCount() - start >= timeout) {
      transcript_.Line("wait-tree timeout");
      return;
    }
    Pump(1);
  }
}

void ScriptRunner::PrintCallbackCost() {
  const CallbackCost cost = host_.TakeCallbackCost();
  if (cost.packets == 0) {
    transcript_.Line("callback-cost packets=0");
    return;
  }
  const double perPacket = 1e6 / static_cast<double>(cost.packets);
  char line[120];
  std::snprintf(line, sizeof line, "callback-cost packets=%llu module-ns=%.2f empty-ns=%.2f",
                static_cast<unsigned long long>(cost.packets),
                Milliseconds(cost.moduleTicks) * perPacket,
                Milliseconds(cost.emptyTicks) * perPacket);
  transcript_.Line(line);
}

void ScriptRunner::WaitScan(DWORD timeout) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump(20);
    const int scans = host_.Starts() - scansSeen_;
    if (scans > 0 && host_.ActiveDeliveries() == 0 &&
        GetTickCount() - host_.LastCommandTick() >= kScanQuietMs) {
      scansSeen_ = host_.Starts();
      transcript_.Line("wait-scan done scans=" + std::to_string(scans));
      return;
    }
    if (GetTickCount() - start >= timeout) {
      scansSeen_ = host_.Starts();
      transcript_.Line("wait-scan timeout scans=" + std::to_string(scans) +
                       " running=" + std::to_string(host_.ActiveDeliveries()));
      return;
    }
  }
}

HWND ScriptRunner::TreeOrError() {
  const HWND window = FindModuleWindow(viewer_);
  const HWND tree = window != nullptr ? FindTreeControl(window) : nullptr;
  if (tree == nullptr) Error("the module shows no tree");
  return tree;
}

void ScriptRunner::PrintTree() {
  const HWND window = FindModuleWindow(viewer_);
  const HWND tree = window != nullptr ? FindTreeControl(window) : nullptr;
  if (tree == nullptr) {
    transcript_.Line("tree none");
    return;
  }
  const TreeContents contents = ReadTree(tree);
  for (const std::string& line : FormatTree(contents.nodes, contents.selected)) {
    transcript_.Line(line);
  }
}

void ScriptRunner::PrintMenus() {
  const HWND window = FindModuleWindow(viewer_);
  const HMENU menu = window != nullptr ? GetMenu(window) : nullptr;
  if (menu == nullptr) {
    transcript_.Line("menu none");
    return;
  }
  for (const std::string& line : FormatMenu(ReadMenu(menu).items)) transcript_.Line(line);
}

bool ScriptRunner::FindItem(const std::string& ref, HWND& tree, HTREEITEM& item) {
  tree = TreeOrError();
  if (tree == nullptr) return false;
  const TreeContents contents = ReadTree(tree);
  const int index = FindNode(contents.nodes, ParseNodeRef(ref));
  if (index < 0) {
    Error("no node \"" + ref + "\"");
    return false;
  }
  item = contents.items[static_cast<size_t>(index)];
  return true;
}

void ScriptRunner::Select(const std::string& ref) {
  HWND tree;
  HTREEITEM item;
  if (!FindItem(ref, tree, item)) return;
  SetForegroundWindow(GetAncestor(tree, GA_ROOT));
  SetFocus(tree);
  TreeView_SelectItem(tree, item);
}

void ScriptRunner::Mouse(const std::string& ref, StepKind kind) {
  HWND tree;
  HTREEITEM item;
  if (!FindItem(ref, tree, item)) return;
  RECT r;
  RECT client;
  GetClientRect(tree, &client);
  if (!TreeView_GetItemRect(tree, item, &r, TRUE)) {
    Error("node \"" + ref + "\" is not visible");
    return;
  }
  POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (!PtInRect(&client, at)) {
    Error("node \"" + ref + "\" is scrolled out of view");
    return;
  }
  // The cursor goes where the click is, for handlers that ask where it happened.
  SetForegroundWindow(GetAncestor(tree, GA_ROOT));
  POINT screen = at;
  ClientToScreen(tree, &screen);
  SetCursorPos(screen.x, screen.y);
  const LPARAM where = MAKELPARAM(at.x, at.y);
  PostMessageA(tree, WM_MOUSEMOVE, 0, where);
  if (kind == StepKind::RightClick) {
    PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, where);
    PostMessageA(tree, WM_RBUTTONUP, 0, where);
  } else {
    PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(tree, WM_LBUTTONUP, 0, where);
    if (kind == StepKind::DoubleClick) {
      PostMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
      PostMessageA(tree, WM_LBUTTONUP, 0, where);
    }
  }
  Pump(0);
}

void ScriptRunner::Key(const KeyChord& chord) {
  if (GetFocus() == nullptr) {
    Error("no window has the keyboard focus");
    return;
  }
  // The module reads modifiers with GetKeyState, the queue's state that goes
  // with each message: set it before every message and let the loop deliver it.
  BYTE state[256];
  GetKeyboardState(state);
  const bool sys = chord.alt && !chord.ctrl;
  auto send = [&](BYTE vk, bool down, bool extended) {
    const BYTE mark = down ? 0x80 : 0x00;
    state[vk] = mark;
    if (vk == VK_CONTROL) state[VK_LCONTROL] = mark;
    if (vk == VK_SHIFT) state[VK_LSHIFT] = mark;
    if (vk == VK_MENU) state[VK_LMENU] = mark;
    SetKeyboardState(state);
    const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM flags = 1 | static_cast<LPARAM>(scan << 16);
    if (extended) flags |= 1 << 24;
    if (chord.alt) flags |= 1 << 29;
    if (!down) flags |= static_cast<LPARAM>(3u << 30);
    const UINT message =
        sys ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    if (HWND target = GetFocus()) PostMessageA(target, message, vk, flags);
    Pump(0);
  };
  if (chord.ctrl) send(VK_CONTROL, true, false);
  if (chord.shift) send(VK_SHIFT, true, false);
  if (chord.alt) send(VK_MENU, true, false);
  send(chord.vk, true, chord.extended);
  send(chord.vk, false, chord.extended);
  if (chord.alt) send(VK_MENU, false, false);
  if (chord.shift) send(VK_SHIFT, false, false);
  if (chord.ctrl) send(VK_CONTROL, false, false);
}

void ScriptRunner::ChooseMenu(const std::string& path) {
  const HWND window = FindModuleWindow(viewer_);
  const HMENU bar = window != nullptr ? GetMenu(window) : nullptr;
  if (bar == nullptr) {
    Error("the module shows no menu");
    return;
  }
  MenuContents menu = ReadMenu(bar);
  const NodeRef ref = ParseNodeRef(path);
  const int index = FindPath(menu.items, ref.path, ref.path.size() == 1);
  if (index < 0 || menu.items[static_cast<size_t>(index)].popup) {
    Error("no menu item \"" + path + "\"");
    return;
  }
  // As a person opening the menus on the way: the window may update its items here.
  SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  std::vector<size_t> popups;
  for (int i = index, depth = menu.items[static_cast<size_t>(index)].depth; i >= 0; --i) {
    if (menu.items[static_cast<size_t>(i)].depth < depth) {
      popups.insert(popups.begin(), static_cast<size_t>(i));
      depth = menu.items[static_cast<size_t>(i)].depth;
    }
  }
  for (size_t popup : popups) {
    SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.menus[popup + 1]),
                 MAKELPARAM(menu.positions[popup], FALSE));
  }
  const size_t item = static_cast<size_t>(index);
  const UINT state = GetMenuState(menu.menus[item], menu.positions[item], MF_BYPOSITION);
  if (state & (MF_GRAYED | MF_DISABLED)) {
    Error("menu item \"" + path + "\" is disabled");
    return;
  }
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(menu.ids[item], 0), 0);
  Pump(0);
}

void ScriptRunner::Snapshot(const std::string& file) {
  const HWND module = FindModuleWindow(viewer_);
  const HWND target = module != nullptr ? module : viewer_;
  RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump(200);
  const std::string which = module != nullptr ? "module" : "viewer";
  if (SnapshotWindow(target, file)) {
    transcript_.Line("snapshot window=" + which + " file=" + file);
  } else {
    Error("snapshot of the " + which + " window into " + file + " failed");
  }
}

}  // namespace zp::viewer

namespace zp::viewer {

HWND ScriptRunner::DialogControl(int64_t id) {
  const HWND dialog = FindModuleDialog(viewer_);
  if (dialog == nullptr) {
    Error("the module shows no dialog");
    return nullptr;
  }
  const HWND control = GetDlgItem(dialog, static_cast<int>(id));
  if (control == nullptr || !IsWindowVisible(control)) {
    Error("the dialog has no control " + std::to_string(id));
    return nullptr;
  }
  if (!IsWindowEnabled(control)) {
    Error("control " + std::to_string(id) + " is disabled");
    return nullptr;
  }
  return control;
}

void ScriptRunner::DialogType(int64_t id, const std::string& text) {
  const HWND control = DialogControl(id);
  if (control == nullptr) return;
  // As a person typing: the field's text replaced one character at a time,
  // each a change the dialog hears of.
  SetForegroundWindow(GetAncestor(control, GA_ROOT));
  SetFocus(control);
  SendMessageA(control, EM_SETSEL, 0, -1);
  // Each keystroke timed from the character to a dialog that has repainted.
  const HWND dialog = GetAncestor(control, GA_ROOT);
  double slowest = 0;
  const std::string keys = text.empty() ? std::string(1, '\b') : text;
  for (const char c : keys) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump(0);
    QueryPerformanceCounter(&end);
    slowest = std::max(slowest, Milliseconds(end.QuadPart - start.QuadPart));
  }
  char line[80];
  std::snprintf(line, sizeof line, "dlg-type done keys=%zu slowest-ms=%.1f", keys.size(), slowest);
  transcript_.Line(line);
}

void ScriptRunner::DialogSelect(int64_t id, const std::string& text) {
  const HWND control = DialogControl(id);
  if (control == nullptr) return;
  const std::string cls = ClassOf(control);
  const HWND dialog = GetParent(control);
  if (cls == "ListBox") {
    const LRESULT at = SendMessageA(control, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    if (at == LB_ERR) {
      Error("list " + std::to_string(id) + " has no item \"" + text + "\"");
      return;
    }
    SetFocus(control);
    SendMessageA(control, LB_SETSEL, TRUE, at);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
  } else if (cls == "ComboBox") {
    const LRESULT at = SendMessageA(control, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    if (at == CB_ERR) {
      Error("combo box " + std::to_string(id) + " has no item \"" + text + "\"");
      return;
    }
    // A choice of the user's: the dialog hears of it, as it does not of CB_SETCURSEL.
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
  } else {
    Error("control " + std::to_string(id) + " is no list");
  }
}

void ScriptRunner::DialogClick(int64_t id) {
  const HWND control = DialogControl(id);
  if (control == nullptr) return;
  // Posted, as a click arrives: a message box it opens runs its own loop while
  // the script waits, and the dialog watcher answers it.
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
  // Until the click and everything it caused (a rebuilt tree's repaint) is handled.
  Pump(0);
  QueryPerformanceCounter(&end);
  char line[80];
  std::snprintf(line, sizeof line, "dlg-click done ms=%.1f",
                Milliseconds(end.QuadPart - start.QuadPart));
  transcript_.Line(line);
}

void ScriptRunner::SetReadOnly(const std::string& file, bool readOnly) {
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    Error("no file " + file);
    return;
  }
  SetFileAttributesA(file.c_str(), readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                                            : (attributes & ~FILE_ATTRIBUTE_READONLY));
  for (auto it = heldFiles_.begin(); it != heldFiles_.end();) {
    if (it->first == file) {
      CloseHandle(it->second);
      it = heldFiles_.erase(it);
    } else {
      ++it;
    }
  }
  if (!readOnly) return;
  // Readers may open it beside this handle; a writer may not.
  const HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    Error("cannot hold " + file + " open");
    return;
  }
  heldFiles_.emplace_back(file, held);
}

}  // namespace zp::viewer
