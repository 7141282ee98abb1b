#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "feed/PacketCapture.h"
#include "support/Packets.h"
#include "ui/ErrorReport.h"
#include "ui/FormKeys.h"
#include "ui/NodeHint.h"
#include "ui/RescanTimer.h"
#include "ui/WindowPlacement.h"

namespace zp {
namespace {

TEST(FormKeys, PortalTogglesNeedCtrlWithAltOrShift) {
  for (uint32_t key : {'E', 'D', 'S'}) {
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {}));
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {true, false, false}));
    EXPECT_EQ(KeyAction::None, DecodeKey(key, {false, true, true}));
    EXPECT_NE(KeyAction::None, DecodeKey(key, {true, true, false}));
    EXPECT_EQ(DecodeKey(key, {true, true, false}), DecodeKey(key, {true, false, true}));
    EXPECT_EQ(DecodeKey(key, {true, true, false}), DecodeKey(key, {true, true, true}));
  }
  EXPECT_EQ(KeyAction::ToggleErotik, DecodeKey('E', {true, true, false}));
  EXPECT_EQ(KeyAction::ToggleDirekt, DecodeKey('D', {true, false, true}));
  EXPECT_EQ(KeyAction::ToggleSport, DecodeKey('S', {true, true, true}));
}

TEST(FormKeys, OtherRowsTakeAnyModifiers) {
  for (KeyModifiers m : {KeyModifiers{}, KeyModifiers{true, true, true}}) {
    EXPECT_EQ(KeyAction::Close, DecodeKey(vk::kEscape, m));
    EXPECT_EQ(KeyAction::SelectPrevious, DecodeKey(vk::kUp, m));
    EXPECT_EQ(KeyAction::SelectNext, DecodeKey(vk::kDown, m));
    EXPECT_EQ(KeyAction::Collapse, DecodeKey(vk::kLeft, m));
    EXPECT_EQ(KeyAction::Expand, DecodeKey(vk::kRight, m));
    EXPECT_EQ(KeyAction::Tune, DecodeKey(vk::kReturn, m));
    EXPECT_EQ(KeyAction::None, DecodeKey('e', m));   // VK codes of letters are capitals
    EXPECT_EQ(KeyAction::None, DecodeKey(0x6B, m));  // numeric +
  }
}

TEST(ErrorReport, ADotFollowsMessagesThatEndAfterDot) {
  EXPECT_EQ("In x kann nicht geschrieben werden.",
            ErrorBoxText("In x kann nicht geschrieben werden"));
  EXPECT_EQ("'abc' ist kein g\xFCltiger Integerwert.",
            ErrorBoxText("'abc' ist kein g\xFCltiger Integerwert"));
  EXPECT_EQ("Done.", ErrorBoxText("Done."));
  EXPECT_EQ("Stop!", ErrorBoxText("Stop!"));
  EXPECT_EQ("(1)", ErrorBoxText("(1)"));
  EXPECT_EQ("Gr\xFC\xDF.", ErrorBoxText("Gr\xFC\xDF"));  // bytes above 0x7F sort after "."
  EXPECT_EQ("", ErrorBoxText(""));

  ErrorQueue queue;
  queue.Add("A");
  queue.Add("B");
  queue.Add("A");
  EXPECT_EQ((std::vector<std::string>{"A.", "B."}), queue.Take());
  EXPECT_TRUE(queue.Empty());
}

TEST(RescanTimer, OnlyAChangeRestartsTheCountdown) {
  using Change = RescanTimer::Change;
  RescanTimer timer;
  EXPECT_EQ(Change::None, timer.Apply(60000, false));
  EXPECT_EQ(Change::Start, timer.Apply(60000, true));
  EXPECT_EQ(Change::None, timer.Apply(60000, true));  // every load sets it again
  EXPECT_EQ(Change::Start, timer.Apply(90000, true));
  EXPECT_EQ(Change::Stop, timer.Disable());
  EXPECT_EQ(Change::None, timer.Apply(30000, false));
  EXPECT_EQ(Change::Start, timer.Apply(30000, true));
  EXPECT_EQ(Change::Stop, timer.Apply(0, true));  // an interval of 0 never ticks
}

TEST(NodeHint, CapitalDSpaceAndDigitPickTheInformationText) {
  auto capture = std::make_unique<PacketCapture>();
  capture->Reset();
  const TsPacket three = test::InfoPacket('3', "Lola rennt");
  capture->OnPacket(three.data());

  EXPECT_EQ("Lola rennt", NodeHint("D 3 Kinohits", *capture));
  EXPECT_EQ("Lola rennt", NodeHint("D 3", *capture));
  EXPECT_EQ("", NodeHint("D 4 Kinohits", *capture));  // not received in this scan
  EXPECT_EQ("", NodeHint("D3 Kinohits", *capture));
  EXPECT_EQ("", NodeHint("d 3 Kinohits", *capture));
  EXPECT_EQ("", NodeHint("D x", *capture));
  EXPECT_EQ("", NodeHint("D ", *capture));
  EXPECT_EQ("", NodeHint("Sport 3", *capture));
}

// WindowGeometry is top, left, height, width; ScreenRect left, top, right, bottom.
bool Same(const WindowGeometry& a, const WindowGeometry& b) {
  return a.top == b.top && a.left == b.left && a.height == b.height && a.width == b.width;
}

TEST(WindowPlacement, AWindowPartlyOnAMonitorStaysWhereItWasSaved) {
  const std::vector<ScreenRect> screen = {{0, 0, 1024, 768}};
  for (const WindowGeometry saved :
       {WindowGeometry{40, 50, 400, 200}, WindowGeometry{700, -150, 400, 200},  // a corner shows
        WindowGeometry{100, 100, 0, 0}}) {
    EXPECT_TRUE(Same(saved, PlaceOnWorkAreas(saved, screen))) << saved.top << "," << saved.left;
  }
  EXPECT_TRUE(Same({3000, 5000, 400, 200}, PlaceOnWorkAreas({3000, 5000, 400, 200}, {})));
}

TEST(WindowPlacement, AWindowOnNoMonitorMovesOntoTheNearestWorkArea) {
  // A lower resolution than the saved position was made on, with a taskbar.
  const std::vector<ScreenRect> screen = {{0, 0, 1024, 738}};
  EXPECT_TRUE(Same({338, 824, 400, 200}, PlaceOnWorkAreas({3000, 5000, 400, 200}, screen)));
  EXPECT_TRUE(Same({100, 0, 400, 200}, PlaceOnWorkAreas({100, -900, 400, 200}, screen)));
  // On the monitor but wholly under the taskbar: no part in the work area.
  EXPECT_TRUE(Same({338, 30, 400, 200}, PlaceOnWorkAreas({740, 30, 400, 200}, screen)));
  // Larger than the work area: reduced to it.
  EXPECT_TRUE(Same({0, 0, 738, 1024}, PlaceOnWorkAreas({-5000, -5000, 2000, 1500}, screen)));

  // Two monitors side by side: the one nearer to the saved rectangle.
  const std::vector<ScreenRect> two = {{0, 0, 1024, 768}, {1024, -200, 2304, 824}};
  EXPECT_TRUE(Same({100, 2104, 400, 200}, PlaceOnWorkAreas({100, 3000, 400, 200}, two)));
  EXPECT_TRUE(Same({368, 0, 400, 200}, PlaceOnWorkAreas({900, -600, 400, 200}, two)));

  // Hand-edited extremes neither overflow nor leave the work area.
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  EXPECT_TRUE(Same({0, 0, 738, 1024}, PlaceOnWorkAreas({kMax, kMax, kMax, kMax}, screen)));
  EXPECT_TRUE(Same({0, 0, 500, 160}, PlaceOnWorkAreas({kMin, kMin, 500, 160}, screen)));
}

// Whether a user can grab the window: the caption's first kCaptionReach rows
// (its top edge and the title bar) lie on one work area, with kCaptionReach
// columns of them, or all of a narrower one. A size of 0 or less still shows
// at the system's smallest size, which is wider and taller than that.
bool CaptionReachable(const WindowGeometry& g, const std::vector<ScreenRect>& areas) {
  const int64_t width = std::max<int64_t>(g.width, kCaptionReach);
  for (const ScreenRect& a : areas) {
    const int64_t rows = std::min<int64_t>(kCaptionReach, int64_t{a.bottom} - a.top);
    const int64_t columns = std::min<int64_t>(kCaptionReach, int64_t{a.right} - a.left);
    const int64_t overlap =
        std::min<int64_t>(g.left + width, a.right) - std::max<int64_t>(g.left, a.left);
    if (g.top >= a.top && g.top + rows <= a.bottom && overlap >= columns) return true;
  }
  return false;
}

TEST(WindowPlacement, WhateverWasSavedTheCaptionComesBackOnAWorkArea) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const std::vector<std::vector<ScreenRect>> desktops = {
      {{0, 0, 1024, 768}},
      {{0, 30, 1024, 768}},                        // a taskbar at the top
      {{0, 0, 1024, 768}, {-1280, -200, 0, 824}},  // a second monitor at negative coordinates
      {{0, 0, 1024, 768}, {1024, 0, 1044, 20}},    // and one smaller than a caption
  };
  const int32_t sizes[] = {kMin, -1, 0, 1, 31, 200, 1024, 5000, kMax};
  const int32_t places[] = {kMin, -5000, -1300, -300, -31, 0, 500, 740, 1000, 1023, 5000, kMax};
  for (const auto& areas : desktops) {
    for (int32_t top : places) {
      for (int32_t left : places) {
        for (int32_t height : sizes) {
          for (int32_t width : sizes) {
            const WindowGeometry saved{top, left, height, width};
            const WindowGeometry placed = PlaceOnWorkAreas(saved, areas);
            SCOPED_TRACE(testing::Message()
                         << "top " << top << " left " << left << " height " << height << " width "
                         << width << " on " << areas.size() << " areas");
            ASSERT_TRUE(CaptionReachable(placed, areas))
                << "placed at " << placed.top << "," << placed.left;
            if (CaptionReachable(saved, areas)) {
              ASSERT_TRUE(Same(saved, placed));
            }
            ASSERT_LE(placed.width, width);  // reduced to fit, never grown
            ASSERT_LE(placed.height, height);
          }
        }
      }
    }
  }
}

TEST(WindowPlacement, ASizeOfZeroOrLessIsPlacedAsAWindowOfTheSmallestSize) {
  const std::vector<ScreenRect> screen = {{0, 0, 1024, 768}};
  EXPECT_TRUE(Same({736, 992, 0, 0}, PlaceOnWorkAreas({5000, 5000, 0, 0}, screen)));
  EXPECT_TRUE(Same({0, 0, -8, -8}, PlaceOnWorkAreas({-5000, -5000, -8, -8}, screen)));
  // A caption above the screen cannot be grabbed, though the rest shows.
  EXPECT_TRUE(Same({0, 824, 400, 200}, PlaceOnWorkAreas({-300, 900, 400, 200}, screen)));
}

// Workspace coordinates, as Windows reports a window's placement: screen
// coordinates less the offset of the work area within the monitor the window is on.
TEST(WindowPlacement, WorkspaceCoordinatesStartAtTheWorkAreaOfTheWindowsMonitor) {
  struct Case {
    const char* desktop;
    MonitorAreas monitor;
    WindowGeometry screen, workspace;
  };
  const Case cases[] = {
      {"30 px taskbar at the top",
       {{0, 0, 1024, 768}, {0, 30, 1024, 768}},
       {100, 100, 400, 200},
       {70, 100, 400, 200}},
      {"60 px taskbar at the left",
       {{0, 0, 1024, 768}, {60, 0, 1024, 768}},
       {100, 100, 400, 200},
       {100, 40, 400, 200}},
      {"taskbar at the bottom",
       {{0, 0, 1024, 768}, {0, 0, 1024, 738}},
       {100, 100, 400, 200},
       {100, 100, 400, 200}},
      {"second monitor at negative coordinates, its taskbar at its left",
       {{-1280, -200, 0, 824}, {-1220, -200, 0, 824}},
       {-100, -1000, 400, 200},
       {-100, -1060, 400, 200}},
      {"second monitor above, its taskbar at its top",
       {{0, -1024, 1280, 0}, {0, -984, 1280, 0}},
       {-900, 300, 400, 200},
       {-940, 300, 400, 200}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.desktop);
    const PlacementShift shift = WorkspaceShift(c.monitor);
    EXPECT_TRUE(Same(c.screen, PlacementToScreen(c.workspace, shift)));
    EXPECT_TRUE(Same(c.workspace, ScreenToPlacement(c.screen, shift)));
  }
  // Hand-edited extremes stop at the 32-bit limits instead of wrapping round.
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  const PlacementShift topLeftBars = WorkspaceShift({{0, 0, 1024, 768}, {60, 30, 1024, 768}});
  EXPECT_TRUE(Same({kMax, kMax, 5, 6}, PlacementToScreen({kMax, kMax, 5, 6}, topLeftBars)));
  EXPECT_TRUE(Same({kMin, kMin, 5, 6}, ScreenToPlacement({kMin, kMin, 5, 6}, topLeftBars)));
}

// A window closed while minimized: the system holds its restored place in
// screen coordinates and reports it in workspace coordinates; what the module
// saves must bring it back to that very place, whether it is shown again
// normally (screen coordinates, through the placement check) or still
// minimized (handed back in workspace coordinates).
TEST(WindowPlacement, AWindowClosedWhileMinimizedComesBackWhereItWas) {
  struct Monitor {
    MonitorAreas areas;
    bool Holds(const WindowGeometry& g) const {
      return g.left >= areas.monitor.left && g.left < areas.monitor.right &&
             g.top >= areas.monitor.top && g.top < areas.monitor.bottom;
    }
  };
  const std::vector<std::vector<Monitor>> desktops = {
      {{{{0, 0, 1024, 768}, {0, 30, 1024, 768}}}},
      {{{{0, 0, 1024, 768}, {60, 0, 1024, 768}}}},
      {{{{0, 0, 1024, 768}, {0, 0, 1024, 738}}}, {{{-1280, -200, 0, 824}, {-1220, -170, 0, 824}}}},
  };
  const WindowGeometry windows[] = {{100, 100, 400, 200},
                                    {30, 60, 500, 160},
                                    {300, 800, 400, 200},
                                    {-150, -1200, 672, 228},
                                    {0, -300, 500, 160}};
  for (const auto& desktop : desktops) {
    std::vector<ScreenRect> workAreas;
    for (const Monitor& m : desktop) workAreas.push_back(m.areas.work);
    for (const WindowGeometry& where : windows) {
      const auto on = std::find_if(desktop.begin(), desktop.end(),
                                   [&](const Monitor& m) { return m.Holds(where); });
      if (on == desktop.end()) continue;
      const MonitorAreas& monitor = on->areas;
      const int32_t dx = monitor.work.left - monitor.monitor.left;
      const int32_t dy = monitor.work.top - monitor.monitor.top;
      SCOPED_TRACE(testing::Message() << "window at " << where.top << "," << where.left
                                      << ", work area offset " << dx << "," << dy);
      const WindowGeometry reported{where.top - dy, where.left - dx, where.height, where.width};

      const WindowGeometry saved = PlacementToScreen(reported, WorkspaceShift(monitor));
      EXPECT_TRUE(Same(where, saved)) << "saved " << saved.top << "," << saved.left;
      EXPECT_TRUE(Same(where, PlaceOnWorkAreas(saved, workAreas)));
      const WindowGeometry handedBack = ScreenToPlacement(saved, WorkspaceShift(monitor));
      EXPECT_TRUE(Same(reported, handedBack));
    }
  }
}

}  // namespace
}  // namespace zp
