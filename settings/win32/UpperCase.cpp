#include <windows.h>

#include "settings/UpperCase.h"

namespace zp {

void UpperCaseInPlace(std::string& text) {
  if (text.empty()) return;
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace zp
