#include "tools/tssynth/Description.h"

#include <charconv>
#include <stdexcept>

#include "tools/common/Text.h"
#include "tools/tssynth/Packets.h"

namespace zp::tssynth {

namespace {

constexpr int kMaxCount = 100000;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The words of a line are taken one by one; what is left is the text argument.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : rest_(Trim(line)) {}

  std::string_view Word() {
    const auto end = rest_.find_first_of(" \t");
    const std::string_view word = rest_.substr(0, end);
    rest_ = end == std::string_view::npos ? std::string_view{} : Trim(rest_.substr(end));
    return word;
  }

  int Number(int low, int high, const char* what) {
    const std::string_view word = Word();
    int value = 0;
    const auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || status != std::errc{} || end != word.data() + word.size() || value < low ||
        value > high) {
      throw std::invalid_argument(std::string(what) + " must be a number from " +
                                  std::to_string(low) + " to " + std::to_string(high));
    }
    return value;
  }

  // The rest of the line with \xHH and \\ escapes resolved.
  std::string Text(size_t minSize, size_t maxSize, const char* what) {
    std::string text;
    for (size_t i = 0; i < rest_.size(); ++i) {
      if (rest_[i] != '\\') {
        text.push_back(rest_[i]);
      } else if (i + 1 < rest_.size() && rest_[i + 1] == '\\') {
        text.push_back('\\');
        ++i;
      } else {
        const int byte =
            i + 1 < rest_.size() && rest_[i + 1] == 'x' ? tools::HexByteAt(rest_, i + 2) : -1;
        if (byte < 0) throw std::invalid_argument("a backslash starts \\xHH or \\\\");
        text.push_back(static_cast<char>(byte));
        i += 3;
      }
    }
    rest_ = {};
    if (text.size() < minSize || text.size() > maxSize) {
      throw std::invalid_argument(std::string(what) + " must have " + std::to_string(minSize) +
                                  " to " + std::to_string(maxSize) + " bytes");
    }
    return text;
  }

  void End() const {
    if (!rest_.empty()) throw std::invalid_argument("unexpected \"" + std::string(rest_) + "\"");
  }

 private:
  std::string_view rest_;
};

Announcement& LastAnnouncement(Description& description, std::string_view keyword) {
  Announcement* last =
      description.items.empty() ? nullptr : std::get_if<Announcement>(&description.items.back());
  if (last == nullptr) {
    throw std::invalid_argument(std::string(keyword) + " belongs right after a portal line");
  }
  return *last;
}

void ParseLine(std::string_view line, Description& description) {
  LineReader reader(line);
  const std::string_view keyword = reader.Word();
  if (keyword == "repeat") {
    description.repeat = reader.Number(1, 1000, "repeat");
  } else if (keyword == "eit") {
    description.items.push_back(EitBatch{reader.Number(0, kMaxCount, "eit count")});
  } else if (keyword == "filler") {
    description.items.push_back(FillerBatch{reader.Number(0, kMaxCount, "filler count")});
  } else if (keyword == "portal") {
    Announcement announcement;
    announcement.serviceId = static_cast<uint16_t>(reader.Number(0, 65535, "service id"));
    announcement.text = reader.Text(6, kMaxLinkagePrivateSize, "portal text");
    description.items.push_back(std::move(announcement));
  } else if (keyword == "entry") {
    Announcement& announcement = LastAnnouncement(description, keyword);
    LinkageEntry entry;
    entry.serviceId = static_cast<uint16_t>(reader.Number(0, 65535, "service id"));
    entry.name = reader.Text(0, kMaxLinkagePrivateSize, "name");
    announcement.entries.push_back(std::move(entry));
  } else if (keyword == "entries") {
    Announcement& announcement = LastAnnouncement(description, keyword);
    const int count = reader.Number(1, 1000, "entries count");
    const int first = reader.Number(0, 65535 - count + 1, "first service id");
    const std::string prefix = reader.Text(0, kMaxLinkagePrivateSize - 5, "name prefix");
    for (int i = 1; i <= count; ++i) {
      const std::string name =
          prefix.empty() ? std::to_string(i) : prefix + " " + std::to_string(i);
      announcement.entries.push_back({static_cast<uint16_t>(first + i - 1), name});
    }
  } else if (keyword == "marker-offset") {
    Announcement& announcement = LastAnnouncement(description, keyword);
    announcement.markerOffset = reader.Number(static_cast<int>(kHeaderSize),
                                              static_cast<int>(kPacketSize) - 1, "marker offset");
  } else if (keyword == "break-continuity") {
    LastAnnouncement(description, keyword).breakContinuity = true;
  } else if (keyword == "info") {
    InfoItem item;
    const std::string index = LineReader(reader.Word()).Text(1, 1, "info index");
    item.index = index[0];
    item.text = reader.Text(1, kMaxInfoTextSize, "info text");
    description.items.push_back(std::move(item));
  } else {
    throw std::invalid_argument("unknown keyword \"" + std::string(keyword) + "\"");
  }
  reader.End();
}

}  // namespace

ParseResult ParseDescription(std::string_view text) {
  ParseResult result;
  int number = 0;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    const std::string_view content = Trim(line);
    if (content.empty() || content[0] == '#') continue;
    try {
      ParseLine(content, result.description);
    } catch (const std::exception& error) {
      result.error = error.what();
      result.errorLine = number;
      return result;
    }
  }
  return result;
}

}  // namespace zp::tssynth
