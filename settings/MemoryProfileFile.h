#pragma once

#include <string>
#include <utility>
#include <vector>

#include "settings/ProfileFile.h"
#include "settings/ProfileText.h"

namespace zp {

// A settings file held in memory that reads and writes as the portable file
// on disk does (both are ProfileText underneath), for tests and fuzzing that
// would otherwise spend their time in the file system. Nothing else changes
// its bytes behind its back, so there is no copy to flush.
class MemoryProfileFile final : public ProfileFile {
 public:
  // A file that does not exist yet; the first write creates it.
  explicit MemoryProfileFile(std::string path = "memory.ini") : path_(std::move(path)) {}
  MemoryProfileFile(std::string path, std::string bytes) : path_(std::move(path)) {
    SetBytes(std::move(bytes));
  }

  void SetBytes(std::string bytes) { text_.Assign(true, std::move(bytes)); }
  void Remove() { text_.Assign(false, {}); }
  // Like a file with the read-only attribute: while it exists, every write fails.
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool Exists() const { return text_.Exists(); }
  const std::string& Bytes() const { return text_.Text(); }

  const std::string& Path() const override { return path_; }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override {
    return text_.Read(section, key, fallback);
  }
  bool Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    if (readOnly_ && text_.Exists()) return false;
    text_.Write(section, key, value);
    return true;
  }
  std::vector<std::string> ReadSection(const std::string& section) override {
    return text_.ReadSection(section);
  }
  void ReadSectionBlock(const std::string& section, std::string& block) override {
    text_.ReadSectionBlock(section, block);
  }
  void Flush() override {}

 private:
  std::string path_;
  bool readOnly_ = false;
  ProfileText text_;
};

}  // namespace zp
