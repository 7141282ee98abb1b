#include "tools/common/win32/WindowSnapshot.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace zp::tools {

namespace {

// The screen's device context, released when the snapshot is taken.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

struct MemoryDcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

BITMAPINFOHEADER Header(int width, int height, size_t stride) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as BMP files store rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(height);
  return header;
}

}  // namespace

std::optional<WindowSnapshot> WindowSnapshot::Take(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return std::nullopt;
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return std::nullopt;

  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  BITMAPINFOHEADER header = Header(width, height, stride);
  ScreenDc screen;
  std::unique_ptr<HDC__, MemoryDcDeleter> memory(CreateCompatibleDC(screen.Get()));
  void* bits = nullptr;
  std::unique_ptr<HBITMAP__, BitmapDeleter> bitmap(CreateDIBSection(
      screen.Get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (screen.Get() == nullptr || !memory || !bitmap || bits == nullptr) return std::nullopt;
  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  const bool copied =
      BitBlt(memory.get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY) != FALSE;
  SelectObject(memory.get(), previous);
  GdiFlush();
  if (!copied) return std::nullopt;
  std::vector<uint8_t> pixels(header.biSizeImage);
  std::memcpy(pixels.data(), bits, pixels.size());
  return WindowSnapshot(width, height, std::move(pixels));
}

bool SaveBmp(const WindowSnapshot& snapshot, const std::string& path) {
  const BITMAPINFOHEADER header = Header(snapshot.Width(), snapshot.Height(), snapshot.Stride());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::unique_ptr<std::FILE, FileCloser> out(std::fopen(path.c_str(), "wb"));
  if (!out) return false;
  const bool written =
      std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
      std::fwrite(&header, sizeof header, 1, out.get()) == 1 &&
      std::fwrite(snapshot.Bits().data(), snapshot.Bits().size(), 1, out.get()) == 1;
  return std::fclose(out.release()) == 0 && written;
}

}  // namespace zp::tools
