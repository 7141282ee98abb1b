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

// How far, down and across, a window's caption must lie on a work area for the
// user to grab it: a title bar's height and a little more.
inline constexpr int32_t kCaptionReach = 32;

// Where the saved window geometry is applied. A window whose caption the user
// can grab on a monitor's work area goes exactly where it was saved. Any other
// (a monitor unplugged, a lower resolution, a hand-edited size of 0 or less)
// would open where nobody can see or reach it: it goes wholly onto the nearest
// work area instead, moved no further than needed, its size reduced to fit
// when larger. No work areas: as saved.
WindowGeometry PlaceOnWorkAreas(const WindowGeometry& saved,
                                const std::vector<ScreenRect>& workAreas);

}  // namespace zp
