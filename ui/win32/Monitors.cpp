#include "ui/win32/Monitors.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zp {

namespace {

ScreenRect ScreenRectOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// The monitor's rectangles; with none to be had, one whose work area starts
// where the monitor does, which leaves coordinates as they are.
MonitorAreas AreasOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) return {};
  return {ScreenRectOf(info.rcMonitor), ScreenRectOf(info.rcWork)};
}

// Only a top-level window without WS_EX_TOOLWINDOW has its placement in workspace coordinates.
bool PlacedInWorkspace(HWND window) {
  return GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
         (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0;
}

// A window's edges, a right or bottom edge beyond 32 bits held at the limit.
RECT RectOf(const WindowGeometry& g) {
  const auto edge = [](int64_t value) {
    return static_cast<LONG>(std::clamp<int64_t>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
  };
  return {g.left, g.top, edge(int64_t{g.left} + g.width), edge(int64_t{g.top} + g.height)};
}

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

WindowGeometry RestoredBoundsOf(HWND window, const RECT& placementNormal) {
  const WindowGeometry placed{placementNormal.top, placementNormal.left,
                              placementNormal.bottom - placementNormal.top,
                              placementNormal.right - placementNormal.left};
  if (!PlacedInWorkspace(window)) return placed;
  // For a minimized window, the monitor of the place it comes back to.
  return WorkspaceToScreen(placed, AreasOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)));
}

RECT PlacementNormalOf(HWND window, const WindowGeometry& screenBounds) {
  if (!PlacedInWorkspace(window)) return RectOf(screenBounds);
  const RECT screen = RectOf(screenBounds);
  return RectOf(
      ScreenToWorkspace(screenBounds, AreasOf(MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST))));
}

std::vector<ScreenRect> DesktopWorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace zp
