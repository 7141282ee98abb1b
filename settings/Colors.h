#pragma once

#include <cstdint>
#include <string_view>

// Colour values as the settings file and the windows keep them: 0x00BBGGRR,
// or syscolor::kFlag plus the index of a system colour (as GetSysColor takes
// it), which follows the user's colour scheme.
namespace zp {

// A system colour by its index; syscolor::kWindow is clWindow, COLOR_WINDOW with the flag.
namespace syscolor {

inline constexpr uint32_t kFlag = 0xFF000000u;

constexpr int32_t Value(int index) {
  return static_cast<int32_t>(kFlag | static_cast<uint32_t>(index));
}
constexpr bool Is(int32_t color) { return (static_cast<uint32_t>(color) & kFlag) == kFlag; }
// The index of a value for which Is holds.
constexpr int IndexOf(int32_t color) { return static_cast<int>(color & 0xFF); }

// The system colours the module draws with, by their names in kColorNames.
inline constexpr int32_t kWindow = Value(5);
inline constexpr int32_t kWindowText = Value(8);
inline constexpr int32_t kBtnFace = Value(15);
inline constexpr int32_t kGrayText = Value(17);
inline constexpr int32_t kBtnText = Value(18);
inline constexpr int32_t kBtnHighlight = Value(20);

}  // namespace syscolor

// No colour, and the control's own colour: both leave the drawing to the control.
inline constexpr int32_t kColorNone = 0x1FFFFFFF;
inline constexpr int32_t kColorDefault = 0x20000000;

// The tree's background and the colour of its font until the settings say otherwise.
inline constexpr int32_t kDefaultTreeColor = syscolor::kWindow;
inline constexpr int32_t kDefaultFontColor = syscolor::kWindowText;

// The colour names of the settings file; a value without a name is written in hexadecimal.
inline constexpr int kColorNameCount = 52;
struct ColorName {
  const char* name;
  uint32_t value;
};
inline constexpr ColorName kColorNames[kColorNameCount] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clScrollBar", syscolor::kFlag + 0},
    {"clBackground", syscolor::kFlag + 1},
    {"clActiveCaption", syscolor::kFlag + 2},
    {"clInactiveCaption", syscolor::kFlag + 3},
    {"clMenu", syscolor::kFlag + 4},
    {"clWindow", syscolor::kFlag + 5},
    {"clWindowFrame", syscolor::kFlag + 6},
    {"clMenuText", syscolor::kFlag + 7},
    {"clWindowText", syscolor::kFlag + 8},
    {"clCaptionText", syscolor::kFlag + 9},
    {"clActiveBorder", syscolor::kFlag + 10},
    {"clInactiveBorder", syscolor::kFlag + 11},
    {"clAppWorkSpace", syscolor::kFlag + 12},
    {"clHighlight", syscolor::kFlag + 13},
    {"clHighlightText", syscolor::kFlag + 14},
    {"clBtnFace", syscolor::kFlag + 15},
    {"clBtnShadow", syscolor::kFlag + 16},
    {"clGrayText", syscolor::kFlag + 17},
    {"clBtnText", syscolor::kFlag + 18},
    {"clInactiveCaptionText", syscolor::kFlag + 19},
    {"clBtnHighlight", syscolor::kFlag + 20},
    {"cl3DDkShadow", syscolor::kFlag + 21},
    {"cl3DLight", syscolor::kFlag + 22},
    {"clInfoText", syscolor::kFlag + 23},
    {"clInfoBk", syscolor::kFlag + 24},
    {"clHotLight", syscolor::kFlag + 26},
    {"clGradientActiveCaption", syscolor::kFlag + 27},
    {"clGradientInactiveCaption", syscolor::kFlag + 28},
    {"clMenuHighlight", syscolor::kFlag + 29},
    {"clMenuBar", syscolor::kFlag + 30},
    {"clNone", kColorNone},
    {"clDefault", kColorDefault},
};

// The named system colours are the table's values.
static_assert([] {
  const auto named = [](int32_t color, std::string_view name) {
    for (const ColorName& entry : kColorNames) {
      if (entry.name == name) return static_cast<int32_t>(entry.value) == color;
    }
    return false;
  };
  return named(syscolor::kWindow, "clWindow") && named(syscolor::kWindowText, "clWindowText") &&
         named(syscolor::kBtnFace, "clBtnFace") && named(syscolor::kGrayText, "clGrayText") &&
         named(syscolor::kBtnText, "clBtnText") && named(syscolor::kBtnHighlight, "clBtnHighlight");
}());

}  // namespace zp
