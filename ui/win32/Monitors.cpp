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

// The shift of placement coordinates on the monitor, as the platform applies
// it: asked of a hidden window there, since Windows shifts by the work area's
// offset and Wine does not shift at all. The documented shift when no such
// window can be made; none for a tool window, whose placement is in screen
// coordinates everywhere.
PlacementShift ShiftFor(HWND window, HMONITOR monitor) {
  if ((GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return {};
  const MonitorAreas areas = AreasOf(monitor);
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, areas.work.left, areas.work.top, 1, 1,
                               nullptr, nullptr, nullptr, nullptr);
  if (probe == nullptr) return WorkspaceShift(areas);
  RECT bounds{};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  const bool known = GetWindowRect(probe, &bounds) && GetWindowPlacement(probe, &placement);
  DestroyWindow(probe);
  if (!known) return WorkspaceShift(areas);
  return {bounds.left - placement.rcNormalPosition.left,
          bounds.top - placement.rcNormalPosition.top};
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
  // For a minimized window, the monitor of the place it comes back to.
  return PlacementToScreen(placed,
                           ShiftFor(window, MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)));
}

RECT PlacementNormalOf(HWND window, const WindowGeometry& screenBounds) {
  const RECT screen = RectOf(screenBounds);
  return RectOf(ScreenToPlacement(
      screenBounds, ShiftFor(window, MonitorFromRect(&screen, MONITOR_DEFAULTTONEAREST))));
}

std::vector<ScreenRect> DesktopWorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

}  // namespace zp
