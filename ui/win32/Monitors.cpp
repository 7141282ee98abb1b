#include "ui/win32/Monitors.h"

#include <windows.h>

namespace zp {

namespace {

// Collects the work area of each monitor EnumDisplayMonitors reports.
BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  const RECT& area = info.rcWork;
  auto& areas = *reinterpret_cast<std::vector<ScreenRect>*>(list);
  try {
    areas.push_back({area.left, area.top, area.right, area.bottom});
  } catch (...) {
    // Out of memory: no list rather than one that leaves out the window's monitor.
    areas.clear();
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::vector<ScreenRect> DesktopWorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace zp
