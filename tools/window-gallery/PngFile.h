#pragma once

#include <windows.h>

#include <string>

namespace zp::gallery {

// Saves what the screen shows of the window, frame included, as a PNG file.
bool SaveWindowPng(HWND window, const std::string& path);

}  // namespace zp::gallery
