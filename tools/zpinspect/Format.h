#pragma once

#include <cstdio>
#include <string>

namespace zp::inspect {

// A format of Format, checked when it is compiled: at most three conversions,
// each a long long one (%lld, %llu, %llx, %llX with flags and width), so that
// format and arguments always agree.
class NumberFormat {
 public:
  consteval NumberFormat(const char* format) : text_(format) {  // NOLINT: implicit by design
    int conversions = 0;
    for (const char* p = format; *p != '\0'; ++p) {
      if (*p != '%') continue;
      if (p[1] == '%') {
        ++p;
        continue;
      }
      ++p;
      while (*p == '-' || *p == '0' || *p == ' ' || *p == '+' || (*p >= '1' && *p <= '9')) ++p;
      if (p[0] != 'l' || p[1] != 'l') throw "Format takes long long conversions only";
      p += 2;
      if (*p != 'd' && *p != 'u' && *p != 'x' && *p != 'X') throw "Format: unknown conversion";
      if (++conversions > 3) throw "Format takes at most three numbers";
    }
  }
  const char* Text() const { return text_; }

 private:
  const char* text_;
};

// snprintf into a string, for zpinspect's short lines; every number goes in as
// a long long.
inline std::string Format(NumberFormat format, long long a, long long b = 0, long long c = 0) {
  char text[256];
  std::snprintf(text, sizeof text, format.Text(), a, b, c);
  return text;
}

}  // namespace zp::inspect
