// The capture dump: the save dialog, the files it writes and its errors.
#include <memory>
#include <string>

#include "Gallery.h"
#include "feed/CaptureDump.h"
#include "feed/PacketCapture.h"
#include "ui/win32/SaveDialog.h"
#include "ui/win32/Win32ErrorBox.h"

namespace zp::gallery {

namespace {

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "zp-window-gallery";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

}  // namespace

void CheckDump() {
  auto capture = std::make_unique<zp::PacketCapture>();
  zp::TsPacket packet{};
  packet[0] = 0x47;
  packet[1] = 0x40;
  packet[2] = 0x12;
  for (int i = 0; i < 520; ++i) capture->OnPacket(packet.data());
  packet[1] = 0x49;
  packet[2] = 0x97;
  packet[29] = '1';
  capture->OnPacket(packet.data());

  const std::string folder = TempFolder();
  const std::string file = folder + "\\direct.ts";
  zp::Win32ErrorBox errors(nullptr);
  zp::DumpCaptureBuffers(file, *capture, errors);
  CheckEqual("dump size", FileSize(file), 376000);

  std::string boxText, boxTitle;
  WhenDialogAppears([&](HWND box) {
    boxText = ItemText(box, 0xFFFF);  // the message box's text
    boxTitle = WindowText(box);
    Press(box, IDOK);
  });
  const std::string missing = "C:\\no\\such\\folder\\zpOut.ts";
  zp::DumpCaptureBuffers(missing, *capture, errors);
  CheckEqual("unwritable folder: box text", boxText,
             "Can not create file here! please select another folder");
  CheckEqual("unwritable folder: box title", boxTitle, "Error");
  CheckEqual("unwritable folder: no file", FileSize(missing), -1);

  // The "Save Buffer" road: dialog, trimmed name, dump. The dialog shows the
  // folder of the offered name and the name itself in its name field.
  zp::SaveDialog saveDialog;
  auto fileNameField = [](HWND dialog) { return GetDlgItem(dialog, cmb13) ? cmb13 : edt1; };
  std::string offered;
  WhenDialogAppears([&](HWND dialog) {
    offered = ItemText(dialog, fileNameField(dialog));
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("first offered name", offered, "zpOut.ts");
  CheckEqual("first confirmed name", saveDialog.FileName(), "C:\\zpOut.ts");
  CheckEqual("dump under the offered name", FileSize("C:\\zpOut.ts"), 376000);
  DeleteFileA("C:\\zpOut.ts");

  const std::string saved = folder + "\\saved.ts";
  WhenDialogAppears([&](HWND dialog) {
    SetDlgItemTextA(dialog, fileNameField(dialog), (saved + "  ").c_str());
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  Fact("name the dialog returned", "\"" + saveDialog.FileName() + "\"");
  CheckEqual("dump under the typed name", FileSize(saved), 376000);

  // Again under the same name: offered, and replaced without a question.
  HANDLE shrink =
      CreateFileA(saved.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr);
  CloseHandle(shrink);
  WhenDialogAppears([&](HWND dialog) {
    offered = ItemText(dialog, fileNameField(dialog));
    Press(dialog, IDOK);
  });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("second offered name", zp::TrimFileName(offered), "saved.ts");
  CheckEqual("confirmed again", zp::TrimFileName(saveDialog.FileName()), saved);
  CheckEqual("replaced dump size", FileSize(saved), 376000);

  DeleteFileA(saved.c_str());
  WhenDialogAppears([&](HWND dialog) { Press(dialog, IDCANCEL); });
  zp::SaveCaptureBuffers(nullptr, saveDialog, *capture);
  CheckEqual("cancel writes nothing", FileSize(saved), -1);
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace zp::gallery
