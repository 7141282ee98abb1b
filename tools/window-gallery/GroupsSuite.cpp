// The group editor: a full channel table, typing into its filter, and the
// groups it writes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Gallery.h"
#include "feed/ServiceIndex.h"
#include "settings/GroupFile.h"
#include "settings/Settings.h"
#include "settings/win32/Win32ProfileFile.h"

namespace zp::gallery {

namespace {

// The main window's part for the editor: the settings file and the write.
class GalleryOwner final : public zp::GroupEditorOwner {
 public:
  explicit GalleryOwner(const std::string& path) : file_(path) {}
  zp::ProfileFile& GroupFile() override { return file_; }
  std::string ApplyGroupEdit(const zp::GroupEdit& edit, const zp::ShownId& shown) override {
    try {
      zp::WriteGroupEdit(file_, edit, shown);
      ++writes;
      return {};
    } catch (const zp::SettingsError& error) {
      return error.what();
    }
  }
  int writes = 0;

 private:
  zp::Win32ProfileFile file_;
};

std::string FullPath(const char* name) {
  char path[MAX_PATH] = {};
  GetFullPathNameA(name, sizeof path, path, nullptr);
  return path;
}

// A full viewer table: a few channels of invented names, then numbered ones up to 8000.
std::unique_ptr<zp::HostChannelTable> GalleryChannelTable() {
  auto table = std::make_unique<zp::HostChannelTable>();
  struct Named {
    uint16_t sid;
    const char* name;
    const char* provider;
  };
  const Named named[] = {
      {101, "Das Erste", "ARD"},         {102, "ZDF", "ZDFvision"},
      {28106, "Kanal Nord", "Nordfunk"}, {28107, "Kanal Sued", "Nordfunk"},
      {28108, "Kanal West", "Nordfunk"}, {5001, "Kinderkanal", "Funkhaus"},
      {5002, "Musik Eins", "Funkhaus"},  {5003, "Kanal Kultur", "Funkhaus"},
  };
  int position = 1;
  auto add = [&](uint16_t sid, const std::string& name, const std::string& provider) {
    zp::HostChannelRecord& r = table->Records[position++];
    r.dwFreq = 12031;
    r.ChType = 1;
    r.wSID = sid;
    std::memcpy(r.ChName, name.data(), std::min<size_t>(name.size(), sizeof r.ChName));
    std::memcpy(r.Provider, provider.data(), std::min<size_t>(provider.size(), sizeof r.Provider));
  };
  for (const Named& n : named) add(n.sid, n.name, n.provider);
  for (uint16_t sid = 10001; position < zp::kHostChannelCount; ++sid) {
    char name[32], provider[32];
    std::snprintf(name, sizeof name, "Sender %u", static_cast<unsigned>(sid));
    std::snprintf(provider, sizeof provider, "Funkhaus %c", 'A' + sid % 8);
    add(sid, name, provider);
  }
  return table;
}

// Types `text` into an edit control a character at a time, as a person does;
// returns the slowest keystroke's time to a repainted list, in milliseconds.
double TypeTimed(HWND edit, const std::string& text, HWND list) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double slowest = 0;
  for (const char c : text) {
    QueryPerformanceCounter(&start);
    SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    UpdateWindow(list);
    QueryPerformanceCounter(&end);
    slowest = std::max(slowest, 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                    static_cast<double>(frequency.QuadPart));
  }
  return slowest;
}

}  // namespace

void CheckGroupEditor(const std::string& screenshot) {
  const std::string path = FullPath("gallery-groups.ini");
  const char* const kFile =
      "[View]\r\nDP=1\r\nLists=DP,Fav\r\n[Fav]\r\nTitle=Favoriten\r\nNodeSID=28106\r\n"
      "List=28106,101,9999,28107\r\n";
  if (HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      f != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(f, kFile, static_cast<DWORD>(std::strlen(kFile)), &written, nullptr);
    CloseHandle(f);
  }
  GalleryOwner owner(path);
  const auto table = GalleryChannelTable();
  zp::ServiceIndex index;
  std::vector<zp::EditorChannel> channels = zp::EditorChannels(index, table.get());
  CheckEqual("channels offered", static_cast<long long>(channels.size()), 7999);

  TDualListDlg dialog;
  Check(dialog.CreateGroupEditor(nullptr, nullptr, owner), "group editor created");
  HWND window = dialog.Handle();
  CheckEqual("caption", WindowText(window), "Gruppen bearbeiten");
  RECT client;
  GetClientRect(window, &client);
  CheckEqual("client area", RectText(client), "0,0 525x556");
  // The selection dialog's own controls keep their places in the editor.
  for (const auto& [id, rect] : std::vector<std::pair<TDualListDlg::ControlId, const char*>>{
           {TDualListDlg::kSrcLabel, "48,96 145x16"},
           {TDualListDlg::kDstLabel, "232,96 145x16"},
           {TDualListDlg::kSrcList, "16,112 184x361"},
           {TDualListDlg::kDstList, "240,112 185x361"},
           {TDualListDlg::kIncludeBtn, "208,232 24x24"},
           {TDualListDlg::kExAllBtn, "208,328 24x24"},
           {TDualListDlg::kOKBtn, "101,484 75x25"},
           {TDualListDlg::kHelpBtn, "261,484 75x25"}}) {
    CheckEqual("editor control " + std::to_string(id), RectText(ChildRect(dialog.Control(id))),
               rect);
  }
  // No control of the band overlaps another.
  std::vector<RECT> rects;
  for (int id = TDualListDlg::kSrcList; id <= TDualListDlg::kKeptNote; ++id) {
    if (HWND control = dialog.Control(static_cast<TDualListDlg::ControlId>(id))) {
      rects.push_back(ChildRect(control));
    }
  }
  for (const int id : {1, 2, 9}) rects.push_back(ChildRect(GetDlgItem(window, id)));
  bool overlap = false;
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      RECT both;
      overlap |= IntersectRect(&both, &rects[i], &rects[j]) != FALSE;
    }
  }
  Check(!overlap, "no two controls overlap");

  dialog.OpenGroup(std::move(channels), "Fav");
  Pump(300);
  HWND src = dialog.Control(TDualListDlg::kSrcList);
  HWND dst = dialog.Control(TDualListDlg::kDstList);
  CheckEqual("Ziel-Liste", ListTexts(dst),
             "Kanal Nord  (Nordfunk)  28106,Das Erste  (ARD)  101,Kanal Sued  (Nordfunk)  28107");
  CheckEqual("Quell-Liste holds the rest", SendMessageA(src, LB_GETCOUNT, 0, 0), 7996);
  Check(WindowText(dialog.Control(TDualListDlg::kKeptNote)).rfind("1 Eintrag", 0) == 0,
        "the note names the kept entry");

  // ">>" with every channel shown would go past the 101 a group holds.
  std::string limitText;
  WhenDialogAppears([&](HWND box) {
    limitText = ItemText(box, 0xFFFF);
    Press(box, IDOK);
  });
  Click(dialog, TDualListDlg::kIncAllBtn);
  CheckEqual("\">>\" past the limit says so", limitText,
             "Eine Gruppe kann h\xF6"
             "chstens 101 Kan\xE4le enthalten.");
  CheckEqual("and moves nothing", SendMessageA(dst, LB_GETCOUNT, 0, 0), 3);

  // The timings of the filter as the user types: what a keystroke costs from
  // the character to the repainted Quell-Liste.
  HWND filter = dialog.Control(TDualListDlg::kFilterEdit);
  SetFocus(filter);
  // Each keystroke with the list's size before and after it.
  const auto keystroke = [&](const std::string& what, const std::string& keys) {
    const LRESULT before = SendMessageA(src, LB_GETCOUNT, 0, 0);
    const double ms = TypeTimed(filter, keys, src);
    Fact("filter " + what + ", " + std::to_string(before) + " to " +
             std::to_string(SendMessageA(src, LB_GETCOUNT, 0, 0)) + " channels, slowest key (ms)",
         std::to_string(ms));
  };
  const std::string full = ListTexts(src);
  keystroke("typed \"sender 1\"", "sender 1");  // in place: each key takes out a few
  keystroke("typed \"2\"", "2");                // most go: a fill from scratch
  keystroke("Backspace", "\b");                 // most come back: a fill from scratch
  keystroke("Backspace 8 times", std::string(8, '\b'));
  Check(ListTexts(src) == full, "taken back, the list is as filled from scratch");
  SendMessageA(filter, EM_SETSEL, 0, -1);
  keystroke("typed \"kanal\"", "kanal");
  SendMessageA(filter, EM_SETSEL, 0, -1);
  keystroke("cleared at once", "\b");
  Check(ListTexts(src) == full, "cleared, the list is as filled from scratch");
  keystroke("typed \"kanal\" again", "kanal");
  CheckEqual("filter \"kanal\"", ListTexts(src),
             "Kanal Kultur  (Funkhaus)  5003,Kanal West  (Nordfunk)  28108,"
             "Kinderkanal  (Funkhaus)  5001");
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  Click(dialog, TDualListDlg::kIncludeBtn);
  SendMessageA(dst, LB_SETSEL, TRUE, 3);
  Click(dialog, TDualListDlg::kUpBtn);
  CheckEqual("moved up", ListTexts(dst, true), "Kanal West  (Nordfunk)  28108");
  CheckEqual("Ziel-Liste after > and Auf", ListTexts(dst),
             "Kanal Nord  (Nordfunk)  28106,Das Erste  (ARD)  101,Kanal West  (Nordfunk)  28108,"
             "Kanal Sued  (Nordfunk)  28107");
  Screenshot(window, screenshot);

  // "<" puts a channel back in its sorted place, as far as the filter shows it.
  SendMessageA(dst, LB_SETSEL, FALSE, -1);
  SendMessageA(dst, LB_SETSEL, TRUE, 2);
  Click(dialog, TDualListDlg::kExcludeBtn);
  CheckEqual("< back into the filtered list", ListTexts(src),
             "Kanal Kultur  (Funkhaus)  5003,Kanal West  (Nordfunk)  28108,"
             "Kinderkanal  (Funkhaus)  5001");
  SendMessageA(src, LB_SETSEL, FALSE, -1);
  SendMessageA(src, LB_SETSEL, TRUE, 1);
  Click(dialog, TDualListDlg::kIncludeBtn);

  Click(dialog, TDualListDlg::kOKBtn);
  CheckEqual("OK wrote once", owner.writes, 1);
  Check(!IsWindowVisible(window), "OK hides the editor");
  CheckEqual("List written", owner.GroupFile().Read("Fav", "List", ""),
             "28106,101,9999,28107,28108");
  DeleteFileA(path.c_str());
}

}  // namespace zp::gallery
