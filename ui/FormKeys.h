#pragma once

#include <cstdint>

namespace zp {

// Virtual-key codes of the keys the main window acts on (the Win32 VK_* values).
namespace vk {
inline constexpr uint32_t kReturn = 0x0D;
inline constexpr uint32_t kEscape = 0x1B;
inline constexpr uint32_t kLeft = 0x25;
inline constexpr uint32_t kUp = 0x26;
inline constexpr uint32_t kRight = 0x27;
inline constexpr uint32_t kDown = 0x28;
}  // namespace vk

enum class KeyAction {
  None,
  Close,
  ToggleDirekt,
  ToggleSport,
  ToggleErotik,
  SelectPrevious,
  SelectNext,
  Collapse,
  Expand,
  Tune,
};

struct KeyModifiers {
  bool ctrl = false, alt = false, shift = false;
};

// The key table of the main window, first matching row wins. The portal
// toggles need Ctrl together with Alt, Shift or both; every other row takes
// any modifiers. Whatever the result, the window consumes the key.
KeyAction DecodeKey(uint32_t key, KeyModifiers modifiers);

}  // namespace zp
