#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "feed/CaptureBuffers.h"

namespace zp {

class PacketCapture;

// The dump file: both capture buffers, whole, as 2000 records of 188 bytes and nothing else.
inline constexpr int kDumpRecords = 2 * kCaptureSlots;
inline constexpr size_t kDumpFileSize = static_cast<size_t>(kDumpRecords) * kTsPacketSize;

inline constexpr char kDefaultDumpFileName[] = "C:\\zpOut.ts";
inline constexpr char kDumpCreateFailedText[] =
    "Can not create file here! please select another folder";
inline constexpr char kDumpErrorTitle[] = "Error";

// A write or close error once the dump file exists. Not handled by the dump: it
// reaches the window event that ran it, whose error box shows the message.
class CaptureDumpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A modal message box with the error icon and an OK button.
class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  virtual void ShowError(const std::string& text, const std::string& title) = 0;
};

// The file name as the save dialog returned it, without leading and trailing
// blanks and control characters.
std::string TrimFileName(std::string_view name);

// Writes SectionCapture, then InfoCapture, slot by slot, to the named file; an
// existing file is replaced without a question. An empty name does nothing. When
// the file cannot be created, says so in `errors` and writes nothing. Throws
// CaptureDumpError on a write or close error after creation.
void DumpCaptureBuffers(const std::string& fileName, const CaptureBuffer& sections,
                        const CaptureBuffer& info, ErrorBox& errors);
void DumpCaptureBuffers(const std::string& fileName, const PacketCapture& capture,
                        ErrorBox& errors);

}  // namespace zp
