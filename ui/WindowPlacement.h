#pragma once

#include <cstdint>
#include <vector>

#include "settings/Settings.h"

namespace zp {

// A rectangle in screen coordinates, right and bottom exclusive, as a
// monitor's work area is given.
struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Where the saved window geometry is applied. A window any part of which lies
// on a monitor's work area goes exactly where it was saved. One on none of them
// (a monitor unplugged, a lower resolution) would open where nobody can see or
// reach it: it goes onto the nearest work area instead, moved no further than
// needed, its size reduced to fit when larger. No work areas: as saved.
WindowGeometry PlaceOnWorkAreas(const WindowGeometry& saved,
                                const std::vector<ScreenRect>& workAreas);

}  // namespace zp
