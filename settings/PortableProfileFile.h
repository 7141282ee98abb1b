#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

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
// Like the platform, it keeps a copy of the file between flushes: reads see
// the disk again after Flush (a file read again unchanged keeps its parsed
// lines), and every write that changes a value goes to the disk at once.
// Wine's profile functions rewrite the whole file in a normalised layout
// (trimmed lines, no blank lines, CR LF) on every change; on files already in
// that layout both give the same bytes.
class PortableProfileFile final : public ProfileFile {
 public:
  explicit PortableProfileFile(std::string path) : path_(std::move(path)) {}
  PortableProfileFile(const PortableProfileFile&) = delete;  // its lines point into its text
  PortableProfileFile& operator=(const PortableProfileFile&) = delete;

  const std::string& Path() const override { return path_; }
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback) override;
  bool Write(const std::string& section, const std::string& key, const std::string& value) override;
  std::vector<std::string> ReadSection(const std::string& section) override;
  void Flush() override;

  // One line of the file, as the implementation finds it.
  struct Line {
    enum class Kind { Blank, Section, Key };
    size_t begin = 0, contentEnd = 0, end = 0;  // content [begin, contentEnd), break up to end
    Kind kind = Kind::Blank;
    std::string_view name;  // trimmed section or key name
    bool hasValue = false;
    std::string_view value;  // trimmed
  };

 private:
  enum class State { Unknown, Stale, Current };  // Stale: to be compared with the disk
  void Load();
  void Keep(bool exists, std::string text);

  std::string path_;
  State state_ = State::Unknown;
  bool exists_ = false;
  std::string text_;
  std::vector<Line> lines_;
};

}  // namespace zp
