#include "feed/CaptureDump.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "feed/PacketCapture.h"

namespace zp {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

[[noreturn]] void ThrowWriteError(const std::string& fileName, int error) {
  std::string message = "Error writing " + fileName;
  if (error != 0) message += std::string(": ") + std::strerror(error);
  throw CaptureDumpError(message);
}

void WriteBuffer(std::FILE* file, const CaptureBuffer& buffer, const std::string& fileName) {
  for (const TsPacket& slot : buffer) {
    if (std::fwrite(slot.data(), 1, slot.size(), file) != slot.size()) {
      ThrowWriteError(fileName, errno);
    }
  }
}

}  // namespace

std::string TrimFileName(std::string_view name) {
  size_t first = 0;
  size_t last = name.size();
  while (first < last && IsBlankOrControl(name[first])) ++first;
  while (last > first && IsBlankOrControl(name[last - 1])) --last;
  return std::string(name.substr(first, last - first));
}

void DumpCaptureBuffers(const std::string& fileName, const CaptureBuffer& sections,
                        const CaptureBuffer& info, ErrorBox& errors) {
  if (fileName.empty()) return;
  FilePtr file(std::fopen(fileName.c_str(), "wb"));
  if (!file) {
    errors.ShowError(kDumpCreateFailedText, kDumpErrorTitle);
    return;
  }
  WriteBuffer(file.get(), sections, fileName);
  WriteBuffer(file.get(), info, fileName);
  // Buffered bytes that cannot go to disk only show up here.
  errno = 0;
  if (std::fclose(file.release()) != 0) ThrowWriteError(fileName, errno);
}

void DumpCaptureBuffers(const std::string& fileName, const PacketCapture& capture,
                        ErrorBox& errors) {
  DumpCaptureBuffers(fileName, capture.Sections(), capture.Info(), errors);
}

}  // namespace zp
