#pragma once

#include <string>

#include "settings/ProfileFile.h"

namespace zp {

// The settings file for native builds and tools, read and written the way the
// Windows profile functions do it:
// - lines end in CR LF, LF or CR; names and values are trimmed of blanks,
//   tabs, CR, LF and Ctrl-Z; lines before the first [section] form a section
//   with an empty name; a line without "=" is a key without a value;
// - section and key names match without regard to the letter case of A to Z;
//   the first matching section is the one used, and in it the first matching
//   key;
// - a value enclosed in matching single or double quotes is read without
//   them; reads are cut to 2047 characters;
// - a written key is replaced in place as key=value (keeping the file's
//   spelling of the key, names and value trimmed); a new key goes after the
//   last line of its section, a new section at the end of the file, both with
//   CR LF; every other byte of the file stays as it was, and writing an
//   unchanged value changes nothing at all;
// - an existing file without any write permission bit (how Wine shows the
//   read-only attribute) is never written: every write to it fails, whoever
//   runs the process.
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
  void Flush() override {}  // nothing is cached

 private:
  std::string path_;
};

}  // namespace zp
