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

void Win32ProfileFile::ReadSectionBlock(const std::string& section, std::string& block) {
  // A listing that does not fit comes back cut, its length two short of the
  // buffer's: grow the buffer until it fits.
  constexpr DWORD kLargest = 1u << 24;
  const size_t start = block.size();
  for (DWORD size = 32768;; size *= 2) {
    block.resize(start + size);
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), block.data() + start, size, path_.c_str());
    if (length + 2 < size) {
      block.resize(start + length);  // every entry with its NUL, without the final one
      return;
    }
    if (size >= kLargest) {
      block.resize(start);  // nothing known: every key is written
      return;
    }
  }
}

std::vector<std::string> Win32ProfileFile::ReadSection(const std::string& section) {
  std::string block;
  ReadSectionBlock(section, block);
  std::vector<std::string> entries;
  for (size_t at = 0; at < block.size() && block[at] != 0;) {
    entries.emplace_back(block.data() + at);
    at += entries.back().size() + 1;
  }
  return entries;
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
