#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>

#include "settings/Settings.h"

namespace zp {

// FontDialog1: opens with the font last confirmed in it, at first the design
// font in clWindowText; not with the tree's current font.
class FontDialog {
 public:
  FontDialog();
  // The chosen font, or nothing when the user cancels.
  std::optional<FontSpec> Execute(HWND owner);

 private:
  LOGFONTA logFont_;
  int32_t color_;
};

// ColorDialog1: opens with the colour last confirmed in it, at first black;
// the custom colours are kept between runs.
class ColorDialog {
 public:
  ColorDialog();
  // The chosen colour as 0x00BBGGRR, or nothing when the user cancels.
  std::optional<int32_t> Execute(HWND owner);

 private:
  int32_t color_ = 0;
  std::array<COLORREF, 16> customColors_;
};

}  // namespace zp
