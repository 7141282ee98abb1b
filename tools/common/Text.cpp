#include "tools/common/Text.h"

namespace zp::tools {

namespace {

// Code points of the bytes 0x80..0x9F in code page 1252; 0 where it has none.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendHex(std::string& out, uint8_t byte, HexCase letters) {
  const char* digits = letters == HexCase::Lower ? "0123456789abcdef" : "0123456789ABCDEF";
  out += digits[byte >> 4];
  out += digits[byte & 0x0F];
}

}  // namespace

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int HexByteAt(std::string_view text, size_t at) {
  if (at >= text.size() || text.size() - at < 2) return -1;
  const int high = HexDigit(text[at]);
  const int low = high >= 0 ? HexDigit(text[at + 1]) : -1;
  return low >= 0 ? high * 16 + low : -1;
}

char32_t CodePoint1252(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Hex(std::string_view bytes, HexCase letters) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) AppendHex(out, static_cast<uint8_t>(c), letters);
  return out;
}

std::string Hex(const void* data, size_t size, HexCase letters) {
  return Hex(std::string_view(static_cast<const char*>(data), size), letters);
}

std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b > 0x7E) {
      out += "\\x";
      AppendHex(out, b, HexCase::Lower);
    } else {
      out += c;
    }
  }
  return out;
}

std::string HexEscaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 0x20 && b < 0x7F && c != '\\') {
      out += c;
    } else {
      out += "\\x";
      AppendHex(out, b, HexCase::Upper);
    }
  }
  return out;
}

std::string ReadableEscaped(std::string_view escaped) {
  std::string out;
  size_t i = 0;
  while (i < escaped.size()) {
    if (escaped[i] != '\\') {
      out += escaped[i++];
      continue;
    }
    const int hex =
        i + 1 < escaped.size() && escaped[i + 1] == 'x' ? HexByteAt(escaped, i + 2) : -1;
    if (hex >= 0) {
      const auto byte = static_cast<uint8_t>(hex);
      const char32_t code = CodePoint1252(byte);
      if (byte >= 0x20 && code != 0) {
        AppendUtf8(out, code);
      } else {
        out.append(escaped.substr(i, 4));
      }
      i += 4;
    } else {
      // \\ and \" stand for the character after the backslash.
      if (i + 1 < escaped.size()) out += escaped[i + 1];
      i += 2;
    }
  }
  return out;
}

}  // namespace zp::tools
