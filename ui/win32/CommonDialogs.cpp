#include "ui/win32/CommonDialogs.h"

#include <commdlg.h>

#include "ui/win32/Colors.h"
#include "ui/win32/Fonts.h"

namespace zp {

FontDialog::FontDialog() : logFont_(DesignLogFont()), color_(kDefaultFontColor) {}

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

}  // namespace zp
