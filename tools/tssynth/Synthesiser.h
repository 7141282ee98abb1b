#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/tssynth/Description.h"
#include "tools/tssynth/Packets.h"
#include "tools/tssynth/Sections.h"

// Turns a description into a transport stream, on its own or interleaved with
// a real capture.
namespace zp::tssynth {

// The provider's network as the synthetic announcements give it.
inline constexpr uint16_t kProviderNetworkId = 0x0085;
inline constexpr uint16_t kProviderStreamId = 0x0002;
inline constexpr uint8_t kMarkerLinkageType = 0xB0;
inline constexpr uint8_t kChannelLinkageType = 0x80;  // user defined
inline constexpr uint16_t kAnnouncementMjd = 53812;   // 18 March 2006

// The EIT section of one announcement and the index of its 0xB0 byte; stuffing
// in front of the marker descriptor puts that byte at the requested offset.
struct AnnouncementSection {
  Bytes bytes;
  size_t markerIndex = 0;
};
AnnouncementSection BuildAnnouncementSection(const Announcement& announcement, uint16_t eventId);

struct SynthesisOptions {
  // Real packets to interleave with, kept in their order; only their
  // continuity counters are renumbered. Null: the description alone.
  const Stream* background = nullptr;
  // Background packets between two synthetic items; 0 spreads the items evenly.
  size_t spacing = 0;
};

// Throws std::length_error when an announcement does not fit one EIT section.
Stream Synthesise(const Description& description, const SynthesisOptions& options = {});

}  // namespace zp::tssynth
