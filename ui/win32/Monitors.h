#pragma once

#include <windows.h>

#include <vector>

#include "ui/WindowPlacement.h"

namespace zp {

// The work area of every monitor of the desktop, as the system reports them;
// empty when they cannot be listed (the window is then placed as saved).
std::vector<ScreenRect> DesktopWorkAreas();

// The window's restored place in screen coordinates, from the placement the
// system keeps for it, and back. The shift between the two is the platform's
// own for the monitor the window is on, or would be on in that place.
WindowGeometry RestoredBoundsOf(HWND window, const RECT& placementNormal);
RECT PlacementNormalOf(HWND window, const WindowGeometry& screenBounds);

}  // namespace zp
