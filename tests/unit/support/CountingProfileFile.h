#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ProfileFile.h"

namespace zp::test {

// A settings file that counts the calls reaching it, for the benches' figures
// and the profile replay: key reads and section listings as reads, and writes.
// With listNothing every section is listed as empty, so that a save writes
// every key.
class CountingProfileFile final : public ProfileFile {
 public:
  explicit CountingProfileFile(ProfileFile& inner) : inner_(inner) {}

  const std::string& Path() const override { return inner_.Path(); }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override {
    ++reads;
    return inner_.Read(section, key, fallback);
  }
  bool Write(const std::string& section, const std::string& key,
             const std::string& value) override {
    ++writes;
    return inner_.Write(section, key, value);
  }
  std::vector<std::string> ReadSection(const std::string& section) override {
    ++reads;
    return listNothing ? std::vector<std::string>{} : inner_.ReadSection(section);
  }
  void ReadSectionBlock(const std::string& section, std::string& block) override {
    ++reads;
    if (!listNothing) inner_.ReadSectionBlock(section, block);
  }
  void Flush() override { inner_.Flush(); }

  int64_t reads = 0;
  int64_t writes = 0;
  bool listNothing = false;

 private:
  ProfileFile& inner_;
};

}  // namespace zp::test
