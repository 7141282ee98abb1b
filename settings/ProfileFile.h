#pragma once

#include <string>

namespace zp {

inline constexpr int kProfileValueMaxLength = 2047;  // read through a 2048-byte buffer

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
  // Drops any cached copy of the file, so the next read sees the disk.
  virtual void Flush() = 0;
};

}  // namespace zp
