#include "ui/win32/Colors.h"

#include <commctrl.h>

namespace zp {

COLORREF ColorRefFromValue(int32_t color) {
  if ((color & kSystemColorFlag) == kSystemColorFlag) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

COLORREF ControlColor(int32_t color) {
  if (color == kClNone || color == kClDefault) return CLR_DEFAULT;
  if ((color & kSystemColorFlag) != kSystemColorFlag && (color & 0xFF000000) != 0) {
    return CLR_DEFAULT;
  }
  return ColorRefFromValue(color);
}

}  // namespace zp
