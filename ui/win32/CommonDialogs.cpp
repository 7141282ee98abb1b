#include "ui/win32/CommonDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "feed/PacketCapture.h"

namespace zp {

namespace {

constexpr char kDesignFontName[] = "MS Sans Serif";
constexpr LONG kDesignFontHeight = -11;
constexpr int32_t kSystemColorFlag = static_cast<int32_t>(0xFF000000);
constexpr int32_t kClWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
constexpr DWORD kFileNameCapacity = 4096;

void SetFaceName(LOGFONTA& logFont, const std::string& name) {
  const size_t length = std::min(name.size(), sizeof logFont.lfFaceName - 1);
  std::memcpy(logFont.lfFaceName, name.data(), length);
  logFont.lfFaceName[length] = '\0';
}

}  // namespace

LOGFONTA DesignLogFont() {
  LOGFONTA logFont{};
  logFont.lfHeight = kDesignFontHeight;
  logFont.lfWeight = FW_NORMAL;
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH;
  SetFaceName(logFont, kDesignFontName);
  return logFont;
}

HFONT CreateDesignFont() {
  const LOGFONTA logFont = DesignLogFont();
  return CreateFontIndirectA(&logFont);
}

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int pixels = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return pixels > 0 ? pixels : 96;
}

COLORREF ColorRefFromValue(int32_t color) {
  if ((color & kSystemColorFlag) == kSystemColorFlag) return GetSysColor(color & 0xFF);
  return static_cast<COLORREF>(color) & 0x00FFFFFF;
}

LOGFONTA LogFontFromSpec(const FontSpec& font) {
  LOGFONTA logFont = DesignLogFont();
  logFont.lfHeight = -MulDiv(font.size, ScreenPixelsPerInch(), 72);
  logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font.italic;
  logFont.lfUnderline = font.underline;
  logFont.lfStrikeOut = font.strikeOut;
  SetFaceName(logFont, font.name);
  return logFont;
}

FontSpec FontSpecFromLogFont(const LOGFONTA& logFont, int32_t color) {
  FontSpec font;
  font.name = std::string(logFont.lfFaceName, strnlen(logFont.lfFaceName, LF_FACESIZE));
  font.size = -MulDiv(logFont.lfHeight, 72, ScreenPixelsPerInch());
  font.bold = logFont.lfWeight >= FW_BOLD;
  font.italic = logFont.lfItalic != 0;
  font.underline = logFont.lfUnderline != 0;
  font.strikeOut = logFont.lfStrikeOut != 0;
  font.color = color;
  return font;
}

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
