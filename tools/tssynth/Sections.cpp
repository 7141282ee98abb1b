#include "tools/tssynth/Sections.h"

#include <stdexcept>

namespace zp::tssynth {

namespace {

void Put16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void Put24(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 16));
  Put16(out, value);
}

void PutText(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }

uint8_t Bcd(uint32_t value) { return static_cast<uint8_t>((value / 10) << 4 | value % 10); }

// hh:mm:ss as six BCD digits, the form of start times and durations.
uint32_t BcdTime(uint32_t seconds) {
  return uint32_t{Bcd(seconds / 3600 % 100)} << 16 | uint32_t{Bcd(seconds / 60 % 60)} << 8 |
         Bcd(seconds % 60);
}

}  // namespace

uint32_t Crc32Mpeg2(const uint8_t* data, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= uint32_t{data[i]} << 24;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000 ? crc << 1 ^ 0x04C11DB7 : crc << 1;
  }
  return crc;
}

void AppendLinkageDescriptor(Bytes& out, uint16_t transportStreamId, uint16_t originalNetworkId,
                             uint16_t serviceId, uint8_t linkageType,
                             std::string_view privateData) {
  if (privateData.size() > kMaxLinkagePrivateSize) {
    throw std::length_error("linkage descriptor: more than 248 private bytes");
  }
  out.push_back(kLinkageTag);
  out.push_back(static_cast<uint8_t>(7 + privateData.size()));
  Put16(out, transportStreamId);
  Put16(out, originalNetworkId);
  Put16(out, serviceId);
  out.push_back(linkageType);
  PutText(out, privateData);
}

void AppendShortEventDescriptor(Bytes& out, std::string_view language, std::string_view name,
                                std::string_view text) {
  const size_t length = 3 + 1 + name.size() + 1 + text.size();
  if (language.size() != 3 || length > 255) {
    throw std::length_error("short event descriptor: name and text longer than 250 bytes");
  }
  out.push_back(kShortEventTag);
  out.push_back(static_cast<uint8_t>(length));
  PutText(out, language);
  out.push_back(static_cast<uint8_t>(name.size()));
  PutText(out, name);
  out.push_back(static_cast<uint8_t>(text.size()));
  PutText(out, text);
}

void AppendStuffing(Bytes& out, size_t size) {
  if (size == 1) throw std::invalid_argument("stuffing: a descriptor has at least two bytes");
  while (size > 0) {
    // Never leave a single byte over for the last descriptor.
    size_t part = size > 257 ? (size - 257 == 1 ? 255 : 257) : size;
    out.push_back(kStuffingTag);
    out.push_back(static_cast<uint8_t>(part - 2));
    out.insert(out.end(), part - 2, 0xFF);
    size -= part;
  }
}

Bytes BuildEitSection(const EitHeader& header, const std::vector<EitEvent>& events) {
  Bytes section;
  section.push_back(header.tableId);
  Put16(section, 0);  // syntax indicator and length, filled in below
  Put16(section, header.serviceId);
  section.push_back(static_cast<uint8_t>(0xC1 | (header.version & 0x1F) << 1));  // current
  section.push_back(header.sectionNumber);
  section.push_back(header.lastSectionNumber);
  Put16(section, header.transportStreamId);
  Put16(section, header.originalNetworkId);
  section.push_back(header.lastSectionNumber);  // segment last section number
  section.push_back(header.tableId);            // last table id
  for (const EitEvent& event : events) {
    if (event.descriptors.size() > 0x0FFF)
      throw std::length_error("EIT event: descriptors too long");
    Put16(section, event.eventId);
    Put16(section, event.startMjd);
    Put24(section, BcdTime(event.startSecond));
    Put24(section, BcdTime(event.durationSeconds));
    Put16(section,
          uint32_t{event.runningStatus} << 13 | static_cast<uint32_t>(event.descriptors.size()));
    section.insert(section.end(), event.descriptors.begin(), event.descriptors.end());
  }
  const size_t total = section.size() + kCrcSize;
  if (total > kMaxEitSectionSize) throw std::length_error("EIT section longer than 4096 bytes");
  const size_t length = total - 3;
  section[1] = static_cast<uint8_t>(0xF0 | length >> 8);  // syntax 1, reserved bits set
  section[2] = static_cast<uint8_t>(length);
  const uint32_t crc = Crc32Mpeg2(section.data(), section.size());
  Put16(section, crc >> 16);
  Put16(section, crc & 0xFFFF);
  return section;
}

}  // namespace zp::tssynth
