#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "feed/PacketCapture.h"
#include "settings/PortableProfileFile.h"
#include "support/RecordingHost.h"
#include "ui/FakeTree.h"
#include "ui/MainForm.h"
#include "ui/RescanTimer.h"

namespace zp::test {

// The main window around the form: records what the logic asks of it.
class FakeShell : public FormShell {
 public:
  int32_t TreeColor() const override { return color; }
  void SetTreeColor(int32_t value) override { color = value; }
  FontSpec TreeFont() const override { return font; }
  void SetTreeFont(const FontSpec& value) override { font = value; }
  void SetTimerMenu(bool checked, int32_t intervalSeconds) override {
    timerChecked = checked;
    timerCaption = TimerMenuCaption(intervalSeconds);
  }
  void SetRescanTimer(uint32_t intervalMs, bool enabled) override {
    rescanMs = intervalMs;
    rescanOn = enabled;
  }
  WindowGeometry Bounds() const override { return bounds; }
  void SetBounds(const WindowGeometry& value) override { bounds = value; }
  std::vector<ScreenRect> MonitorWorkAreas() const override { return workAreas; }
  void CloseForm() override {
    form->FormClose();
    visible = false;
  }
  void SetScanTimer(bool enabled) override { scanTimerOn = enabled; }
  void DisableRescanTimer() override { rescanOn = false; }
  bool TimerMenuChecked() const override { return timerChecked; }
  void SetStatus(const char* text) override { status = text; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void OpenGroupEditor(const std::string& section) override { editorOpenedOn.push_back(section); }

  MainForm* form = nullptr;
  int32_t color = static_cast<int32_t>(0xFF000005);  // clWindow
  FontSpec font;
  bool timerChecked = false;
  std::string timerCaption = "Timer";
  uint32_t rescanMs = 0;
  bool rescanOn = false;
  WindowGeometry bounds{160, 256, 672, 228};
  std::vector<ScreenRect> workAreas;  // none: the saved geometry as it is
  bool visible = true;
  bool scanTimerOn = false;
  std::string status;
  std::vector<std::string> messages;
  std::vector<std::string> editorOpenedOn;
};

// One portal announcement as the provider sends it.
struct Portal {
  std::string
      text;  // begins with the marker word: "Direkt Portal", "Portal Sport", "Info TV Erotik"
  std::vector<std::pair<uint16_t, std::string>> channels;
};

// PID 0x0012 packets whose payload carries the announcements one after the
// other: marker descriptor, one linkage descriptor per channel, end descriptor.
inline std::vector<TsPacket> AnnouncementPackets(const std::vector<Portal>& portals) {
  std::vector<uint8_t> payload;
  for (const Portal& portal : portals) {
    const std::vector<uint8_t> marker = {
        0x4A, static_cast<uint8_t>(7 + portal.text.size()), 0, 1, 0, 2, 0, 3, 0xB0};
    payload.insert(payload.end(), marker.begin(), marker.end());
    payload.insert(payload.end(), portal.text.begin(), portal.text.end());
    for (const auto& [sid, name] : portal.channels) {
      const std::vector<uint8_t> linkage = {0x4A,
                                            static_cast<uint8_t>(7 + name.size()),
                                            0x04,
                                            0x01,
                                            0x00,
                                            0x85,
                                            static_cast<uint8_t>(sid >> 8),
                                            static_cast<uint8_t>(sid & 0xFF),
                                            0x01};
      payload.insert(payload.end(), linkage.begin(), linkage.end());
      payload.insert(payload.end(), name.begin(), name.end());
    }
    payload.insert(payload.end(), {0x4D, 0x00});
  }
  std::vector<TsPacket> packets;
  for (size_t at = 0, cc = 0; at < payload.size(); at += kTsPacketSize - 4, ++cc) {
    TsPacket packet{};
    packet[0] = 0x47;
    packet[1] = 0x40;
    packet[2] = 0x12;
    packet[3] = static_cast<uint8_t>(0x10 | (cc & 0x0F));
    const size_t n = std::min(payload.size() - at, kTsPacketSize - 4);
    std::memcpy(packet.data() + 4, payload.data() + at, n);
    packets.push_back(packet);
  }
  return packets;
}

inline TsPacket InfoTextPacket(char index, const std::string& text) {
  TsPacket packet{};
  packet[0] = 0x47;
  packet[1] = 0x49;
  packet[2] = 0x97;
  packet[3] = 0x10;
  packet[29] = static_cast<uint8_t>(index);
  packet[40] = static_cast<uint8_t>(text.size() - 1);
  std::memcpy(packet.data() + 41, text.data(), text.size());
  return packet;
}

class MainFormTest : public ::testing::Test {
 protected:
  static std::string TempSettingsPath() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "zp_" + info->test_suite_name() + "_" + info->name() + ".ini";
  }

  void SetUp() override {
    std::remove(path.c_str());
    shell.form = form.get();
    form->SetChannelTable(table.get());
    form->FormCreate();
    AddChannel(3, 18, "Portal");
    AddChannel(5, 1001, "Das Erste");
    AddChannel(6, 1002, "ZDF");
    AddChannel(7, 1003, "arte");
    AddChannel(8, 401, "Sport 1 HD");
  }
  void TearDown() override { std::remove(path.c_str()); }

  void WriteSettings(const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  std::string Setting(const std::string& section, const std::string& key) {
    return PortableProfileFile(path).Read(section, key, "<none>");
  }
  void AddChannel(int position, uint16_t sid, const std::string& name) {
    HostChannelRecord& record = table->Records[position];
    record.dwFreq = 12480;
    record.ChType = 1;
    record.wSID = sid;
    std::memcpy(record.ChName, name.data(), std::min<size_t>(name.size(), 32));
  }
  void Feed(const std::vector<TsPacket>& packets) {
    for (const TsPacket& packet : packets) capture->OnPacket(packet.data());
  }
  // A capture of the provider's transponder: three portals and two info texts.
  void FeedPortals(bool withErotikChannels = true) {
    capture->Reset();
    Portal erotik{"Info TV Erotik", {}};
    if (withErotikChannels) erotik.channels = {{521, "Nachtkino 1"}};
    Feed(AnnouncementPackets({{"Direkt Portal", {{300, "D 0 Vorschau"}, {303, "D 3 Kinohits"}}},
                              {"Portal Sport", {{401, "Sport 1"}}},
                              erotik}));
    Feed({InfoTextPacket('0', "Alle Filme"), InfoTextPacket('3', "Lola rennt")});
  }
  // A capture of another transponder: every slot a scan can reach holds other data.
  void FeedNothing() {
    capture->Reset();
    TsPacket blank{};
    blank[0] = 0x47;
    blank[2] = 0x12;
    for (int i = 0; i < 500; ++i) capture->OnPacket(blank.data());
  }
  TreeNode Node(const std::string& caption) const { return tree.Find(caption); }

  std::string path = TempSettingsPath();
  FakeTree tree;
  FakeShell shell;
  PortableProfileFile file{path};
  RecordingHost host;
  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
  PortalLists lists;
  std::unique_ptr<HostChannelTable> table = std::make_unique<HostChannelTable>();
  std::unique_ptr<MainForm> form =
      std::make_unique<MainForm>(MainFormParts{tree, shell, file, host, *capture, lists, nullptr});
};

}  // namespace zp::test
