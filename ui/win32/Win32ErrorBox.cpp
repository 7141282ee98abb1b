#include "ui/win32/Win32ErrorBox.h"

namespace zp {

void Win32ErrorBox::ShowError(const std::string& text, const std::string& title) {
  MessageBoxA(owner_, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace zp
