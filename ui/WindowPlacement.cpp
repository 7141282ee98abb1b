#include "ui/WindowPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace zp {

namespace {

// 64-bit edges: a hand-edited Left near the 32-bit limit plus its width must not overflow.
struct Edges {
  int64_t left, top, right, bottom;
};

// A size of 0 or less, or one too small for a caption, still shows: the system
// gives the window its smallest size, which is larger than kCaptionReach.
int64_t ShownSize(int32_t size) { return std::max(size, kCaptionReach); }

Edges EdgesOf(const WindowGeometry& g) {
  return {g.left, g.top, g.left + ShownSize(g.width), g.top + ShownSize(g.height)};
}

Edges EdgesOf(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The user can grab the window by its caption there: its top edge lies on the
// area with a caption's height below it, and kCaptionReach columns of the
// caption (or the area's width, on a tiny one) lie on it too.
bool CaptionOn(const Edges& window, const Edges& area) {
  const int64_t rows = std::min<int64_t>(kCaptionReach, area.bottom - area.top);
  const int64_t columns = std::min<int64_t>(kCaptionReach, area.right - area.left);
  const int64_t overlap = std::min(window.right, area.right) - std::max(window.left, area.left);
  return window.top >= area.top && window.top + rows <= area.bottom && overlap >= columns;
}

// The gap between two rectangles, 0 along an axis on which they overlap.
double Distance(const Edges& a, const Edges& b) {
  const int64_t dx = std::max({int64_t{0}, b.left - a.right, a.left - b.right});
  const int64_t dy = std::max({int64_t{0}, b.top - a.bottom, a.top - b.bottom});
  return std::hypot(static_cast<double>(dx), static_cast<double>(dy));
}

// The start of a span of `size` within [low, high), as close to `start` as fits.
int32_t Fit(int32_t start, int64_t size, int64_t low, int64_t high) {
  const int64_t last = std::max(low, high - size);
  return static_cast<int32_t>(std::clamp<int64_t>(start, low, last));
}

// A size no larger than the room, which is below 2^32 and so may exceed int32.
int32_t Reduce(int32_t size, int64_t room) {
  return static_cast<int32_t>(std::min<int64_t>(size, room));
}

// The position moved by (dx, dy), held to 32 bits.
WindowGeometry Shifted(const WindowGeometry& g, int64_t dx, int64_t dy) {
  constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
  constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
  WindowGeometry moved = g;
  moved.left = static_cast<int32_t>(std::clamp<int64_t>(g.left + dx, kLow, kHigh));
  moved.top = static_cast<int32_t>(std::clamp<int64_t>(g.top + dy, kLow, kHigh));
  return moved;
}

}  // namespace

PlacementShift WorkspaceShift(const MonitorAreas& monitor) {
  const auto offset = [](int32_t work, int32_t whole) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{work} - whole,
                                                    std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
  };
  return {offset(monitor.work.left, monitor.monitor.left),
          offset(monitor.work.top, monitor.monitor.top)};
}

WindowGeometry PlacementToScreen(const WindowGeometry& placed, PlacementShift shift) {
  return Shifted(placed, shift.dx, shift.dy);
}

WindowGeometry ScreenToPlacement(const WindowGeometry& screen, PlacementShift shift) {
  return Shifted(screen, -int64_t{shift.dx}, -int64_t{shift.dy});
}

WindowGeometry PlaceOnWorkAreas(const WindowGeometry& saved,
                                const std::vector<ScreenRect>& workAreas) {
  const Edges window = EdgesOf(saved);
  std::optional<Edges> nearest;
  double nearestDistance = std::numeric_limits<double>::infinity();
  for (const ScreenRect& area : workAreas) {
    const Edges edges = EdgesOf(area);
    if (edges.left >= edges.right || edges.top >= edges.bottom) continue;  // no room at all
    if (CaptionOn(window, edges)) return saved;
    const double distance = Distance(window, edges);
    if (distance < nearestDistance) {
      nearestDistance = distance;
      nearest = edges;
    }
  }
  if (!nearest) return saved;

  WindowGeometry placed = saved;
  placed.width = Reduce(saved.width, nearest->right - nearest->left);
  placed.height = Reduce(saved.height, nearest->bottom - nearest->top);
  placed.left = Fit(saved.left, std::min(ShownSize(placed.width), nearest->right - nearest->left),
                    nearest->left, nearest->right);
  placed.top = Fit(saved.top, std::min(ShownSize(placed.height), nearest->bottom - nearest->top),
                   nearest->top, nearest->bottom);
  return placed;
}

}  // namespace zp
