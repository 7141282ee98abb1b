#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "Transcript.h"

namespace zp::viewer {

// The module DLL as the viewer holds it: loaded from its Modules folder and
// driven through its five undecorated stdcall exports. Every call is written
// to the transcript as "call <export>" ... "return <export> <result>".
class ModuleLibrary {
 public:
  explicit ModuleLibrary(Transcript& transcript) : transcript_(transcript) {}
  ~ModuleLibrary() { Unload(); }
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // `shown` is how the transcript names the file.
  bool Load(const std::string& path, const std::string& shown);
  void Unload();
  HMODULE Handle() const { return module_; }

  // OnGetModuleInfo; the name it gave, for the Modules menu.
  std::string Info();
  void Init(HWND hostWindow);
  void Show();
  void Close();
  void DdEvent(uint32_t first, uint32_t second);
  // Performance-counter value just before the latest OnShow call; 0 before any.
  int64_t LastShowCounter() const { return lastShow_; }

 private:
  // False when the export could not be called.
  template <class Fn, class... Args>
  bool Call(const char* name, Args... args);

  Transcript& transcript_;
  HMODULE module_ = nullptr;
  int64_t lastShow_ = 0;
};

}  // namespace zp::viewer
