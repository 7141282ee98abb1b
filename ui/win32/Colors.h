#pragma once

#include <windows.h>

#include <cstdint>

namespace zp {

// Colour values as the settings hold them: 0x00BBGGRR, or kSystemColorFlag + i
// for system colour i; clNone and clDefault leave the colour to the system.
inline constexpr int32_t kSystemColorFlag = static_cast<int32_t>(0xFF000000);
inline constexpr int32_t kClNone = 0x1FFFFFFF, kClDefault = 0x20000000;
inline constexpr int32_t kClWindow = kSystemColorFlag | COLOR_WINDOW;
inline constexpr int32_t kClWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;

// A colour value as the colour the system draws with.
COLORREF ColorRefFromValue(int32_t color);
// The colour a common control should draw with: "none", "default" and values
// that are neither a colour nor a system colour leave it to the control.
COLORREF ControlColor(int32_t color);

}  // namespace zp
