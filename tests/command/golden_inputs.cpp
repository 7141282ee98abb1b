// Writes the inputs of zpinspect's golden tests into a folder, the same bytes
// on every run: the real capture as it is and damaged, synthetic streams with
// the portals (cut, resynchronised, of 192- and 204-byte packets, with an
// announcement beyond the module's window) and dumps that the module's own
// dump code writes (after a full capture, after a partial one, with a bad record).
//
//   golden_inputs REAL_CAPTURE OUTPUT_DIR
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>

#include "feed/CaptureDump.h"
#include "feed/PacketCapture.h"
#include "tools/tssynth/Synthesiser.h"

namespace {

namespace ts = zp::tssynth;
constexpr size_t kPacket = zp::kTsPacketSize;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

std::string Synthesise(const std::string& description) {
  const ts::ParseResult parsed = ts::ParseDescription(description);
  if (!parsed.Ok()) throw std::runtime_error("description: " + parsed.error);
  std::string bytes;
  for (const ts::Packet& packet : ts::Synthesise(parsed.description)) {
    bytes.append(packet.begin(), packet.end());
  }
  return bytes;
}

// Delivers a stream's packets to the capture until `sections` section packets went in.
void Deliver(zp::PacketCapture& capture, const std::string& stream, int sections) {
  for (size_t at = 0; at + kPacket <= stream.size() && sections > 0; at += kPacket) {
    const auto* packet = reinterpret_cast<const uint8_t*>(stream.data() + at);
    sections -= zp::IsSectionPacket(packet) ? 1 : 0;
    capture.OnPacket(packet);
  }
}

class FailOnError : public zp::ErrorBox {
 public:
  void ShowError(const std::string& text, const std::string&) override {
    throw std::runtime_error(text);
  }
};

void Dump(const std::string& path, const zp::PacketCapture& capture) {
  FailOnError errors;
  zp::DumpCaptureBuffers(path, capture, errors);
}

// Each packet with a 4-byte arrival time stamp before it, or 16 parity bytes after it.
std::string Framed(const std::string& stream, int size) {
  std::string out;
  uint32_t clock = 0x47000000;  // its first byte looks like a sync byte
  for (size_t at = 0; at + kPacket <= stream.size(); at += kPacket) {
    clock += 0x9A3D1;
    if (size == 192) {
      for (const int shift : {24, 16, 8, 0}) out += static_cast<char>(clock >> shift);
    }
    out += stream.substr(at, kPacket);
    for (int i = 0; size == 204 && i < 16; ++i) out += static_cast<char>((clock >> i) ^ (i * 37));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: golden_inputs REAL_CAPTURE OUTPUT_DIR\n", stderr);
    return 2;
  }
  try {
    const std::string real = ReadFile(argv[1]);
    const std::string out = std::string(argv[2]) + "/";
    const std::string portal = Synthesise(ReadFile(ZP_TSSYNTH_SAMPLES_DIR "/portal.tsd"));

    WriteFile(out + "astra.ts", real);
    std::string bad = real;
    bad[186 * kPacket] = 0x00;  // one bad packet after 186 good ones
    WriteFile(out + "astra-bad-sync.ts", bad);
    WriteFile(out + "astra-first-1000-bytes.ts", real.substr(0, 1000));

    WriteFile(out + "portal.ts", portal);
    WriteFile(out + "portal-cut.ts", portal.substr(0, 100'000));
    // Junk before the first packet, 20 bytes lost inside packet 300, and 45
    // bytes of junk (starting with a sync byte) between packets 600 and 601.
    std::string resync = portal;
    resync.insert(601 * kPacket, "\x47junk" + std::string(40, '\x47'));
    resync.erase(300 * kPacket + 50, 20);
    resync.insert(0, std::string("\x12\x47\x00", 3) + std::string(96, '\x33'));
    WriteFile(out + "portal-resync.ts", resync);
    // The last Direkt channel's descriptor made a Sport marker (linkage type
    // 0xB0 and the marker word): the module reads it as a channel all the same.
    std::string markerInList = portal;
    const size_t name = markerInList.find("D 9 Klassiker");
    if (name == std::string::npos || name % kPacket < 9) throw std::runtime_error("no D 9");
    markerInList[name - 1] = '\xB0';
    markerInList.replace(name, 6, "Portal");
    WriteFile(out + "portal-marker-in-list.ts", markerInList);
    WriteFile(out + "portal-192.m2ts", Framed(portal, 192));
    WriteFile(out + "portal-204.ts", Framed(portal, 204));
    WriteFile(out + "portal-late.ts",
              Synthesise("eit 120\nportal 17 Portal Sport\nentry 401 Sport 1\neit 500\n"
                         "portal 18 Direkt Portal\nentry 301 D 1 Sp\\xE4tfilm\n"
                         "entry 302 D 2 Nachtfilm\neit 20\n"));

    auto capture = std::make_unique<zp::PacketCapture>();
    Deliver(*capture, portal, 1 << 30);  // all of it: the capture keeps what it keeps
    Dump(out + "dump-full.dump", *capture);
    std::string badRecord = ReadFile(out + "dump-full.dump");
    badRecord.replace(1500 * kPacket, 4, "junk");
    WriteFile(out + "dump-bad-record.dump", badRecord);

    // An older capture of real EIT, then a scan that stored 62 section packets
    // and ended inside the Direkt list of the portal transponder.
    capture = std::make_unique<zp::PacketCapture>();
    Deliver(*capture, real, zp::kSectionPacketsPerScan);
    capture->Reset();
    Deliver(*capture, Synthesise("eit 60\nportal 18 Direkt Portal\nentries 30 700 Kanal\n"), 62);
    Dump(out + "dump-partial.dump", *capture);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "golden_inputs: %s\n", error.what());
    return 1;
  }
  return 0;
}
