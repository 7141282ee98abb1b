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

Edges EdgesOf(const WindowGeometry& g) {
  // A window without width or height still has its corner somewhere.
  return {g.left, g.top, int64_t{g.left} + std::max(g.width, 1),
          int64_t{g.top} + std::max(g.height, 1)};
}

Edges EdgesOf(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool Intersect(const Edges& a, const Edges& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The gap between two rectangles, 0 along an axis on which they overlap.
double Distance(const Edges& a, const Edges& b) {
  const int64_t dx = std::max({int64_t{0}, b.left - a.right, a.left - b.right});
  const int64_t dy = std::max({int64_t{0}, b.top - a.bottom, a.top - b.bottom});
  return std::hypot(static_cast<double>(dx), static_cast<double>(dy));
}

// The start of a span of `size` within [low, high), as close to `start` as fits.
int32_t Fit(int32_t start, int32_t size, int64_t low, int64_t high) {
  const int64_t last = std::max(low, high - std::max(size, 0));
  return static_cast<int32_t>(std::clamp<int64_t>(start, low, last));
}

// A size no larger than the room, which is below 2^32 and so may exceed int32.
int32_t Reduce(int32_t size, int64_t room) {
  return static_cast<int32_t>(std::min<int64_t>(size, room));
}

}  // namespace

WindowGeometry PlaceOnWorkAreas(const WindowGeometry& saved,
                                const std::vector<ScreenRect>& workAreas) {
  const Edges window = EdgesOf(saved);
  std::optional<Edges> nearest;
  double nearestDistance = std::numeric_limits<double>::infinity();
  for (const ScreenRect& area : workAreas) {
    const Edges edges = EdgesOf(area);
    if (edges.left >= edges.right || edges.top >= edges.bottom) continue;  // no room at all
    if (Intersect(window, edges)) return saved;
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
  placed.left = Fit(saved.left, placed.width, nearest->left, nearest->right);
  placed.top = Fit(saved.top, placed.height, nearest->top, nearest->bottom);
  return placed;
}

}  // namespace zp
