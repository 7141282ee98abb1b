#include "Replay.h"
#include "settings/PortableProfileFile.h"

namespace zp::replay {

std::unique_ptr<ProfileFile> OpenProfileFile(const std::string& path) {
  return std::make_unique<PortableProfileFile>(path);
}

}  // namespace zp::replay
