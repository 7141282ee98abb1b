#include "Script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace zp::viewer {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool ParseInt(std::string_view s, int64_t& out) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    s.remove_prefix(2);
    base = 16;
  }
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out, base);
  return ec == std::errc{} && end == s.data() + s.size() && !s.empty();
}

struct StepName {
  std::string_view name;
  StepKind kind;
  enum Args { None, Rest, OptionalNumber, Number, TwoNumbers, NumberAndText } args;
};

constexpr StepName kSteps[] = {
    {"init", StepKind::Init, StepName::None},
    {"info", StepKind::Info, StepName::None},
    {"show", StepKind::Show, StepName::None},
    {"ddevent", StepKind::DdEvent, StepName::TwoNumbers},
    {"close", StepKind::Close, StepName::None},
    {"unload", StepKind::Unload, StepName::None},
    {"wait-scan", StepKind::WaitScan, StepName::OptionalNumber},
    {"wait", StepKind::Wait, StepName::Number},
    {"tree", StepKind::Tree, StepName::None},
    {"menus", StepKind::Menus, StepName::None},
    {"windows", StepKind::Windows, StepName::None},
    {"select", StepKind::Select, StepName::Rest},
    {"click", StepKind::Click, StepName::Rest},
    {"rclick", StepKind::RightClick, StepName::Rest},
    {"dblclick", StepKind::DoubleClick, StepName::Rest},
    {"key", StepKind::Key, StepName::Rest},
    {"menu", StepKind::Menu, StepName::Rest},
    {"tune", StepKind::Tune, StepName::Number},
    {"answer", StepKind::Answer, StepName::Rest},
    {"close-window", StepKind::CloseWindow, StepName::None},
    {"minimize-window", StepKind::MinimizeWindow, StepName::None},
    {"snapshot", StepKind::Snapshot, StepName::Rest},
    {"delivery", StepKind::Delivery, StepName::Rest},
    {"rate", StepKind::Rate, StepName::Number},
    {"echo", StepKind::Echo, StepName::Rest},
    {"repeat", StepKind::Repeat, StepName::Number},
    {"timer", StepKind::Timer, StepName::Number},
    {"memory", StepKind::Memory, StepName::None},
    {"wait-tree", StepKind::WaitTree, StepName::OptionalNumber},
    {"callback-cost", StepKind::CallbackCost, StepName::None},
    {"controls", StepKind::Controls, StepName::None},
    {"dlg-type", StepKind::DialogType, StepName::NumberAndText},
    {"dlg-select", StepKind::DialogSelect, StepName::NumberAndText},
    {"dlg-click", StepKind::DialogClick, StepName::Number},
    {"readonly", StepKind::ReadOnly, StepName::Rest},
    {"writable", StepKind::Writable, StepName::Rest},
    {"copy", StepKind::CopyFile, StepName::Rest},
};

Step ParseStep(std::string_view line, int lineNo) {
  const size_t space = line.find_first_of(" \t");
  const std::string_view word = line.substr(0, space);
  const std::string_view rest =
      space == std::string_view::npos ? std::string_view{} : Trim(line.substr(space));
  const auto* name = std::find_if(std::begin(kSteps), std::end(kSteps),
                                  [&](const StepName& n) { return n.name == word; });
  if (name == std::end(kSteps)) {
    throw ScriptError(lineNo, "unknown step \"" + std::string(word) + "\"");
  }
  Step step{name->kind, lineNo, std::string(line), std::string(rest), {}, 0, 0, {}, {}};
  const std::string what(word);
  switch (name->args) {
    case StepName::None:
      if (!rest.empty()) throw ScriptError(lineNo, what + " takes no argument");
      break;
    case StepName::Rest:
      // "echo" may print an empty line; "answer" alone presses the default button.
      if (rest.empty() && name->kind != StepKind::Echo && name->kind != StepKind::Answer) {
        throw ScriptError(lineNo, what + " needs an argument");
      }
      break;
    case StepName::OptionalNumber:
      step.number = 10000;
      if (!rest.empty() && !ParseInt(rest, step.number)) {
        throw ScriptError(lineNo, what + ": \"" + std::string(rest) + "\" is not a number");
      }
      break;
    case StepName::Number:
      if (!ParseInt(rest, step.number)) {
        throw ScriptError(lineNo, what + " needs a number");
      }
      break;
    case StepName::NumberAndText: {
      // The control's id, then the text as written (dlg-type alone empties the field).
      const size_t gap = rest.find_first_of(" \t");
      if (!ParseInt(rest.substr(0, gap), step.number)) {
        throw ScriptError(lineNo, what + " needs a control id");
      }
      if (gap != std::string_view::npos) step.arg2 = std::string(Trim(rest.substr(gap)));
      if (step.arg2.empty() && name->kind == StepKind::DialogSelect) {
        throw ScriptError(lineNo, what + " needs the item's text");
      }
      break;
    }
    case StepName::TwoNumbers: {
      const size_t gap = rest.find_first_of(" \t");
      if (gap == std::string_view::npos || !ParseInt(rest.substr(0, gap), step.number) ||
          !ParseInt(Trim(rest.substr(gap)), step.number2)) {
        throw ScriptError(lineNo, what + " needs two numbers");
      }
      break;
    }
  }
  switch (step.kind) {
    case StepKind::Key:
      try {
        step.key = ParseKeyChord(rest);
      } catch (const std::invalid_argument& e) {
        throw ScriptError(lineNo, e.what());
      }
      break;
    case StepKind::Answer: {
      const size_t gap = rest.find_first_of(" \t");
      if (gap != std::string_view::npos) {
        step.arg = std::string(rest.substr(0, gap));
        step.arg2 = std::string(Trim(rest.substr(gap)));
      }
      break;
    }
    case StepKind::Delivery:
      if (rest != "thread" && rest != "ui") {
        throw ScriptError(lineNo, "delivery is \"thread\" or \"ui\"");
      }
      break;
    case StepKind::CopyFile: {
      const size_t gap = rest.find_first_of(" \t");
      if (gap == std::string_view::npos) throw ScriptError(lineNo, "copy needs FROM and TO");
      step.arg = std::string(rest.substr(0, gap));
      step.arg2 = std::string(Trim(rest.substr(gap)));
      break;
    }
    case StepKind::Tune:
      if (step.number < 0 || step.number > 7999) {
        throw ScriptError(lineNo, "tune needs a position from 0 to 7999");
      }
      break;
    case StepKind::Rate:
      if (step.number < 1 || step.number > 1000000) {
        throw ScriptError(lineNo, "rate is 1 to 1000000 packets per second");
      }
      break;
    case StepKind::Wait:
    case StepKind::WaitScan:
    case StepKind::WaitTree:
      if (step.number < 0) throw ScriptError(lineNo, what + " needs a time in milliseconds");
      break;
    case StepKind::Repeat:
      if (step.number < 1 || step.number > 100000) {
        throw ScriptError(lineNo, "repeat needs a count from 1 to 100000");
      }
      break;
    case StepKind::Timer:
      if (step.number < 0 || step.number > 0xFFFF) {
        throw ScriptError(lineNo, "timer needs a timer id from 0 to 65535");
      }
      break;
    default:
      break;
  }
  return step;
}

struct KeyName {
  std::string_view name;
  uint8_t vk;
  bool extended;
};

constexpr KeyName kKeys[] = {
    {"enter", 0x0D, false},     {"return", 0x0D, false},   {"escape", 0x1B, false},
    {"esc", 0x1B, false},       {"tab", 0x09, false},      {"space", 0x20, false},
    {"backspace", 0x08, false}, {"left", 0x25, true},      {"up", 0x26, true},
    {"right", 0x27, true},      {"down", 0x28, true},      {"home", 0x24, true},
    {"end", 0x23, true},        {"pageup", 0x21, true},    {"pgup", 0x21, true},
    {"pagedown", 0x22, true},   {"pgdn", 0x22, true},      {"insert", 0x2D, true},
    {"ins", 0x2D, true},        {"delete", 0x2E, true},    {"del", 0x2E, true},
    {"apps", 0x5D, true},       {"multiply", 0x6A, false}, {"add", 0x6B, false},
    {"subtract", 0x6D, false},  {"divide", 0x6F, true},    {"plus", 0xBB, false},
    {"minus", 0xBD, false},
};

}  // namespace

KeyChord ParseKeyChord(std::string_view text) {
  KeyChord chord;
  std::string_view rest = Trim(text);
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string_view::npos || plus + 1 == rest.size()) break;
    const std::string modifier = Lower(rest.substr(0, plus));
    if (modifier == "ctrl" || modifier == "control") {
      chord.ctrl = true;
    } else if (modifier == "shift") {
      chord.shift = true;
    } else if (modifier == "alt") {
      chord.alt = true;
    } else {
      throw std::invalid_argument("unknown modifier \"" + modifier + "\"");
    }
    rest.remove_prefix(plus + 1);
  }
  const std::string key = Lower(rest);
  int64_t code = 0;
  if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0]))) {
    chord.vk = static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(key[0])));
  } else if (key.size() >= 2 && key.size() <= 3 && key[0] == 'f' &&
             ParseInt(std::string_view(key).substr(1), code) && code >= 1 && code <= 24) {
    chord.vk = static_cast<uint8_t>(0x70 + code - 1);
  } else if (key.rfind("vk=", 0) == 0 && ParseInt(std::string_view(key).substr(3), code) &&
             code > 0 && code < 256) {
    chord.vk = static_cast<uint8_t>(code);
  } else {
    const auto* k = std::find_if(std::begin(kKeys), std::end(kKeys),
                                 [&](const KeyName& n) { return n.name == key; });
    if (k == std::end(kKeys)) throw std::invalid_argument("unknown key \"" + key + "\"");
    chord.vk = k->vk;
    chord.extended = k->extended;
  }
  return chord;
}

std::vector<Step> ParseScript(std::string_view text) {
  // Open "repeat" blocks, innermost last; steps go into the innermost one.
  std::vector<Step> top;
  std::vector<Step> open;
  int lineNo = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trim(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNo;
    if (line.empty() || line[0] == '#') continue;
    if (line == "end") {
      if (open.empty()) throw ScriptError(lineNo, "\"end\" without \"repeat\"");
      Step block = std::move(open.back());
      open.pop_back();
      (open.empty() ? top : open.back().body).push_back(std::move(block));
      continue;
    }
    Step step = ParseStep(line, lineNo);
    if (step.kind == StepKind::Repeat) {
      open.push_back(std::move(step));
    } else {
      (open.empty() ? top : open.back().body).push_back(std::move(step));
    }
  }
  if (!open.empty()) throw ScriptError(open.back().line, "repeat without \"end\"");
  return top;
}

}  // namespace zp::viewer
