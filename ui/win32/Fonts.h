#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/Settings.h"
#include "ui/win32/Window.h"

namespace zp {

// The windows' design font, "MS Sans Serif" with height -11 (8 points), default
// character set.
LOGFONTA DesignLogFont();
UniqueFont CreateDesignFont();

// Pixels per logical inch of the screen, for converting points to heights.
int ScreenPixelsPerInch();

// Font and colour as the settings hold them, and as a font dialog and
// CreateFontIndirect want them; sizes in points convert at the screen's resolution.
LOGFONTA LogFontFromSpec(const FontSpec& font);
FontSpec FontSpecFromLogFont(const LOGFONTA& logFont, int32_t color);

}  // namespace zp
