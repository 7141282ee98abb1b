#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/Colors.h"

namespace zp {

// A colour value of the settings as the colour the system draws with.
COLORREF ColorRefFromValue(int32_t color);
// The colour a common control should draw with: "none", "default" and values
// that are neither a colour nor a system colour leave it to the control.
COLORREF ControlColor(int32_t color);

}  // namespace zp
