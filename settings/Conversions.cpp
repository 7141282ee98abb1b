#include "settings/Conversions.h"

#include <algorithm>
#include <cstdio>

namespace zp {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Letter case is ignored for A to Z only, as colour names are plain ASCII.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::optional<int32_t> ParseInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == text.size()) return std::nullopt;  // no digits at all

  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    // Hexadecimal may fill all 32 bits; decimal stays within the signed range.
    const uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    if (value > limit) return std::nullopt;
  }
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  return static_cast<int32_t>(bits);
}

std::string IntegerErrorText(std::string_view text) {
  // "gültiger" in code page 1252, the module's single-byte text.
  std::string message = "'";
  return message.append(text).append(
      "' ist kein g\xFC"
      "ltiger Integerwert");
}

std::string WriteErrorText(std::string_view path) {
  std::string message = "In ";
  return message.append(path).append(" kann nicht geschrieben werden");
}

int32_t TextToInteger(std::string_view text) {
  const std::optional<int32_t> value = ParseInteger(text);
  if (!value) throw SettingsError(IntegerErrorText(text));
  return *value;
}

std::vector<std::string> SplitList(std::string_view text, char separator, bool trim) {
  std::vector<std::string> items;
  if (text.empty()) return items;
  items.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), separator)) + 1);
  ForEachListItem(text, separator, trim, [&](std::string_view item) { items.emplace_back(item); });
  return items;
}

std::string ColorToText(int32_t color) {
  const auto value = static_cast<uint32_t>(color);
  for (const ColorName& entry : kColorNames) {
    if (entry.value == value) return entry.name;
  }
  char text[16];
  std::snprintf(text, sizeof text, "$%.8X", static_cast<unsigned>(value));
  return text;
}

int32_t TextToColor(std::string_view text) {
  for (const ColorName& entry : kColorNames) {
    if (EqualsIgnoringAsciiCase(text, entry.name)) return static_cast<int32_t>(entry.value);
  }
  return TextToInteger(text);
}

std::string FontToText(const FontSpec& font) {
  std::string text;
  return FontToText(font, text);
}

const std::string& FontToText(const FontSpec& font, std::string& text) {
  char style[] = "0000";
  const bool flags[] = {font.bold, font.italic, font.underline, font.strikeOut};
  for (size_t i = 0; i < 4; ++i) style[i] = flags[i] ? '1' : '0';
  text.assign(font.name).append(",").append(std::to_string(font.size)).append(",");
  return text.append(style).append(",").append(ColorToText(font.color));
}

void TextToFont(std::string_view text, FontSpec& font) {
  constexpr size_t kMaxFaceName = 31;
  size_t comma = text.find(',');
  if (comma == std::string_view::npos) throw SettingsError(kFontErrorText);
  if (comma > 0) font.name = std::string(text.substr(0, std::min(comma, kMaxFaceName)));
  text.remove_prefix(comma + 1);

  comma = text.find(',');
  if (comma == std::string_view::npos) throw SettingsError(kFontErrorText);
  font.size = TextToInteger(text.substr(0, comma));
  text.remove_prefix(comma + 1);

  // Exactly four style characters, then a comma.
  if (text.find(',') != 4) throw SettingsError(kFontErrorText);
  font.bold = text[0] == '1';
  font.italic = text[1] == '1';
  font.underline = text[2] == '1';
  font.strikeOut = text[3] == '1';
  text.remove_prefix(5);

  font.color = TextToColor(text);
}

}  // namespace zp
