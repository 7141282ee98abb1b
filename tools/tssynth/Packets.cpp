#include "tools/tssynth/Packets.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace zp::tssynth {

namespace {

constexpr size_t kFirstSectionOffset = kHeaderSize + 1;  // after the pointer field
constexpr size_t kFirstPacketRoom = kPacketSize - kFirstSectionOffset;

Packet Header(uint16_t pid, bool unitStart) {
  Packet packet;
  packet.fill(0xFF);
  packet[0] = kSyncByte;
  packet[1] = static_cast<uint8_t>((unitStart ? 0x40 : 0x00) | (pid >> 8 & 0x1F));
  packet[2] = static_cast<uint8_t>(pid);
  packet[3] = 0x10;  // payload only
  return packet;
}

size_t SectionLength(const Bytes& bytes) { return 3 + ((size_t{bytes[1]} & 0x0F) << 8 | bytes[2]); }

}  // namespace

uint16_t PidOf(const Packet& packet) {
  return static_cast<uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
}
bool StartsPayloadUnit(const Packet& packet) { return (packet[1] & 0x40) != 0; }
bool CarriesPayload(const Packet& packet) { return (packet[3] & 0x10) != 0; }
uint8_t ContinuityOf(const Packet& packet) { return packet[3] & 0x0F; }

PacketPosition SectionBytePosition(size_t index) {
  if (index < kFirstPacketRoom) return {0, kFirstSectionOffset + index};
  const size_t rest = index - kFirstPacketRoom;
  return {1 + rest / kPayloadSize, kHeaderSize + rest % kPayloadSize};
}

Stream PacketiseSection(uint16_t pid, const Bytes& section) {
  Stream packets;
  for (size_t index = 0; index < section.size();) {
    const PacketPosition at = SectionBytePosition(index);
    if (at.packet == packets.size()) {
      packets.push_back(Header(pid, at.packet == 0));
      if (at.packet == 0) packets.back()[kHeaderSize] = 0;  // pointer field
    }
    const size_t count = std::min(kPacketSize - at.offset, section.size() - index);
    std::copy_n(section.begin() + static_cast<ptrdiff_t>(index), count,
                packets.back().begin() + static_cast<ptrdiff_t>(at.offset));
    index += count;
  }
  return packets;
}

Packet InfoPacket(char index, std::string_view text) {
  if (text.empty() || text.size() > kMaxInfoTextSize) {
    throw std::length_error("information text: 1 to 147 bytes");
  }
  Packet packet = Header(kInfoPid, true);
  // A user-private section without CRC carries the text: pointer field, table
  // id, length; the bytes the module does not read are zero.
  const size_t end = kInfoTextOffset + text.size();
  const size_t length = end - (kHeaderSize + 4);
  std::fill(packet.begin() + kHeaderSize, packet.begin() + static_cast<ptrdiff_t>(end), 0);
  packet[5] = 0x90;
  packet[6] = static_cast<uint8_t>(0x70 | length >> 8);
  packet[7] = static_cast<uint8_t>(length);
  packet[kInfoIndexOffset] = static_cast<uint8_t>(index);
  packet[kInfoLengthOffset] = static_cast<uint8_t>(text.size() - 1);
  std::copy(text.begin(), text.end(), packet.begin() + kInfoTextOffset);
  return packet;
}

Packet FillerPacket(uint16_t pid, uint32_t seed) {
  Packet packet = Header(pid, false);
  if (pid == kNullPid) return packet;
  uint32_t state = seed * 2654435761u + 1;
  for (size_t i = kHeaderSize; i < kPacketSize; ++i) {
    state = state * 1664525u + 1013904223u;
    packet[i] = static_cast<uint8_t>(state >> 24);
  }
  return packet;
}

void StreamWriter::Put(Packet packet) {
  const uint16_t pid = PidOf(packet);
  // A packet without payload repeats the counter of the one before it.
  uint8_t counter = static_cast<uint8_t>((next_[pid] + 15) & 0x0F);
  if (CarriesPayload(packet)) {
    if (skip_[pid]) next_[pid] = static_cast<uint8_t>((next_[pid] + 1) & 0x0F);
    skip_[pid] = false;
    counter = next_[pid];
    next_[pid] = static_cast<uint8_t>((counter + 1) & 0x0F);
  }
  packet[3] = static_cast<uint8_t>((packet[3] & 0xF0) | counter);
  packets_.push_back(packet);
}

Stream StreamFromBytes(const uint8_t* data, size_t size) {
  if (size % kPacketSize != 0) throw std::runtime_error("stream size is not a multiple of 188");
  Stream stream(size / kPacketSize);
  for (size_t i = 0; i < stream.size(); ++i) {
    std::copy_n(data + i * kPacketSize, kPacketSize, stream[i].begin());
    if (stream[i][0] != kSyncByte) {
      throw std::runtime_error("packet " + std::to_string(i) + " has no sync byte");
    }
  }
  return stream;
}

Stream ReadStreamFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open " + path);
  const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  return StreamFromBytes(bytes.data(), bytes.size());
}

void WriteStreamFile(const std::string& path, const Stream& stream) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  for (const Packet& packet : stream) {
    file.write(reinterpret_cast<const char*>(packet.data()), kPacketSize);
  }
  file.close();
  if (!file) throw std::runtime_error("cannot write " + path);
}

bool Section::CrcValid() const { return Crc32Mpeg2(bytes.data(), bytes.size()) == 0; }

std::vector<Section> ReadSections(const Stream& stream, uint16_t pid) {
  std::vector<Section> sections;
  Section current;
  bool collecting = false;
  int lastCounter = -1;

  // Takes payload bytes [from, to) of a packet into the section in progress.
  auto collect = [&](const Packet& packet, size_t from, size_t to) {
    while (collecting && from < to) {
      Bytes& bytes = current.bytes;
      const size_t want = bytes.size() < 3 ? 3 : SectionLength(bytes);
      const size_t count = std::min(want - bytes.size(), to - from);
      bytes.insert(bytes.end(), packet.begin() + static_cast<ptrdiff_t>(from),
                   packet.begin() + static_cast<ptrdiff_t>(from + count));
      from += count;
      if (bytes.size() >= 3 && bytes.size() == SectionLength(bytes)) {
        sections.push_back(std::move(current));
        current = {};
        collecting = false;
      }
    }
    return from;
  };

  for (size_t i = 0; i < stream.size(); ++i) {
    const Packet& packet = stream[i];
    if (PidOf(packet) != pid || !CarriesPayload(packet)) continue;
    const int counter = ContinuityOf(packet);
    if (lastCounter >= 0 && counter != ((lastCounter + 1) & 0x0F)) collecting = false;
    lastCounter = counter;
    if (!StartsPayloadUnit(packet)) {
      collect(packet, kHeaderSize, kPacketSize);
      continue;
    }
    const size_t start = kFirstSectionOffset + packet[kHeaderSize];
    if (start > kPacketSize) {
      collecting = false;
      continue;
    }
    collect(packet, kFirstSectionOffset, start);
    collecting = false;  // whatever was not complete by the pointer is lost
    // Further sections start in this packet until stuffing (table id 0xFF).
    for (size_t at = start; at < kPacketSize && packet[at] != 0xFF;) {
      current = {i, {}};
      collecting = true;
      at = collect(packet, at, kPacketSize);
    }
  }
  return sections;
}

}  // namespace zp::tssynth
