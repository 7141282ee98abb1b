#pragma once

#include <cstdint>

#include "feed/Portals.h"

namespace zp {

// Virtual-key codes of the keys the main window acts on (the Win32 VK_* values).
namespace vk {
inline constexpr uint32_t kReturn = 0x0D;
inline constexpr uint32_t kEscape = 0x1B;
inline constexpr uint32_t kLeft = 0x25;
inline constexpr uint32_t kUp = 0x26;
inline constexpr uint32_t kRight = 0x27;
inline constexpr uint32_t kDown = 0x28;
inline constexpr uint32_t kF2 = 0x71;
}  // namespace vk

enum class KeyAction {
  None,
  Close,
  ToggleDirekt,  // the three toggles in ListKind order
  ToggleSport,
  ToggleErotik,
  SelectPrevious,
  SelectNext,
  Collapse,
  Expand,
  Tune,
  EditGroups,  // the group editor, on the selected group
};

struct KeyModifiers {
  bool ctrl = false, alt = false, shift = false;
};

// The key table of the main window, first matching row wins. The portal
// toggles need Ctrl together with Alt, Shift or both; every other row takes
// any modifiers. Whatever the result, the window consumes the key.
KeyAction DecodeKey(uint32_t key, KeyModifiers modifiers);

constexpr KeyAction ToggleOf(ListKind kind) {
  return static_cast<KeyAction>(static_cast<size_t>(KeyAction::ToggleDirekt) + Index(kind));
}
// The portal a toggle action shows or hides; only for the three toggles.
constexpr ListKind ToggledPortal(KeyAction toggle) {
  return static_cast<ListKind>(static_cast<int>(toggle) -
                               static_cast<int>(KeyAction::ToggleDirekt));
}
static_assert(ToggleOf(ListKind::Sport) == KeyAction::ToggleSport &&
              ToggleOf(ListKind::Erotik) == KeyAction::ToggleErotik);

}  // namespace zp
