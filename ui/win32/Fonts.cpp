#include "ui/win32/Fonts.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace zp {

namespace {

constexpr char kDesignFontName[] = "MS Sans Serif";
constexpr LONG kDesignFontHeight = -11;

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

UniqueFont CreateDesignFont() {
  const LOGFONTA logFont = DesignLogFont();
  return UniqueFont(CreateFontIndirectA(&logFont));
}

int ScreenPixelsPerInch() {
  HDC screen = GetDC(nullptr);
  const int pixels = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return pixels > 0 ? pixels : 96;
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

}  // namespace zp
