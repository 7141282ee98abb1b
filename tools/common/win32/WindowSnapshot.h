#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The tools' one window snapshot: what the screen shows of a window, frame
// included, as the viewer's BMP files and the gallery's PNG files store it.
namespace zp::tools {

class WindowSnapshot {
 public:
  // Nothing when the window has no area on the screen or GDI fails.
  static std::optional<WindowSnapshot> Take(HWND window);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Row y from the top: B, G, R per pixel.
  const uint8_t* Row(int y) const {
    return bits_.data() + static_cast<size_t>(height_ - 1 - y) * Stride();
  }
  // Rows are four-byte aligned and stored bottom-up, as a 24-bit BMP holds them.
  size_t Stride() const { return (static_cast<size_t>(width_) * 3 + 3) & ~size_t{3}; }
  const std::vector<uint8_t>& Bits() const { return bits_; }

 private:
  WindowSnapshot(int width, int height, std::vector<uint8_t> bits)
      : width_(width), height_(height), bits_(std::move(bits)) {}

  int width_;
  int height_;
  std::vector<uint8_t> bits_;
};

// Writes the snapshot as a 24-bit BMP file; false when the file cannot be written.
bool SaveBmp(const WindowSnapshot& snapshot, const std::string& path);

}  // namespace zp::tools
