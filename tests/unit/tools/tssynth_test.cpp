#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/tssynth/Synthesiser.h"

namespace {

using namespace zp::tssynth;

Description Parse(std::string_view text) {
  const ParseResult result = ParseDescription(text);
  EXPECT_TRUE(result.Ok()) << "line " << result.errorLine << ": " << result.error;
  return result.description;
}

constexpr const char* kMixed = R"(
repeat 3
eit 12
portal 18 Direkt Portal
entry 301 D 1 Blockbuster
entries 12 600 Kanal
info 1 Heute 20:15 Uhr
filler 20
portal 17 Portal Sport
entry 401 Sport 1 Bundesliga
)";

// The descriptors of an event loop as (tag, body) pairs.
std::vector<std::pair<uint8_t, Bytes>> Descriptors(const Bytes& loop) {
  std::vector<std::pair<uint8_t, Bytes>> descriptors;
  for (size_t at = 0; at + 2 <= loop.size(); at += 2 + loop[at + 1]) {
    descriptors.push_back(
        {loop[at], Bytes(loop.begin() + at + 2, loop.begin() + at + 2 + loop[at + 1])});
  }
  return descriptors;
}

TEST(Crc32Mpeg2, HasTheStandardCheckValueAndVerifiesWholeSections) {
  const std::string check = "123456789";
  EXPECT_EQ(0x0376E6E7u, Crc32Mpeg2(reinterpret_cast<const uint8_t*>(check.data()), check.size()));

  const std::vector<Section> sections = ReadSections(Synthesise(Parse(kMixed)), kEitPid);
  ASSERT_EQ(3u * (12 + 2), sections.size());
  for (const Section& section : sections) EXPECT_TRUE(section.CrcValid());
  Section corrupt = sections.front();
  corrupt.bytes[20] ^= 0x04;
  EXPECT_FALSE(corrupt.CrcValid());
}

TEST(StreamWriter, NumbersContinuityPerPidAndBreaksOnlyWhereAsked) {
  const Stream stream = Synthesise(Parse(kMixed));
  std::vector<int> next(kPidCount, 0);
  size_t eitPackets = 0;
  for (const Packet& packet : stream) {
    const uint16_t pid = PidOf(packet);
    ASSERT_EQ(next[pid], ContinuityOf(packet)) << "PID " << pid;
    next[pid] = (next[pid] + 1) & 0x0F;
    eitPackets += pid == kEitPid;
  }
  EXPECT_GT(eitPackets, 32u);  // the counter wrapped at least twice

  Description broken = Parse(kMixed);
  std::get<Announcement>(broken.items[1]).breakContinuity = true;
  const Stream withBreak = Synthesise(broken);
  std::vector<size_t> breaks;  // indices, among the EIT packets, of the packets after a jump
  std::vector<Packet> eit;
  for (const Packet& packet : withBreak) {
    if (PidOf(packet) != kEitPid) continue;
    if (!eit.empty() && ContinuityOf(packet) != ((ContinuityOf(eit.back()) + 1) & 0x0F)) {
      EXPECT_EQ((ContinuityOf(eit.back()) + 2) & 0x0F, ContinuityOf(packet));
      breaks.push_back(eit.size());
    }
    eit.push_back(packet);
  }
  ASSERT_EQ(3u, breaks.size());  // once per round, right after the packet holding the marker
  const uint8_t marker[] = {0xB0, 'D', 'i', 'r', 'e', 'k', 't'};
  for (size_t after : breaks) {
    const Packet& packet = eit[after - 1];
    EXPECT_NE(packet.end(),
              std::search(packet.begin(), packet.end(), std::begin(marker), std::end(marker)));
  }
}

TEST(AnnouncementSection, ParsesBackToMarkerLinkagesAndAClosingDescriptor) {
  const Description description = Parse(kMixed);
  const std::vector<Section> sections = ReadSections(Synthesise(description), kEitPid);
  const Bytes& bytes = sections[12].bytes;  // after the ordinary sections of the first round
  ASSERT_EQ(kEitActualTable, bytes[0]);
  EXPECT_EQ(bytes.size(), 3u + ((bytes[1] & 0x0F) << 8 | bytes[2]));
  EXPECT_EQ(18, bytes[3] << 8 | bytes[4]);
  const size_t loopLength = (bytes[24] & 0x0F) << 8 | bytes[25];
  ASSERT_EQ(bytes.size(), 26 + loopLength + kCrcSize);  // a single event
  const auto descriptors =
      Descriptors(Bytes(bytes.begin() + 26, bytes.begin() + 26 + static_cast<long>(loopLength)));

  const Announcement& announcement = std::get<Announcement>(description.items[1]);
  ASSERT_EQ(announcement.entries.size() + 2, descriptors.size());
  const auto& [markerTag, marker] = descriptors.front();
  EXPECT_EQ(kLinkageTag, markerTag);
  EXPECT_EQ(kMarkerLinkageType, marker[6]);
  EXPECT_EQ("Direkt Portal", std::string(marker.begin() + 7, marker.end()));
  for (size_t i = 0; i < announcement.entries.size(); ++i) {
    const auto& [tag, body] = descriptors[i + 1];
    EXPECT_EQ(kLinkageTag, tag);
    EXPECT_EQ(announcement.entries[i].serviceId, body[4] << 8 | body[5]);
    EXPECT_EQ(announcement.entries[i].name, std::string(body.begin() + 7, body.end()));
  }
  EXPECT_EQ(kShortEventTag, descriptors.back().first);
}

TEST(AnnouncementSection, PutsTheMarkerByteAtTheRequestedPacketOffset) {
  for (int offset : {4, 5, 6, 10, 39, 40, 41, 100, 183, 185, 186, 187}) {
    Description description = Parse("portal 18 Direkt Portal\nentries 20 700 Kanal\n");
    std::get<Announcement>(description.items[0]).markerOffset = offset;
    const Stream stream = Synthesise(description);
    size_t found = 0;
    for (size_t p = 0; p < stream.size(); ++p) {
      for (size_t o = kHeaderSize; o < kPacketSize; ++o) {
        if (stream[p][o] != 0xB0) continue;
        std::string word;
        for (size_t j = 1; j <= 6; ++j) {
          const size_t at = o + j;
          word.push_back(static_cast<char>(at < kPacketSize ? stream[p][at]
                                                            : stream[p + 1][at - kPayloadSize]));
        }
        if (word == "Direkt") {
          EXPECT_EQ(static_cast<size_t>(offset), o);
          ++found;
        }
      }
    }
    EXPECT_EQ(1u, found) << "offset " << offset;
    EXPECT_TRUE(ReadSections(stream, kEitPid).at(0).CrcValid());
  }
}

TEST(InfoPacket, CarriesIndexLengthAndTextWhereTheModuleReadsThem) {
  const Packet packet = InfoPacket('7', "Heute 20:15 Uhr");
  EXPECT_EQ(0x47, packet[0]);
  EXPECT_EQ(0x49, packet[1]);
  EXPECT_EQ(0x97, packet[2]);
  EXPECT_EQ('7', packet[29]);
  EXPECT_EQ(14, packet[40]);
  EXPECT_EQ("Heute 20:15 Uhr", std::string(packet.begin() + 41, packet.begin() + 56));

  const Packet full = InfoPacket('0', std::string(kMaxInfoTextSize, 'x'));
  EXPECT_EQ(146, full[40]);
  EXPECT_EQ('x', full[187]);
  EXPECT_THROW(InfoPacket('0', std::string(kMaxInfoTextSize + 1, 'x')), std::length_error);
  EXPECT_THROW(InfoPacket('0', ""), std::length_error);
}

TEST(Description, ReadsEscapesAndGeneratedEntriesAndNamesTheLineOfAnError) {
  const Description description = Parse(
      "# comment\n\nportal 513 Info TV Erotik\nentry 521 Komm\\xF6dchen \\\\ \\xFF\n"
      "entries 3 600 Kanal\nmarker-offset 185\nbreak-continuity\ninfo \\x41 Text\n");
  const auto& announcement = std::get<Announcement>(description.items[0]);
  EXPECT_EQ(513, announcement.serviceId);
  EXPECT_EQ("Info TV Erotik", announcement.text);
  ASSERT_EQ(4u, announcement.entries.size());
  EXPECT_EQ(
      "Komm\xF6"
      "dchen \\ \xFF",
      announcement.entries[0].name);
  EXPECT_EQ("Kanal 3", announcement.entries[3].name);
  EXPECT_EQ(602, announcement.entries[3].serviceId);
  EXPECT_EQ(185, announcement.markerOffset);
  EXPECT_TRUE(announcement.breakContinuity);
  EXPECT_EQ('A', std::get<InfoItem>(description.items[1]).index);

  const struct {
    std::string text;
    int line;
  } errors[] = {
      {"eit 3\nentry 300 D 1\n", 2},                              // entry outside a portal
      {"portal 18 Direkt\nentry 70000 D 1\n", 2},                 // service id too large
      {"portal 18 Direkt\n\nentry 1 bad \\x4\n", 3},              // cut escape
      {"portal 18 Direkt \\x-1\n", 1},                            // not a hex byte
      {"portal 18 Dir\n", 1},                                     // no marker word
      {"portal 18 Direkt\nentry 1 " + std::string(249, 'n'), 2},  // name too long
      {"info 12 two characters\n", 1},
      {"filler\n", 1},
      {"eit 3 4\n", 1},
      {"marker-offset 185\n", 1},
      {"portal 18 Direkt\nmarker-offset 3\n", 2},
      {"porta 18 Direkt\n", 1},
  };
  for (const auto& error : errors) {
    const ParseResult result = ParseDescription(error.text);
    EXPECT_FALSE(result.Ok()) << error.text;
    EXPECT_EQ(error.line, result.errorLine) << error.text;
  }
}

TEST(Synthesise, InterleavesWithRealPacketsWithoutDisturbingThem) {
  const Stream background = ReadStreamFile(ZP_REAL_CAPTURE);
  SynthesisOptions options;
  options.background = &background;
  const Stream merged = Synthesise(Parse(kMixed), options);

  // Every real packet is there, in order, changed at most in its continuity counter.
  size_t next = 0;
  const auto withoutCounter = [](Packet packet) {
    packet[3] &= 0xF0;
    return packet;
  };
  for (const Packet& packet : merged) {
    if (next < background.size() && withoutCounter(packet) == withoutCounter(background[next])) {
      ++next;
    }
  }
  EXPECT_EQ(background.size(), next);

  // Real sections stay whole around the inserted ones, and every counter follows.
  const auto realSections = ReadSections(background, kEitPid);
  const auto sections = ReadSections(merged, kEitPid);
  EXPECT_EQ(realSections.size() + 3 * (12 + 2), sections.size());
  EXPECT_TRUE(
      std::all_of(sections.begin(), sections.end(), [](const Section& s) { return s.CrcValid(); }));
  std::vector<int> last(kPidCount, -1);
  for (const Packet& packet : merged) {
    int& previous = last[PidOf(packet)];
    if (previous >= 0) {
      ASSERT_EQ((previous + 1) & 0x0F, ContinuityOf(packet));
    }
    previous = ContinuityOf(packet);
  }
}

}  // namespace
