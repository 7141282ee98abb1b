#pragma once

#include <memory>
#include <string>

#include "settings/ProfileFile.h"

namespace zp::replay {

// The backend under test: the portable file natively, the Windows profile
// functions in the Windows build.
std::unique_ptr<ProfileFile> OpenProfileFile(const std::string& path);

// Runs one script against the file at iniPath and writes what every step
// observed to logPath. Returns false when the script itself is malformed.
bool RunScript(const std::string& scriptPath, const std::string& iniPath,
               const std::string& logPath, std::string& problem);

}  // namespace zp::replay
