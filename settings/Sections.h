#pragma once

// The settings file's fixed sections and the keys that the settings and the
// group editor both read, named once. The [Zanterpoint] keys live beside their
// reading and writing in Settings.cpp; only the settings touch them.
namespace zp {

inline constexpr const char* kViewSection = "View";
inline constexpr const char* kMainSection = "Zanterpoint";
inline constexpr const char* kCollapseSection = "Collapse";

// [View]: the tree's roots in order, portals and group sections.
inline constexpr const char* kListsKey = "Lists";

// A group section.
inline constexpr const char* kTitleKey = "Title";
inline constexpr const char* kNodeSidKey = "NodeSID";
inline constexpr const char* kListKey = "List";

}  // namespace zp
