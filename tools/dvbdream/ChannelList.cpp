#include "ChannelList.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <set>

#include "tools/common/Text.h"

namespace zp::viewer {

namespace {

struct Field {
  std::string key;
  std::string value;
};

// Splits "word key=value key="quoted value" ..." into the leading word and its
// fields. Quoted values take \" \\ and \xHH escapes, so that any byte of the
// viewer's single-byte code page can be written.
std::vector<Field> Tokenize(std::string_view line, int lineNo, std::string& word) {
  std::vector<Field> fields;
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  };
  skipSpace();
  while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
  for (;;) {
    skipSpace();
    if (i >= line.size() || line[i] == '#') break;
    Field field;
    while (i < line.size() && line[i] != '=' && line[i] != ' ' && line[i] != '\t') {
      field.key += line[i++];
    }
    if (i >= line.size() || line[i] != '=') {
      throw ChannelListError(lineNo, "expected key=value, found \"" + field.key + "\"");
    }
    ++i;
    if (i < line.size() && line[i] == '"') {
      ++i;
      for (;;) {
        if (i >= line.size()) throw ChannelListError(lineNo, "unterminated quoted value");
        const char c = line[i++];
        if (c == '"') break;
        if (c != '\\') {
          field.value += c;
          continue;
        }
        if (i >= line.size()) throw ChannelListError(lineNo, "unterminated quoted value");
        const char e = line[i++];
        if (e == 'x') {
          const int byte = tools::HexByteAt(line, i);
          if (byte < 0) throw ChannelListError(lineNo, "\\x needs two hex digits");
          field.value += static_cast<char>(byte);
          i += 2;
        } else if (e == '"' || e == '\\') {
          field.value += e;
        } else {
          throw ChannelListError(lineNo, std::string("unknown escape \\") + e);
        }
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') field.value += line[i++];
    }
    fields.push_back(std::move(field));
  }
  return fields;
}

// Decimal or 0x-prefixed hexadecimal, within [0, max].
uint32_t Number(const Field& field, uint32_t max, int lineNo) {
  const std::string& v = field.value;
  const bool hex = v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X');
  const std::string digits = hex ? v.substr(2) : v;
  const bool ok = !digits.empty() && std::all_of(digits.begin(), digits.end(), [&](char c) {
    return hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
               : std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
  if (!ok || digits.size() > 10) {
    throw ChannelListError(lineNo, field.key + "=" + v + " is not a number");
  }
  const unsigned long long n = std::stoull(digits, nullptr, hex ? 16 : 10);
  if (n > max) {
    throw ChannelListError(lineNo, field.key + "=" + v + " is above " + std::to_string(max));
  }
  return static_cast<uint32_t>(n);
}

// H, V, L, R as 0 to 3, or the stored byte itself as a number.
uint8_t Polarisation(const Field& field, int lineNo) {
  static constexpr std::string_view kLetters = "HVLR";
  if (field.value.size() == 1) {
    const size_t at = kLetters.find(static_cast<char>(std::toupper(field.value[0])));
    if (at != std::string_view::npos) return static_cast<uint8_t>(at);
  }
  return static_cast<uint8_t>(Number(field, 255, lineNo));
}

void Name(char (&target)[32], const Field& field, int lineNo) {
  if (field.value.size() > sizeof target) {
    throw ChannelListError(lineNo, field.key + " is longer than 32 bytes");
  }
  std::memset(target, 0, sizeof target);
  std::memcpy(target, field.value.data(), field.value.size());
}

void ParseChannel(const std::vector<Field>& fields, int lineNo, ChannelList& list,
                  std::set<int>& positions) {
  Channel channel;
  HostChannelRecord& r = channel.record;
  r.ChType = 1;  // most entries are TV channels
  bool havePosition = false;
  constexpr uint32_t k16 = std::numeric_limits<uint16_t>::max();
  constexpr uint32_t k32 = std::numeric_limits<uint32_t>::max();
  for (const Field& f : fields) {
    const std::string& k = f.key;
    if (k == "pos") {
      channel.position = static_cast<int>(Number(f, kHostChannelCount - 1, lineNo));
      havePosition = true;
    } else if (k == "sat") {
      r.wSatPos = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "freq") {
      r.dwFreq = Number(f, k32, lineNo);
    } else if (k == "sr") {
      r.dwSr = Number(f, k32, lineNo);
    } else if (k == "pol") {
      r.Pol = Polarisation(f, lineNo);
    } else if (k == "type") {
      r.ChType = static_cast<uint8_t>(Number(f, 255, lineNo));
    } else if (k == "scrambled") {
      r.Scrambled = static_cast<uint8_t>(Number(f, 255, lineNo));
    } else if (k == "nid") {
      r.wNID = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "tid") {
      r.wTID = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "sid") {
      r.wSID = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "video") {
      r.wVideo = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "pmt") {
      r.wPMT = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "pcr") {
      r.wPCR = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "ttx") {
      r.wTTX = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "chno") {
      r.wChNo = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "fav") {
      r.wChFav = static_cast<uint16_t>(Number(f, k16, lineNo));
    } else if (k == "name") {
      Name(r.ChName, f, lineNo);
    } else if (k == "provider") {
      Name(r.Provider, f, lineNo);
    } else if (k == "actual") {
      Name(r.ActualChName, f, lineNo);
    } else {
      throw ChannelListError(lineNo, "unknown channel field \"" + k + "\"");
    }
  }
  if (!havePosition) throw ChannelListError(lineNo, "channel without pos=");
  if (!positions.insert(channel.position).second) {
    throw ChannelListError(lineNo, "position " + std::to_string(channel.position) + " is taken");
  }
  list.channels.push_back(channel);
}

void ParseTransponder(const std::vector<Field>& fields, int lineNo, ChannelList& list) {
  Transponder t;
  for (const Field& f : fields) {
    if (f.key == "sat") {
      t.satPos = static_cast<uint16_t>(Number(f, std::numeric_limits<uint16_t>::max(), lineNo));
    } else if (f.key == "freq") {
      t.freq = Number(f, std::numeric_limits<uint32_t>::max(), lineNo);
    } else if (f.key == "pol") {
      t.pol = Polarisation(f, lineNo);
    } else if (f.key == "stream") {
      t.stream = f.value;
    } else {
      throw ChannelListError(lineNo, "unknown transponder field \"" + f.key + "\"");
    }
  }
  if (t.stream.empty()) throw ChannelListError(lineNo, "transponder without stream=");
  for (const Transponder& other : list.transponders) {
    if (other.satPos == t.satPos && other.freq == t.freq && other.pol == t.pol) {
      throw ChannelListError(lineNo, "transponder listed twice");
    }
  }
  list.transponders.push_back(std::move(t));
}

}  // namespace

ChannelList ParseChannelList(std::string_view text) {
  ChannelList list;
  std::set<int> positions;
  int lineNo = 0;
  int currentLine = 0;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    std::string word;
    const std::vector<Field> fields = Tokenize(line, lineNo, word);
    if (word == "channel") {
      ParseChannel(fields, lineNo, list, positions);
    } else if (word == "transponder") {
      ParseTransponder(fields, lineNo, list);
    } else if (word == "current") {
      if (fields.size() != 1 || fields[0].key != "pos") {
        throw ChannelListError(lineNo, "expected: current pos=N");
      }
      list.current = static_cast<int>(Number(fields[0], kHostChannelCount - 1, lineNo));
      currentLine = lineNo;
    } else {
      throw ChannelListError(lineNo, "unknown line \"" + word + "\"");
    }
  }
  if (list.current >= 0 && positions.count(list.current) == 0) {
    throw ChannelListError(currentLine,
                           "current position " + std::to_string(list.current) + " has no channel");
  }
  return list;
}

int FindTransponder(const ChannelList& list, const HostChannelRecord& record) {
  if (record.dwFreq == 0) return -1;
  for (size_t i = 0; i < list.transponders.size(); ++i) {
    const Transponder& t = list.transponders[i];
    if (t.satPos == record.wSatPos && t.freq == record.dwFreq && t.pol == record.Pol) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

void FillChannelTable(const ChannelList& list, HostChannelTable& table) {
  std::memset(&table, 0, sizeof table);
  for (const Channel& c : list.channels) table.Records[c.position] = c.record;
}

int StartPosition(const ChannelList& list) {
  if (list.current >= 0) return list.current;
  if (list.channels.empty()) return 0;
  return std::min_element(
             list.channels.begin(), list.channels.end(),
             [](const Channel& a, const Channel& b) { return a.position < b.position; })
      ->position;
}

std::string NameText(const char (&field)[32]) {
  return std::string(field, strnlen(field, sizeof field));
}

}  // namespace zp::viewer
