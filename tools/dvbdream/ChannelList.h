#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "module/HostInterface.h"

// The stand-in viewer's channel list: a readable text file that fills the
// viewer's channel table and says which stream each transponder plays.
namespace zp::viewer {

struct Transponder {
  uint16_t satPos = 0;
  uint32_t freq = 0;
  uint8_t pol = 0;
  std::string stream;  // file name, relative to the channel list's folder
};

struct Channel {
  int position = 0;
  HostChannelRecord record{};
};

struct ChannelList {
  std::vector<Transponder> transponders;
  std::vector<Channel> channels;
  int current = -1;  // position the viewer starts on; -1: not given
};

// A fault in the file, with the line it was found on (1-based).
class ChannelListError : public std::runtime_error {
 public:
  ChannelListError(int line, const std::string& message)
      : std::runtime_error("line " + std::to_string(line) + ": " + message), line_(line) {}
  int Line() const { return line_; }

 private:
  int line_;
};

ChannelList ParseChannelList(std::string_view text);

// The transponder a record is received on (same satellite position, frequency
// and polarisation), or -1 when the list names none: that channel is silent.
int FindTransponder(const ChannelList& list, const HostChannelRecord& record);

// Clears the whole table and writes every channel at its position.
void FillChannelTable(const ChannelList& list, HostChannelTable& table);

// The position the viewer starts on: the listed one, else the first channel, else 0.
int StartPosition(const ChannelList& list);

// Text of a zero-padded name field: up to the first zero byte, at most 32 bytes.
std::string NameText(const char (&field)[32]);

}  // namespace zp::viewer
