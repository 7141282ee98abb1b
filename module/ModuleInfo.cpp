#include "module/ModuleInfo.h"

#include <cstring>

namespace zp {

void FillModuleInfo(void* record) {
  ModuleInfoRecord info{};
  info.Version = 0x01050000;
  std::memcpy(info.Name, "Zanterpoint", 11);
  info.Value100 = 0x01000000;
  info.Value104 = 0;
  info.Value106 = 14;
  info.Value110 = 0x00090009;
  std::memcpy(record, &info, sizeof info);
}

}  // namespace zp
