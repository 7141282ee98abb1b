#include "settings/PortableProfileFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef O_BINARY
#define O_BINARY 0  // POSIX makes no text and binary files
#endif

namespace zp {

namespace {

// Read through the plain descriptor calls: the blocks are as large as a
// stream's buffer would be, and neither the stream nor its buffer has to be
// allocated at every load and save.
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_BINARY)) {}
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  // The next bytes into block, 0 at the end, negative on an error.
  long Next(char* block, unsigned size) { return static_cast<long>(::read(fd_, block, size)); }

 private:
  int fd_;
};

constexpr unsigned kBlockSize = 16384;

bool LoadFile(const std::string& path, std::string& text) {
  ReadOnlyFile file(path);
  if (!file.IsOpen()) return false;
  // In blocks: every load and save reads the file at least once.
  text.clear();
  char block[kBlockSize];
  long count = 0;
  while ((count = file.Next(block, sizeof block)) > 0)
    text.append(block, static_cast<size_t>(count));
  return count == 0;
}

// Whether the file holds exactly `text`, read without keeping a copy: most
// loads and saves find the file as the last one left it.
bool FileHolds(const std::string& path, std::string_view text) {
  ReadOnlyFile file(path);
  if (!file.IsOpen()) return false;
  char block[kBlockSize];
  size_t at = 0;
  long count = 0;
  while ((count = file.Next(block, sizeof block)) > 0) {
    const auto length = static_cast<size_t>(count);
    if (text.substr(at, length) != std::string_view(block, length)) return false;
    at += length;
  }
  return count == 0 && at == text.size();
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
  // A file read again unchanged keeps its lines.
  if (state_ == State::Stale && copy_.Exists() && FileHolds(path_, copy_.Text())) {
    state_ = State::Current;
    return;
  }
  std::string text;
  const bool exists = LoadFile(path_, text);
  if (state_ == State::Stale && !exists && !copy_.Exists()) {
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

void PortableProfileFile::ReadSectionBlock(const std::string& section, std::string& block) {
  Load();
  copy_.ReadSectionBlock(section, block);
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
