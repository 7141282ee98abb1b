#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/tssynth/Sections.h"

// 188-byte transport-stream packets: how sections, information texts and filler
// are carried, continuity counters per PID, and reading sections back.
namespace zp::tssynth {

inline constexpr size_t kPacketSize = 188;
inline constexpr size_t kHeaderSize = 4;
inline constexpr size_t kPayloadSize = kPacketSize - kHeaderSize;
inline constexpr uint8_t kSyncByte = 0x47;
inline constexpr uint16_t kEitPid = 0x0012;
inline constexpr uint16_t kInfoPid = 0x0997;
inline constexpr uint16_t kFillerPid = 0x0100;
inline constexpr uint16_t kNullPid = 0x1FFF;
inline constexpr size_t kPidCount = 0x2000;

// Information packet layout: what the module reads from a PID 0x0997 packet.
inline constexpr size_t kInfoIndexOffset = 29;
inline constexpr size_t kInfoLengthOffset = 40;
inline constexpr size_t kInfoTextOffset = 41;
inline constexpr size_t kMaxInfoTextSize = kPacketSize - kInfoTextOffset;

using Packet = std::array<uint8_t, kPacketSize>;
using Stream = std::vector<Packet>;

uint16_t PidOf(const Packet& packet);
bool StartsPayloadUnit(const Packet& packet);
bool CarriesPayload(const Packet& packet);
uint8_t ContinuityOf(const Packet& packet);

// Where byte `index` of a section lands in PacketiseSection's packets.
struct PacketPosition {
  size_t packet;
  size_t offset;  // 4..187
};
PacketPosition SectionBytePosition(size_t index);

// The packets of one section: the first starts the payload unit with pointer
// field 0, so the section begins at its byte 5; the last is padded with 0xFF.
// Continuity counters are left to the StreamWriter.
Stream PacketiseSection(uint16_t pid, const Bytes& section);
// An information packet: byte 1 = 0x49, byte 2 = 0x97, the index character at
// byte 29, the text length minus one at byte 40, the text (1..147 bytes) from byte 41.
Packet InfoPacket(char index, std::string_view text);
// Payload the module never looks at: scrambled-looking bytes on kFillerPid, or
// a null packet. `seed` makes each one different and reproducible.
Packet FillerPacket(uint16_t pid, uint32_t seed);

// Collects packets in stream order and numbers the continuity counter of every
// packet per PID, whatever the packet carried before: 0, 1, ..., 15, 0, ...
class StreamWriter {
 public:
  void Put(Packet packet);
  // The next payload packet of this PID jumps one value, as after a lost packet.
  void BreakContinuity(uint16_t pid) { skip_[pid] = true; }
  const Stream& Packets() const { return packets_; }
  Stream Take() { return std::move(packets_); }

 private:
  std::array<uint8_t, kPidCount> next_{};
  std::array<bool, kPidCount> skip_{};
  Stream packets_;
};

// Splits raw bytes into packets; throws std::runtime_error unless every packet
// starts with the sync byte and the size is a multiple of 188.
Stream StreamFromBytes(const uint8_t* data, size_t size);
Stream ReadStreamFile(const std::string& path);
void WriteStreamFile(const std::string& path, const Stream& stream);

// One section reassembled from the packets of a PID.
struct Section {
  size_t firstPacket = 0;  // index in the stream of the packet where it starts
  Bytes bytes;
  bool CrcValid() const;
};
// Follows pointer fields and section lengths across packets; a continuity
// break drops the section in progress.
std::vector<Section> ReadSections(const Stream& stream, uint16_t pid);

}  // namespace zp::tssynth
