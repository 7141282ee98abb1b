#include "settings/win32/Win32ProfileFile.h"

#include <windows.h>

#include <vector>

#include "settings/Settings.h"

namespace zp {

std::string Win32ProfileFile::Read(const std::string& section, const std::string& key,
                                   const std::string& fallback) {
  char buffer[kProfileValueMaxLength + 1] = {};
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(),
                                                buffer, sizeof buffer, path_.c_str());
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

bool Win32ProfileFile::Write(const std::string& section, const std::string& key,
                             const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) !=
         FALSE;
}

void Win32ProfileFile::Flush() {
  // With only the file name given, the profile functions drop their cached copy.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

std::string SettingsFilePath() {
  // Paths may exceed MAX_PATH; grow the buffer until the name fits.
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return SettingsFilePathFor("");
    if (length < path.size()) return SettingsFilePathFor(std::string(path.data(), length));
    if (path.size() >= 32768) return SettingsFilePathFor("");
    path.resize(path.size() * 2);
  }
}

}  // namespace zp
