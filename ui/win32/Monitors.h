#pragma once

#include <vector>

#include "ui/WindowPlacement.h"

namespace zp {

// The work area of every monitor of the desktop, as the system reports them;
// empty when they cannot be listed (the window is then placed as saved).
std::vector<ScreenRect> DesktopWorkAreas();

}  // namespace zp
