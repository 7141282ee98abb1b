// tssynth: writes synthetic transport streams from a description file, and
// summarises any stream. Usage in tools/tssynth/README.md.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tools/common/Text.h"
#include "tools/tssynth/Synthesiser.h"

namespace {

using namespace zp::tssynth;

constexpr const char* kUsage =
    "usage: tssynth DESCRIPTION OUTPUT [--background STREAM] [--spacing N]\n"
    "       tssynth --inspect STREAM\n";

constexpr const char* kMarkerWords[] = {"Direkt", "Portal", "Info T"};

std::string ReadText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Printable form of stream bytes: anything outside ASCII as \xHH.
std::string Shown(const uint8_t* bytes, size_t size) {
  return zp::tools::HexEscaped(std::string_view(reinterpret_cast<const char*>(bytes), size));
}

// Marker descriptors (0xB0 followed by a marker word) and the linkage
// descriptors right behind them, as the section holds them.
void ShowAnnouncements(const Section& section) {
  const Bytes& bytes = section.bytes;
  for (size_t i = 8; i + 7 <= bytes.size(); ++i) {
    if (bytes[i] != 0xB0) continue;
    for (const char* word : kMarkerWords) {
      if (!std::equal(word, word + 6, bytes.begin() + static_cast<ptrdiff_t>(i) + 1)) continue;
      std::printf("marker \"%s\" in the section starting at packet %zu\n", word,
                  section.firstPacket);
      for (size_t at = i - 7 + 1 + bytes[i - 7]; at + 9 <= bytes.size() && bytes[at] == 0x4A;) {
        const size_t end = at + 2 + bytes[at + 1];
        if (end > bytes.size() || end < at + 9) break;
        std::printf("  %5u %s\n", bytes[at + 6] << 8 | bytes[at + 7],
                    Shown(&bytes[at + 9], end - at - 9).c_str());
        at = end;
      }
    }
  }
}

int Inspect(const std::string& path) {
  const Stream stream = ReadStreamFile(path);
  std::printf("%zu packets\n", stream.size());
  struct PidSummary {
    size_t packets = 0;
    size_t breaks = 0;
    int last = -1;
  };
  std::map<uint16_t, PidSummary> pids;
  for (const Packet& packet : stream) {
    PidSummary& pid = pids[PidOf(packet)];
    ++pid.packets;
    if (!CarriesPayload(packet)) continue;
    if (pid.last >= 0 && ContinuityOf(packet) != ((pid.last + 1) & 0x0F)) ++pid.breaks;
    pid.last = ContinuityOf(packet);
  }
  for (const auto& [pid, summary] : pids) {
    std::printf("PID 0x%04X: %zu packets, %zu continuity breaks\n", pid, summary.packets,
                summary.breaks);
  }
  size_t valid = 0;
  const std::vector<Section> sections = ReadSections(stream, kEitPid);
  for (const Section& section : sections) {
    valid += section.CrcValid();
    ShowAnnouncements(section);
  }
  std::printf("EIT: %zu complete sections, %zu with a valid CRC\n", sections.size(), valid);
  for (const Packet& packet : stream) {
    if (packet[1] != 0x49 || packet[2] != 0x97) continue;
    std::printf("info %s: %s\n", Shown(&packet[kInfoIndexOffset], 1).c_str(),
                Shown(&packet[kInfoTextOffset],
                      std::min<size_t>(packet[kInfoLengthOffset] + 1, kMaxInfoTextSize))
                    .c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "--inspect") return Inspect(argv[2]);
    if (argc < 3 || argc % 2 == 0) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    Stream background;
    SynthesisOptions options;
    for (int i = 3; i < argc; i += 2) {
      const std::string option = argv[i];
      if (option == "--background") {
        background = ReadStreamFile(argv[i + 1]);
        options.background = &background;
      } else if (option == "--spacing") {
        options.spacing = std::stoul(argv[i + 1]);
      } else {
        std::fputs(kUsage, stderr);
        return 2;
      }
    }
    const ParseResult parsed = ParseDescription(ReadText(argv[1]));
    if (!parsed.Ok()) {
      std::fprintf(stderr, "%s:%d: %s\n", argv[1], parsed.errorLine, parsed.error.c_str());
      return 1;
    }
    WriteStreamFile(argv[2], Synthesise(parsed.description, options));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tssynth: %s\n", error.what());
    return 1;
  }
}
