#include "settings/UpperCase.h"

#include <windows.h>

namespace zp {

void UpperCaseInPlace(std::string& text) {
  if (text.empty()) return;
  CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

}  // namespace zp
