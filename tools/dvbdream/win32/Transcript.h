#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Handles.h"

namespace zp::viewer {

// The viewer's record of everything the module asks of it and everything a
// script does: one line per event, written at once (a crash loses nothing).
class Transcript {
 public:
  Transcript();
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  void ToStdout(bool on) { stdout_ = on; }
  bool ToFile(const std::string& path);
  // Called with every line, on the viewer's user-interface thread only.
  void SetListener(std::function<void(const std::string&)> listener) {
    listener_ = std::move(listener);
  }

  void Line(const std::string& text);

 private:
  SrwLock lock_;
  DWORD uiThread_;
  bool stdout_ = false;
  UniqueFile file_;
  std::function<void(const std::string&)> listener_;
};

}  // namespace zp::viewer
