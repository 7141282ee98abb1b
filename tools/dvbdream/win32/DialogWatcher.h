#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "Transcript.h"

namespace zp::viewer {

// Answers the dialogs that the module opens while a script runs, so that a
// modal loop inside the module never blocks the run. The viewer's timer calls
// Poll; modal loops dispatch that timer too. A message box is written to the
// transcript (title, text, the button pressed) and answered with the next
// queued answer or its default button. Other dialogs are answered only from
// the queue: until then they are noted once and left to wait.
class DialogWatcher {
 public:
  explicit DialogWatcher(Transcript& transcript) : transcript_(transcript) {}

  // Button caption ("" for the default button) and, optionally, text to type
  // into the dialog's file-name or first edit field before pressing it.
  void Queue(std::string button, std::string text);
  void Poll();

 private:
  struct Answer {
    std::string button;
    std::string text;
  };
  void Handle(HWND dialog, bool messageBox);

  Transcript& transcript_;
  std::deque<Answer> answers_;
  std::vector<HWND> seen_;  // answered or noted, until they are gone
};

}  // namespace zp::viewer
