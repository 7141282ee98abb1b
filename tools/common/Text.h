#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The tools' one text library: code page 1252 (the module's single-byte text),
// hex and the escapes the tools print bytes with.
namespace zp::tools {

// The code point of a code page 1252 byte, or 0 for the five bytes the code
// page leaves undefined.
char32_t CodePoint1252(uint8_t byte);
// One code point of the Basic Multilingual Plane as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// The value of a hex digit of either case, or -1.
int HexDigit(char c);
// The byte that two hex digits at `at` spell, or -1 when there are not two.
int HexByteAt(std::string_view text, size_t at);

enum class HexCase { Lower, Upper };
// Two digits per byte, no separators.
std::string Hex(std::string_view bytes, HexCase letters = HexCase::Lower);
std::string Hex(const void* data, size_t size, HexCase letters = HexCase::Lower);

// One printable line: \\, \" and \xhh (lower case) for bytes outside 0x20..0x7E.
std::string Escaped(std::string_view bytes);
// One printable line without quoting: \xHH (upper case) for bytes outside
// 0x20..0x7E and for the backslash itself.
std::string HexEscaped(std::string_view bytes);

// An Escaped line for a person, in UTF-8: every \xhh of a visible code page
// 1252 character becomes that character, the control bytes and the undefined
// bytes keep their escape, \\ and \" lose the backslash.
std::string ReadableEscaped(std::string_view escaped);

}  // namespace zp::tools
