#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// DVB service information as the provider broadcasts it: descriptors and whole
// EIT sections with their CRC, byte for byte.
namespace zp::tssynth {

using Bytes = std::vector<uint8_t>;

inline constexpr uint8_t kEitActualTable = 0x4E;   // present/following, this transport stream
inline constexpr uint8_t kEitOtherTable = 0x4F;    // present/following, another transport stream
inline constexpr size_t kEitHeaderSize = 14;       // table id .. last table id
inline constexpr size_t kEitEventHeaderSize = 12;  // event id .. descriptors loop length
inline constexpr size_t kCrcSize = 4;
inline constexpr size_t kMaxEitSectionSize = 4096;

inline constexpr uint8_t kStuffingTag = 0x42;
inline constexpr uint8_t kLinkageTag = 0x4A;
inline constexpr uint8_t kShortEventTag = 0x4D;
inline constexpr size_t kLinkageFixedSize = 9;  // tag, length, three ids, linkage type
inline constexpr size_t kMaxLinkagePrivateSize = 255 - 7;

// CRC-32/MPEG-2: polynomial 0x04C11DB7, initial value all ones, no reflection,
// no final inversion. Over a whole section including its CRC the result is 0.
uint32_t Crc32Mpeg2(const uint8_t* data, size_t size);

// Each appends one descriptor. Over-long arguments throw std::length_error.
void AppendLinkageDescriptor(Bytes& out, uint16_t transportStreamId, uint16_t originalNetworkId,
                             uint16_t serviceId, uint8_t linkageType, std::string_view privateData);
void AppendShortEventDescriptor(Bytes& out, std::string_view language, std::string_view name,
                                std::string_view text);
// Stuffing descriptors of exactly `size` bytes in all; size 1 cannot be made.
void AppendStuffing(Bytes& out, size_t size);

struct EitHeader {
  uint8_t tableId = kEitActualTable;
  uint16_t serviceId = 0;
  uint8_t version = 1;
  uint8_t sectionNumber = 0;
  uint8_t lastSectionNumber = 1;
  uint16_t transportStreamId = 0;
  uint16_t originalNetworkId = 0;
};

struct EitEvent {
  uint16_t eventId = 0;
  uint16_t startMjd = 0;     // modified Julian date
  uint32_t startSecond = 0;  // seconds after midnight UTC
  uint32_t durationSeconds = 0;
  uint8_t runningStatus = 4;  // 4 running, 1 not running
  Bytes descriptors;
};

// A complete EIT section, CRC included; more than 4096 bytes throw std::length_error.
Bytes BuildEitSection(const EitHeader& header, const std::vector<EitEvent>& events);

}  // namespace zp::tssynth
