#include "ui/FormKeys.h"

namespace zp {

KeyAction DecodeKey(uint32_t key, KeyModifiers modifiers) {
  const bool toggleChord = modifiers.ctrl && (modifiers.alt || modifiers.shift);
  for (const Portal& portal : kPortals) {
    if (key == static_cast<uint8_t>(portal.toggleKey)) {
      return toggleChord ? ToggleOf(portal.kind) : KeyAction::None;
    }
  }
  switch (key) {
    case vk::kEscape:
      return KeyAction::Close;
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
    case vk::kF2:
      return KeyAction::EditGroups;
    default:
      return KeyAction::None;
  }
}

}  // namespace zp
