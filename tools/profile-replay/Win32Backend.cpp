#include "Replay.h"
#include "settings/win32/Win32ProfileFile.h"

namespace zp::replay {

std::unique_ptr<ProfileFile> OpenProfileFile(const std::string& path) {
  return std::make_unique<Win32ProfileFile>(path);
}

}  // namespace zp::replay
