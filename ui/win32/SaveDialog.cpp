#include "ui/win32/SaveDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "feed/PacketCapture.h"
#include "ui/win32/Win32ErrorBox.h"

namespace zp {

namespace {

constexpr DWORD kFileNameCapacity = 4096;

}  // namespace

std::optional<std::string> SaveDialog::Execute(HWND owner) {
  std::vector<char> buffer(kFileNameCapacity, '\0');
  std::memcpy(buffer.data(), fileName_.data(),
              std::min<size_t>(fileName_.size(), kFileNameCapacity - 1));

  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = kFileNameCapacity;
  // Without OFN_NOCHANGEDIR the dialog would move the viewer's current folder.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&dialog)) return std::nullopt;
  fileName_ = buffer.data();
  return fileName_;
}

void SaveCaptureBuffers(HWND owner, SaveDialog& dialog, const PacketCapture& capture) {
  const auto name = dialog.Execute(owner);
  if (!name) return;
  Win32ErrorBox errors(owner);
  DumpCaptureBuffers(TrimFileName(*name), capture, errors);
}

}  // namespace zp
