#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "feed/CaptureDump.h"
#include "settings/Settings.h"

namespace zp {

class PacketCapture;

// Error boxes of the dump, owned by the given window.
class Win32ErrorBox final : public ErrorBox {
 public:
  explicit Win32ErrorBox(HWND owner) : owner_(owner) {}
  void ShowError(const std::string& text, const std::string& title) override;

 private:
  HWND owner_;
};

// SaveDialog1: offers "C:\zpOut.ts" the first time and the name last confirmed
// afterwards. No file-type filter, no default extension, no question before an
// existing file is replaced; the process's current folder is left alone.
class SaveDialog {
 public:
  // The confirmed file name, or nothing when the user cancels.
  std::optional<std::string> Execute(HWND owner);
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_ = kDefaultDumpFileName;
};

// FontDialog1: opens with the font last confirmed in it, at first the design
// font in clWindowText; not with the tree's current font.
class FontDialog {
 public:
  FontDialog();
  // The chosen font, or nothing when the user cancels.
  std::optional<FontSpec> Execute(HWND owner);

 private:
  LOGFONTA logFont_;
  int32_t color_;
};

// ColorDialog1: opens with the colour last confirmed in it, at first black;
// the custom colours are kept between runs.
class ColorDialog {
 public:
  ColorDialog();
  // The chosen colour as 0x00BBGGRR, or nothing when the user cancels.
  std::optional<int32_t> Execute(HWND owner);

 private:
  int32_t color_ = 0;
  std::array<COLORREF, 16> customColors_;
};

// The body of the main window's SaveButtonClick: runs the dialog and, when the
// user confirms, dumps both capture buffers under the trimmed name. A file that
// cannot be created is reported in an error box owned by `owner`; a write error
// after creation throws CaptureDumpError for the window's error box.
void SaveCaptureBuffers(HWND owner, SaveDialog& dialog, const PacketCapture& capture);

}  // namespace zp
