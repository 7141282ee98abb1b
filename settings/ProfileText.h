#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zp {

// The bytes of a settings file and what the Windows profile functions read in
// them and make of a write, with no disk in between: the rules that the
// portable file on disk and the in-memory one share.
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
//   unchanged value changes nothing at all.
class ProfileText {
 public:
  ProfileText() = default;
  ProfileText(const ProfileText&) = delete;  // its lines point into its text
  ProfileText& operator=(const ProfileText&) = delete;

  // A missing file reads as an empty one, but is told apart where it matters.
  void Assign(bool exists, std::string text);
  bool Exists() const { return exists_; }
  const std::string& Text() const { return text_; }

  std::string Read(std::string_view section, std::string_view key, std::string_view fallback) const;
  std::vector<std::string> ReadSection(std::string_view section) const;
  // The same listing appended to block, each entry followed by a NUL; nothing
  // when an entry holds a NUL itself.
  void ReadSectionBlock(std::string_view section, std::string& block) const;
  // The file's bytes with the key written, or nothing when it already holds that value.
  std::optional<std::string> Written(std::string_view section, std::string_view key,
                                     std::string_view value) const;
  // Writes the key here, the file then existing; false when it already held
  // that value. Only the lines the write touches are read again, which keeps
  // a save of a long file from parsing it once per key.
  bool Write(std::string_view section, std::string_view key, std::string_view value);

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
  // The bytes [at, removedEnd) of the text that a write replaces by `inserted`.
  struct Edit {
    size_t at = 0, removedEnd = 0;
    std::string inserted;
  };
  // The lines of the first section with that name, below its header.
  std::span<const Line> SectionLines(std::string_view section) const;
  std::optional<Edit> Edited(std::string_view section, std::string_view key,
                             std::string_view value) const;

  bool exists_ = false;
  std::string text_;
  std::vector<Line> lines_;
  std::vector<Line> fresh_;  // the lines a write reads again, kept for the next write
};

}  // namespace zp
