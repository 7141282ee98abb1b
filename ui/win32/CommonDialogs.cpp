#include "ui/win32/CommonDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "feed/PacketCapture.h"
#include "ui/win32/Colors.h"
#include "ui/win32/Fonts.h"

namespace zp {

namespace {

constexpr DWORD kFileNameCapacity = 4096;

}  // namespace

void Win32ErrorBox::ShowError(const std::string& text, const std::string& title) {
  MessageBoxA(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

std::optional<std::string> SaveDialog::Execute(HWND owner) {
  std::vector<char> buffer(kFileNameCapacity, '\0');
  std::memcpy(buffer.data(), fileName_.data(),
              std::min<size_t>(fileName_.size(), kFileNameCapacity - 1));

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kFileNameCapacity;
  // Without OFN_NOCHANGEDIR the dialog would move the viewer's current folder.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  fileName_ = buffer.data();
  return fileName_;
}

FontDialog::FontDialog() : logFont_(DesignLogFont()), color_(kClWindowText) {}

std::optional<FontSpec> FontDialog::Execute(HWND owner) {
  LOGFONTA logFont = logFont_;
  CHOOSEFONTA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpLogFont = &logFont;
  dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  dialog.rgbColors = ColorRefFromValue(color_);
  if (!ChooseFontA(&dialog)) return std::nullopt;
  logFont_ = logFont;
  color_ = static_cast<int32_t>(dialog.rgbColors);
  return FontSpecFromLogFont(logFont_, color_);
}

ColorDialog::ColorDialog() { customColors_.fill(RGB(255, 255, 255)); }

std::optional<int32_t> ColorDialog::Execute(HWND owner) {
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.rgbResult = ColorRefFromValue(color_);
  dialog.lpCustColors = customColors_.data();
  dialog.Flags = CC_RGBINIT;
  if (!ChooseColorA(&dialog)) return std::nullopt;
  color_ = static_cast<int32_t>(dialog.rgbResult & 0x00FFFFFF);
  return color_;
}

void SaveCaptureBuffers(HWND owner, SaveDialog& dialog, const PacketCapture& capture) {
  const auto name = dialog.Execute(owner);
  if (!name) return;
  Win32ErrorBox errors(owner);
  DumpCaptureBuffers(TrimFileName(*name), capture, errors);
}

}  // namespace zp
