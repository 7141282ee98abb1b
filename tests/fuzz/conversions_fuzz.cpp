// The text conversions of the settings file on arbitrary text. The first byte
// picks the conversion; what they may throw is a SettingsError, nothing else.
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/Conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    switch (data[0] % 4) {
      case 0:
        if (auto value = zp::ParseInteger(text)) (void)zp::TextToInteger(std::to_string(*value));
        break;
      case 1:
        (void)zp::ColorToText(zp::TextToColor(text));
        break;
      case 2: {
        zp::FontSpec font;
        zp::TextToFont(text, font);
        zp::FontSpec again;
        zp::TextToFont(zp::FontToText(font), again);  // what a save writes, a load reads
        break;
      }
      default:
        for (const std::string& item : zp::SplitList(text, ',', data[0] & 4)) (void)item.size();
        break;
    }
  } catch (const zp::SettingsError&) {
  }
  return 0;
}
