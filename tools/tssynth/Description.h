#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What a synthetic stream holds, in stream order, as read from a description
// file (format in tools/tssynth/README.md).
namespace zp::tssynth {

struct LinkageEntry {
  uint16_t serviceId = 0;
  std::string name;  // bytes as they go on air
};

// One portal announcement: an EIT event whose descriptor loop holds the marker
// descriptor (a linkage descriptor of type 0xB0 whose private data begin with
// the marker word), one linkage descriptor per channel, and a short event
// descriptor that ends the list.
struct Announcement {
  uint16_t serviceId = 0;  // the portal channel
  std::string text;        // e.g. "Direkt Portal"; the first six bytes are the marker word
  std::vector<LinkageEntry> entries;
  int markerOffset = -1;         // packet byte offset (4..187) of the 0xB0 byte; -1: wherever
  bool breakContinuity = false;  // the packet after the one holding 0xB0 skips a counter value
};

struct InfoItem {
  char index = '0';
  std::string text;
};

struct EitBatch {
  int count = 0;  // ordinary EIT sections of other services
};

struct FillerBatch {
  int count = 0;  // packets of other PIDs
};

using Item = std::variant<Announcement, InfoItem, EitBatch, FillerBatch>;

struct Description {
  int repeat = 1;  // the whole item list is written this many times
  std::vector<Item> items;
};

struct ParseResult {
  Description description;
  std::string error;  // empty when the text was understood
  int errorLine = 0;
  bool Ok() const { return error.empty(); }
};

ParseResult ParseDescription(std::string_view text);

}  // namespace zp::tssynth
