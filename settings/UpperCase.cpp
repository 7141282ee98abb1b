#include "settings/UpperCase.h"

#include <cstdint>

namespace zp {

char UpperCase1252(char c) {
  const auto b = static_cast<uint8_t>(c);
  if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
    return static_cast<char>(b - 0x20);
  }
  switch (b) {
    case 0x9A:  // s caron
    case 0x9C:  // oe
    case 0x9E:  // z caron
      return static_cast<char>(b - 0x10);
    case 0xFF:  // y diaeresis
      return static_cast<char>(0x9F);
    default:
      return c;
  }
}

#if !defined(_WIN32)
// The module links the platform's mapping from settings/win32 instead.
void UpperCaseInPlace(char* text, size_t length) {
  for (size_t i = 0; i < length; ++i) text[i] = UpperCase1252(text[i]);
}
#endif

}  // namespace zp
