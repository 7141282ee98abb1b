#include "ui/win32/Colors.h"

#include <commctrl.h>

namespace zp {

COLORREF ColorRefFromValue(int32_t color) {
  if (syscolor::Is(color)) return GetSysColor(syscolor::IndexOf(color));
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

COLORREF ControlColor(int32_t color) {
  if (color == kColorNone || color == kColorDefault) return CLR_DEFAULT;
  // The top byte of a plain colour is 0; anything else but the system flag is no colour.
  if (!syscolor::Is(color) && (static_cast<uint32_t>(color) >> 24) != 0) return CLR_DEFAULT;
  return ColorRefFromValue(color);
}

}  // namespace zp
