#include "settings/PortableProfileFile.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zp {

namespace {

bool LoadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // In blocks: every load and save reads the file at least once.
  text.clear();
  char block[16384];
  while (in.read(block, sizeof block) || in.gcount() > 0)
    text.append(block, static_cast<size_t>(in.gcount()));
  return !in.bad();
}

// Windows refuses to write a file with the read-only attribute, administrators
// included, and Wine shows that attribute as a file without any write
// permission bit. Such a file is left alone here too, even when the process
// could write it anyway (as root does).
bool ReadOnly(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::perms mode = fs::status(path, error).permissions();
  constexpr fs::perms kWriteBits =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return !error && mode != fs::perms::unknown && (mode & kWriteBits) == fs::perms::none;
}

bool SaveFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  return !out.fail();
}

}  // namespace

void PortableProfileFile::Load() {
  if (state_ == State::Current) return;
  std::string text;
  const bool exists = LoadFile(path_, text);
  // A file read again unchanged keeps its lines: most loads and saves find
  // the file as the last one left it.
  if (state_ == State::Stale && exists == copy_.Exists() && text == copy_.Text()) {
    state_ = State::Current;
    return;
  }
  Keep(exists, std::move(text));
}

void PortableProfileFile::Keep(bool exists, std::string text) {
  copy_.Assign(exists, std::move(text));
  state_ = State::Current;
}

void PortableProfileFile::Flush() {
  if (state_ == State::Current) state_ = State::Stale;
}

std::string PortableProfileFile::Read(const std::string& section, const std::string& key,
                                      const std::string& fallback) {
  Load();
  return copy_.Read(section, key, fallback);
}

std::vector<std::string> PortableProfileFile::ReadSection(const std::string& section) {
  Load();
  return copy_.ReadSection(section);
}

bool PortableProfileFile::Write(const std::string& section, const std::string& key,
                                const std::string& value) {
  Load();
  if (copy_.Exists()) {
    // An existing file must be writable even when nothing changes.
    if (ReadOnly(path_)) return false;
    if (!std::fstream(path_, std::ios::in | std::ios::out | std::ios::binary)) return false;
  }
  std::optional<std::string> updated = copy_.Written(section, key, value);
  if (!updated) return true;
  if (!SaveFile(path_, *updated)) {
    state_ = State::Unknown;  // what the disk holds now is anybody's guess
    return false;
  }
  Keep(true, std::move(*updated));
  return true;
}

}  // namespace zp
