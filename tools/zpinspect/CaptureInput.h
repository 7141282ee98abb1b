#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "feed/PacketCapture.h"
#include "feed/Portals.h"

// Reads what zpinspect is given, a capture dump or a transport stream, and
// replays its packets through the module's own packet callback, so that the
// capture holds what the module would hold. A stream is read through damage,
// as transport-stream tools do: lost sync is found again, a cut last packet is
// dropped, and the report says where.
namespace zp::inspect {

enum class InputKind { Dump, Stream };

// A file without a single packet in it. The message says what is wrong, for a person.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Something a person should know about the input, with an identifier that
// scripts can rely on.
struct Note {
  std::string id;  // snake_case, stable
  std::string text;
};

// Bytes that are no packet: where the stream lost its sync, and how many
// bytes there are up to the next run of sync bytes.
struct SkippedBytes {
  uint64_t offset = 0;
  uint64_t count = 0;
  uint64_t afterPacket = 0;  // the number of packets read before them
};

// How a stream's bytes were read into packets.
struct StreamReading {
  // From the spacing of the sync bytes: 188, or 192 (a 4-byte time stamp
  // before each packet, as in .m2ts recordings) or 204 (16 parity bytes after it).
  int packetSize = static_cast<int>(kTsPacketSize);
  uint64_t firstPacket = 0;         // the file offset of the first packet's sync byte
  uint64_t leadingBytes = 0;        // bytes before the first packet that belong to none
  std::vector<SkippedBytes> skips;  // the first few places where sync was lost
  uint64_t skipCount = 0;
  uint64_t skippedBytes = 0;  // leading bytes included
  // A last packet cut short by the end of the file: where it starts, and its bytes.
  uint64_t cutOffset = 0;
  uint64_t cutBytes = 0;
};

// A marker that lies past the module's window of section packets.
struct LaterMarker {
  bool found = false;
  uint64_t sectionPacket = 0;  // counted from 0, among the file's section packets
  uint64_t fileOffset = 0;     // of the packet that holds its 0xB0 byte
};

struct PidCount {
  int pid = 0;
  uint64_t packets = 0;
};

struct LoadedCapture {
  InputKind kind = InputKind::Stream;
  uint64_t fileSize = 0;
  // Stream: every packet in the file; dump: the records read.
  uint64_t packetsRead = 0;
  // Stream: the packets delivered to the module until its capture was complete.
  uint64_t packetsCaptured = 0;
  StreamReading reading;
  // Stream: packets per PID over the whole file, most first.
  std::vector<PidCount> pids;
  uint64_t sectionPacketsInFile = 0;
  uint64_t infoPacketsInFile = 0;  // PID 0x0997 packets that the module takes as information
  // Table ids of the sections that start a section packet, and how many.
  std::vector<std::pair<int, uint64_t>> sectionTables;
  // Stream: per portal, the first marker past the module's window.
  std::array<LaterMarker, kListKindCount> later;
  std::unique_ptr<PacketCapture> capture = std::make_unique<PacketCapture>();
  std::vector<Note> notes;
};

// A dump is told from a stream by its size and by the records the module
// never writes, which are empty. Throws InputError.
LoadedCapture ReadCapture(std::istream& in);

}  // namespace zp::inspect
