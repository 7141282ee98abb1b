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

// A monitor as the system describes it: its whole rectangle and its work area
// (the rectangle less the taskbar and other docked bars), in screen coordinates.
struct MonitorAreas {
  ScreenRect monitor, work;
};

// How far the coordinates of a window's placement (where a minimized or
// maximized window comes back to) lie from screen coordinates on one monitor.
struct PlacementShift {
  int32_t dx = 0, dy = 0;
};

// Windows gives the placement of a window that is not a tool window in
// workspace coordinates, which start at the work area of the window's monitor:
// with a taskbar at the top or the left, the same place reads higher or further
// left by the taskbar's size. (Wine gives screen coordinates: no shift.)
PlacementShift WorkspaceShift(const MonitorAreas& monitor);

// The settings file holds screen coordinates, whatever the window's state.
// Only the position moves; a result beyond 32 bits stops at the limit.
WindowGeometry PlacementToScreen(const WindowGeometry& placed, PlacementShift shift);
WindowGeometry ScreenToPlacement(const WindowGeometry& screen, PlacementShift shift);

}  // namespace zp
