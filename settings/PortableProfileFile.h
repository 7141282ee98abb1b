#pragma once

#include <string>
#include <vector>

#include "settings/ProfileFile.h"
#include "settings/ProfileText.h"

namespace zp {

// The settings file for native builds and tools, read and written the way the
// Windows profile functions do it (the rules are ProfileText's); besides,
// an existing file without any write permission bit (how Wine shows the
// read-only attribute) is never written: every write to it fails, whoever
// runs the process.
// Like the platform, it keeps a copy of the file between flushes: reads see
// the disk again after Flush (a file read again unchanged keeps its parsed
// lines), and every write that changes a value goes to the disk at once.
// Wine's profile functions rewrite the whole file in a normalised layout
// (trimmed lines, no blank lines, CR LF) on every change; on files already in
// that layout both give the same bytes.
class PortableProfileFile final : public ProfileFile {
 public:
  explicit PortableProfileFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const override { return path_; }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override;
  bool Write(const std::string& section, const std::string& key, const std::string& value) override;
  std::vector<std::string> ReadSection(const std::string& section) override;
  void ReadSectionBlock(const std::string& section, std::string& block) override;
  void Flush() override;

 private:
  enum class State { Unknown, Stale, Current };  // Stale: to be compared with the disk
  void Load();
  void Keep(bool exists, std::string text);

  std::string path_;
  State state_ = State::Unknown;
  ProfileText copy_;
};

}  // namespace zp
