#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "DialogWatcher.h"
#include "HostSide.h"
#include "ModuleLibrary.h"
#include "Script.h"
#include "Transcript.h"

namespace zp::viewer {

// Runs a script's steps in order on the viewer's user-interface thread,
// pumping the viewer's message loop between and during them, as the real
// viewer's loop drives the module's windows and timers.
class ScriptRunner {
 public:
  ScriptRunner(Transcript& transcript, HostSide& host, ModuleLibrary& module, HWND viewer,
               DialogWatcher& watcher)
      : transcript_(transcript), host_(host), module_(module), viewer_(viewer), watcher_(watcher) {}
  ~ScriptRunner() {
    for (const auto& held : heldFiles_) CloseHandle(held.second);
  }
  ScriptRunner(const ScriptRunner&) = delete;
  ScriptRunner& operator=(const ScriptRunner&) = delete;

  void Run(const std::vector<Step>& steps);
  // Runs the message loop for at least `milliseconds`.
  void Pump(DWORD milliseconds);

 private:
  void Execute(const Step& step);
  void Error(const std::string& message);
  void WaitScan(DWORD timeout);
  void PrintTree();
  void PrintMenus();
  HWND TreeOrError();
  bool FindItem(const std::string& ref, HWND& tree, HTREEITEM& item);
  void Select(const std::string& ref);
  void Mouse(const std::string& ref, StepKind kind);
  void Key(const KeyChord& chord);
  void ChooseMenu(const std::string& path);
  void Snapshot(const std::string& file);
  void PrintMemory();
  void WaitTree(DWORD timeout);
  void PrintCallbackCost();
  HWND DialogControl(int64_t id);
  void DialogType(int64_t id, const std::string& text);
  void DialogSelect(int64_t id, const std::string& text);
  void DialogClick(int64_t id);
  void SetReadOnly(const std::string& file, bool readOnly);
  static double Milliseconds(int64_t ticks);

  Transcript& transcript_;
  HostSide& host_;
  ModuleLibrary& module_;
  HWND viewer_;
  DialogWatcher& watcher_;
  int scansSeen_ = 0;
  // Held open while a file is read-only: Windows refuses the module's writes
  // then even where Wine runs as root and would pass the missing write bits.
  std::vector<std::pair<std::string, HANDLE>> heldFiles_;
};

}  // namespace zp::viewer
