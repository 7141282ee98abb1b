#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zp {

inline constexpr int kProfileValueMaxLength = 2047;  // read through a 2048-byte buffer

// Section and key names fold A to Z only, as Wine's profile functions do:
// GR\xDCN and gr\xFCn are two different keys there.
inline bool SameProfileName(std::string_view a, std::string_view b) {
  const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// The settings file as the Windows profile functions see it: section and key
// names match without regard to letter case, a written key is replaced in
// place, and every other line of the file stays as it was.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  virtual const std::string& Path() const = 0;
  // The value, cut to 2047 characters, or fallback when file, section or key is missing.
  virtual std::string Read(const std::string& section, const std::string& key,
                           const std::string& fallback) = 0;
  // False when the platform could not write the key.
  virtual bool Write(const std::string& section, const std::string& key,
                     const std::string& value) = 0;
  // The first section with that name as the platform lists it: one entry per
  // key line, "key=value" (or "key" for a line without "="), names and values
  // as the file holds them, quotes included; comment lines (";") and blank
  // lines are left out. Empty when the file or the section is missing, or when
  // the listing cannot be had whole.
  virtual std::vector<std::string> ReadSection(const std::string& section) = 0;
  // The same listing appended to `block`, each entry followed by a NUL, as
  // the platform hands it out: one buffer for a whole section, where a save
  // lists three of them every time. An entry that holds a NUL itself (only a
  // broken file has one) cannot be handed out so, and the listing is empty.
  virtual void ReadSectionBlock(const std::string& section, std::string& block) {
    AppendSectionBlock(ReadSection(section), block);
  }
  // Drops any cached copy of the file, so the next read sees the disk.
  virtual void Flush() = 0;

 protected:
  static void AppendSectionBlock(const std::vector<std::string>& entries, std::string& block) {
    const size_t start = block.size();
    for (const std::string& entry : entries) {
      if (entry.find('\0') != std::string::npos) return block.resize(start);
      block.append(entry).push_back('\0');
    }
  }
};

}  // namespace zp
