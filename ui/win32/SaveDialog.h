#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "feed/CaptureDump.h"

namespace zp {

class PacketCapture;

// SaveDialog1: offers "C:\zpOut.ts" the first time and the name last confirmed
// afterwards. No file-type filter, no default extension, no question before an
// existing file is replaced; the process's current folder is left alone.
class SaveDialog {
 public:
  // The confirmed file name, or nothing when the user cancels.
  std::optional<std::string> Execute(HWND owner);
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_ = kDefaultDumpFileName;
};

// The body of the main window's SaveButtonClick: runs the dialog and, when the
// user confirms, dumps both capture buffers under the trimmed name. A file that
// cannot be created is reported in an error box owned by `owner`; a write error
// after creation throws CaptureDumpError for the window's error box.
void SaveCaptureBuffers(HWND owner, SaveDialog& dialog, const PacketCapture& capture);

}  // namespace zp
