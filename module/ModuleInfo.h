#pragma once

#include "module/HostInterface.h"

namespace zp {

// Writes the module's description: exactly the 114 bytes of the record.
void FillModuleInfo(void* record);

}  // namespace zp
