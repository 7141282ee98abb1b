#pragma once

#include <cstddef>
#include <string>

namespace zp {

// The platform's upper-case mapping of the current single-byte code page,
// applied in place; the length never changes. The module uses CharUpperBuffA,
// native builds the code page 1252 mapping below.
void UpperCaseInPlace(char* text, size_t length);
inline void UpperCaseInPlace(std::string& text) { UpperCaseInPlace(text.data(), text.size()); }

// Code page 1252 as Windows upper-cases it: a-z, the accented letters
// 0xE0..0xFE except the division sign, and the four letters whose capitals
// live in 0x80..0x9F (s, oe and z with caron, y with diaeresis). Letters
// without a capital in the code page (sharp s, micro sign, f with hook) stay.
char UpperCase1252(char c);

}  // namespace zp
