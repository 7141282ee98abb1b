#pragma once

#include <cstdio>
#include <string>

namespace zp::inspect {

// snprintf into a string, for zpinspect's short lines; every number goes in as
// a long long (%lld, %llX), so that format and argument always agree.
inline std::string Format(const char* format, long long a, long long b = 0, long long c = 0) {
  char text[256];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace zp::inspect
