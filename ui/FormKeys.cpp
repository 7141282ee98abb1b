#include "ui/FormKeys.h"

namespace zp {

KeyAction DecodeKey(uint32_t key, KeyModifiers modifiers) {
  const bool toggleChord = modifiers.ctrl && (modifiers.alt || modifiers.shift);
  switch (key) {
    case vk::kEscape:
      return KeyAction::Close;
    case 'E':
      return toggleChord ? KeyAction::ToggleErotik : KeyAction::None;
    case 'D':
      return toggleChord ? KeyAction::ToggleDirekt : KeyAction::None;
    case 'S':
      return toggleChord ? KeyAction::ToggleSport : KeyAction::None;
    case vk::kUp:
      return KeyAction::SelectPrevious;
    case vk::kDown:
      return KeyAction::SelectNext;
    case vk::kLeft:
      return KeyAction::Collapse;
    case vk::kRight:
      return KeyAction::Expand;
    case vk::kReturn:
      return KeyAction::Tune;
    default:
      return KeyAction::None;
  }
}

}  // namespace zp
