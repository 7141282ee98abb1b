#include "settings/UpperCase.h"

#include <windows.h>

namespace zp {

void UpperCaseInPlace(char* text, size_t length) {
  if (length > 0) CharUpperBuffA(text, static_cast<DWORD>(length));
}

}  // namespace zp
