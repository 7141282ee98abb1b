#include "settings/ProfileText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ProfileFile.h"

namespace zp {

namespace {

constexpr size_t kReadBufferSize = kProfileValueMaxLength + 1;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kNewLine = "\r\n";

bool IsProfileSpace(char c) {
  const auto b = static_cast<uint8_t>(c);
  return (b >= 0x09 && b <= 0x0D) || b == 0x1A || b == 0x20;
}

std::string_view TrimLeading(std::string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeading(s);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

using Line = ProfileText::Line;

size_t FirstLineStart(std::string_view text) {
  return text.substr(0, kUtf8Mark.size()) == kUtf8Mark ? kUtf8Mark.size() : 0;
}

// The line that starts at pos; it ends after its line break.
Line ParseLine(std::string_view text, size_t pos) {
  Line line;
  line.begin = pos;
  while (pos < text.size() && text[pos] != '\r' && text[pos] != '\n') ++pos;
  line.contentEnd = pos;
  if (pos < text.size() && text[pos] == '\r') ++pos;
  if (pos < text.size() && text[pos] == '\n') ++pos;
  line.end = pos;

  const std::string_view content = Trim(text.substr(line.begin, line.contentEnd - line.begin));
  if (!content.empty()) {
    const size_t close = content.front() == '[' ? content.rfind(']') : std::string_view::npos;
    if (close != std::string_view::npos) {
      line.kind = Line::Kind::Section;
      line.name = Trim(content.substr(1, close - 1));
    } else {
      line.kind = Line::Kind::Key;
      const size_t equals = content.find('=');
      line.name = Trim(content.substr(0, equals));
      if (equals != std::string_view::npos) {
        line.hasValue = true;
        line.value = TrimLeading(content.substr(equals + 1));
      }
    }
  }
  return line;
}

std::vector<Line> ParseLines(std::string_view text) {
  std::vector<Line> lines;
  lines.reserve(text.size() / 16 + 1);
  for (size_t pos = FirstLineStart(text); pos < text.size(); pos = lines.back().end) {
    lines.push_back(ParseLine(text, pos));
  }
  return lines;
}

// The same line, its offsets moved by `shift` bytes, its names in `to`
// instead of the text that started at address `from`. Addresses, not
// pointers: that text may be gone, and its names are never read.
Line Moved(const Line& line, uintptr_t from, const char* to, size_t shift) {
  const auto move = [&](std::string_view s) {
    if (s.data() == nullptr) return s;
    const auto offset = static_cast<size_t>(reinterpret_cast<uintptr_t>(s.data()) - from);
    return std::string_view(to + (offset + shift), s.size());
  };
  Line moved = line;
  moved.begin += shift;
  moved.contentEnd += shift;
  moved.end += shift;
  moved.name = move(line.name);
  moved.value = move(line.value);
  return moved;
}

struct Location {
  bool sectionFound = false;
  const Line* header = nullptr;    // of a named section
  const Line* lastLine = nullptr;  // last non-blank line of the section (or up to the key)
  const Line* key = nullptr;
};

// The first section with that name, and in it the first key with that name.
// Lines before the first header form the section with the empty name. A
// search for a key ends at the key, its section's last line then unknown:
// only a key that is not there needs it.
enum class Search { Key, WholeSection };
Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key,
              Search search = Search::Key) {
  section = Trim(section);
  key = Trim(key);
  Location found;
  bool inSection = section.empty();
  found.sectionFound = inSection;
  for (const Line& line : lines) {
    if (line.kind == Line::Kind::Section) {
      if (found.sectionFound) break;  // the section has ended
      inSection = SameProfileName(line.name, section);
      found.sectionFound = inSection;
      if (inSection) found.header = found.lastLine = &line;
      continue;
    }
    if (!inSection || line.kind == Line::Kind::Blank) continue;
    found.lastLine = &line;
    if (found.key == nullptr && SameProfileName(line.name, key)) {
      found.key = &line;
      if (search == Search::Key) break;
    }
  }
  return found;
}

// A value in matching quotes loses them, and the result fits the 2048-byte
// buffer of the Windows reader, quirks included: when the quoted text is just
// one character too long, the cut value loses its last character as well.
std::string CopyEntry(std::string_view value) {
  char quote = 0;
  if (value.size() > 1 && (value.front() == '\'' || value.front() == '"') &&
      value.back() == value.front()) {
    quote = value.front();
    value.remove_prefix(1);
  }
  std::string text(value.substr(0, kReadBufferSize - 1));
  if (quote != 0 && kReadBufferSize >= value.size()) text.pop_back();
  return text;
}

// Trailing blanks of a default value are dropped, though never its first character.
std::string_view TrimDefault(std::string_view fallback) {
  while (fallback.size() > 1 && fallback.back() == ' ') fallback.remove_suffix(1);
  return fallback;
}

// A key line the platform lists; comment lines are left out.
bool Listed(const Line& line) {
  return line.kind == Line::Kind::Key && line.name.substr(0, 1) != ";";
}

// "name=value", or "name" for a line without "=".
void AppendEntry(const Line& line, std::string& out) {
  out.reserve(out.size() + line.name.size() + (line.hasValue ? 1 + line.value.size() : 0));
  out.append(line.name);
  if (line.hasValue) out.append("=").append(line.value);
}

}  // namespace

void ProfileText::Assign(bool exists, std::string text) {
  exists_ = exists;
  text_ = std::move(text);
  lines_ = ParseLines(text_);
}

std::string ProfileText::Read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  std::string_view source = TrimDefault(fallback);
  const Location found = Find(lines_, section, key);
  if (found.key != nullptr && found.key->hasValue) source = found.key->value;
  return CopyEntry(source);
}

std::span<const Line> ProfileText::SectionLines(std::string_view section) const {
  const Location found = Find(lines_, section, {}, Search::WholeSection);
  if (found.lastLine == nullptr) return {};
  // From below the header, or from the file's start for the nameless section.
  const Line* const first = found.header != nullptr ? found.header + 1 : lines_.data();
  return {first, found.lastLine + 1};
}

std::vector<std::string> ProfileText::ReadSection(std::string_view section) const {
  std::vector<std::string> entries;
  const std::span<const Line> lines = SectionLines(section);
  // Sized up front: a save lists its sections on every call, a tree build
  // saves once per root.
  entries.reserve(static_cast<size_t>(std::count_if(lines.begin(), lines.end(), Listed)));
  for (const Line& line : lines) {
    if (Listed(line)) AppendEntry(line, entries.emplace_back());
  }
  return entries;
}

void ProfileText::ReadSectionBlock(std::string_view section, std::string& block) const {
  const size_t start = block.size();
  for (const Line& line : SectionLines(section)) {
    if (!Listed(line)) continue;
    const size_t entry = block.size();
    AppendEntry(line, block);
    if (block.find('\0', entry) != std::string::npos) return block.resize(start);
    block.push_back('\0');
  }
}

std::optional<std::string> ProfileText::Written(std::string_view section, std::string_view key,
                                                std::string_view value) const {
  const std::optional<Edit> edit = Edited(section, key, value);
  if (!edit) return std::nullopt;
  std::string updated;
  updated.reserve(text_.size() - (edit->removedEnd - edit->at) + edit->inserted.size());
  updated.append(text_, 0, edit->at).append(edit->inserted).append(text_, edit->removedEnd);
  return updated;
}

bool ProfileText::Write(std::string_view section, std::string_view key, std::string_view value) {
  const std::optional<Edit> edit = Edited(section, key, value);
  if (!edit) return false;
  exists_ = true;
  // The lines' names point into the text where it was: a replacement in
  // place may move it, and moves the bytes behind the edit.
  const auto oldBase = reinterpret_cast<uintptr_t>(text_.data());
  text_.replace(edit->at, edit->removedEnd - edit->at, edit->inserted);
  // Near the file's start a written byte order mark could change how the
  // first line reads; that is the rare case that is parsed whole.
  if (edit->at < kUtf8Mark.size()) {
    lines_ = ParseLines(text_);
    return true;
  }
  const std::string_view text = text_;
  const size_t insertedEnd = edit->at + edit->inserted.size();

  // The lines before the edit stay. One that ends right at it is read again,
  // since the edit may change its line break.
  size_t first = 0;
  while (first < lines_.size() && lines_[first].end < edit->at) ++first;
  // The edited lines are read again, up to the first old line that starts
  // after the edit at the start of a line read here: from there on the bytes
  // and so the lines are the old ones, moved.
  const size_t shift = insertedEnd - edit->removedEnd;  // modulo: may shrink
  size_t rest = first;
  fresh_.clear();
  size_t pos = first < lines_.size() ? lines_[first].begin : FirstLineStart(text);
  while (pos < text.size()) {
    if (pos >= insertedEnd) {
      while (rest < lines_.size() &&
             (lines_[rest].begin < edit->removedEnd || lines_[rest].begin + shift < pos)) {
        ++rest;
      }
      if (rest < lines_.size() && lines_[rest].begin + shift == pos) break;
    }
    fresh_.push_back(ParseLine(text, pos));
    pos = fresh_.back().end;
  }
  if (pos >= text.size()) rest = lines_.size();
  for (size_t i = 0; i < first; ++i) lines_[i] = Moved(lines_[i], oldBase, text.data(), 0);
  for (size_t i = rest; i < lines_.size(); ++i) {
    lines_[i] = Moved(lines_[i], oldBase, text.data(), shift);
  }
  const auto kept = lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                                 lines_.begin() + static_cast<std::ptrdiff_t>(rest));
  lines_.insert(kept, fresh_.begin(), fresh_.end());
  return true;
}

std::optional<ProfileText::Edit> ProfileText::Edited(std::string_view section, std::string_view key,
                                                     std::string_view value) const {
  const Location found = Find(lines_, section, key);
  // Names and values are stored trimmed: that is what every reader sees, and
  // what Wine's file holds once it has read the file again.
  const std::string_view newValue = Trim(value);

  Edit edit;
  std::string& inserted = edit.inserted;
  if (found.key != nullptr) {
    if (found.key->hasValue && found.key->value == newValue) return std::nullopt;
    edit.at = found.key->begin;
    edit.removedEnd = found.key->contentEnd;
    inserted.append(found.key->name).append("=").append(newValue);
    return edit;
  }
  const auto appendLine = [&] {
    inserted.append(Trim(key)).append("=").append(newValue).append(kNewLine);
  };
  if (found.sectionFound) {
    // After the section's last line; an empty nameless section starts the file.
    size_t at = text_.size();
    if (found.lastLine != nullptr) {
      at = found.lastLine->end;
    } else if (!lines_.empty()) {
      at = lines_.front().begin;
    }
    edit.at = edit.removedEnd = at;
    if (found.lastLine != nullptr && found.lastLine->end == found.lastLine->contentEnd) {
      inserted.append(kNewLine);  // the section's last line ended the file
    }
    appendLine();
    return edit;
  }
  edit.at = edit.removedEnd = text_.size();
  if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') inserted.append(kNewLine);
  inserted.append("[").append(Trim(section)).append("]\r\n");
  appendLine();
  return edit;
}

}  // namespace zp
