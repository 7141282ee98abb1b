#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The stand-in viewer's script language: one step per line, run in order on
// the viewer's user-interface thread. README.md in this folder describes it.
namespace zp::viewer {

enum class StepKind {
  Init,
  Info,
  Show,
  DdEvent,
  Close,
  Unload,
  WaitScan,
  Wait,
  Tree,
  Menus,
  Windows,
  Select,
  Click,
  RightClick,
  DoubleClick,
  Key,
  Menu,
  Tune,
  Answer,
  CloseWindow,
  MinimizeWindow,
  Snapshot,
  Delivery,
  Rate,
  Echo,
  Repeat,
  Timer,
  Memory,
  WaitTree,
  CallbackCost,
  Controls,
  DialogType,
  DialogSelect,
  DialogClick,
  ReadOnly,
  Writable,
  CopyFile,
};

struct KeyChord {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  uint8_t vk = 0;         // Windows virtual-key code
  bool extended = false;  // arrows and the navigation block carry the extended-key bit
};

struct Step {
  StepKind kind;
  int line = 0;      // 1-based line in the script
  std::string text;  // the step as written, for the transcript
  std::string arg;   // node, menu path, button, file, text: the rest of the line
  std::string arg2;  // answer: text to type into the dialog before pressing; dlg-*: the text
  int64_t number = 0;
  int64_t number2 = 0;
  KeyChord key;
  std::vector<Step> body;  // repeat: the steps up to its "end"
};

class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& message)
      : std::runtime_error("script line " + std::to_string(line) + ": " + message) {}
};

std::vector<Step> ParseScript(std::string_view text);

// "ctrl+shift+F5", "Enter", "alt+x", "vk=0x74"; throws std::invalid_argument.
KeyChord ParseKeyChord(std::string_view text);

}  // namespace zp::viewer
