#pragma once

#include <string>

#include "settings/ProfileFile.h"

namespace zp {

// The settings file through the Windows profile functions.
class Win32ProfileFile final : public ProfileFile {
 public:
  explicit Win32ProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const override { return path_; }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override;
  bool Write(const std::string& section, const std::string& key, const std::string& value) override;
  std::vector<std::string> ReadSection(const std::string& section) override;
  void ReadSectionBlock(const std::string& section, std::string& block) override;
  void Flush() override;

 private:
  std::string path_;
};

// The settings file beside the running executable (the viewer).
std::string SettingsFilePath();

}  // namespace zp
