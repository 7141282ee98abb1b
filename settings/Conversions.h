#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Colors.h"
#include "settings/Settings.h"

namespace zp {

// The integer syntax of the settings file: leading blanks, an optional sign,
// then decimal digits (signed 32-bit range) or up to eight hexadecimal digits
// after $, x, X, 0x or 0X (all 32 bits, the top bit making it negative).
// Nothing may follow the digits.
std::optional<int32_t> ParseInteger(std::string_view text);
// As ParseInteger, but a text that is not an integer fails with
// "'<text>' ist kein gültiger Integerwert".
int32_t TextToInteger(std::string_view text);

// Splits at every separator; items are trimmed of characters 0..32 when trim
// is on. An empty item between two separators counts, an empty last item only
// when something (blanks) followed the last separator.
std::vector<std::string> SplitList(std::string_view text, char separator, bool trim);

// An item trimmed as SplitList trims it.
inline std::string_view TrimListItem(std::string_view item) {
  while (!item.empty() && static_cast<unsigned char>(item.front()) <= 32) item.remove_prefix(1);
  while (!item.empty() && static_cast<unsigned char>(item.back()) <= 32) item.remove_suffix(1);
  return item;
}

// The items of SplitList, in order, as views into text: a load goes through
// the up to 101 ids of every group without a copy of each.
template <typename Visit>
void ForEachListItem(std::string_view text, char separator, bool trim, Visit&& visit) {
  if (text.empty()) return;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != separator) continue;
    const std::string_view item = text.substr(start, i - start);
    if (i < text.size() || !item.empty()) visit(trim ? TrimListItem(item) : item);
    start = i + 1;
  }
}

// A colour of the name table (clBlack, clWindow, ...) by name, otherwise "$"
// and eight capital hexadecimal digits.
std::string ColorToText(int32_t color);
// A table name in any letter case, or an integer; fails like TextToInteger.
int32_t TextToColor(std::string_view text);

// "Name,Size,BIUS,Colour", e.g. Arial,10,1000,clBlack.
std::string FontToText(const FontSpec& font);
// The same text in `text`, whose storage is reused; returns it.
const std::string& FontToText(const FontSpec& font, std::string& text);
// Sets name, size, style and colour in that order; a failure leaves what the
// earlier steps have already set.
void TextToFont(std::string_view text, FontSpec& font);

// The two failure texts of loading and saving, in the code page of the module.
std::string IntegerErrorText(std::string_view text);
std::string WriteErrorText(std::string_view path);
inline constexpr const char* kFontErrorText = "Invalid string to font conversion";

}  // namespace zp
