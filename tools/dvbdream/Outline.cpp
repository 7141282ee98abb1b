#include "Outline.h"

#include "TranscriptFormat.h"

namespace zp::viewer {

NodeRef ParseNodeRef(std::string_view text) {
  NodeRef ref;
  if (text.size() > 1 && text[0] == '#' &&
      text.find_first_not_of("0123456789", 1) == std::string_view::npos && text.size() < 10) {
    ref.index = std::stoi(std::string(text.substr(1)));
    return ref;
  }
  std::string part;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '/') {
      part += '/';
      ++i;
    } else if (text[i] == '/') {
      ref.path.push_back(std::move(part));
      part.clear();
    } else {
      part += text[i];
    }
  }
  ref.path.push_back(std::move(part));
  return ref;
}

template <class Entry>
int FindPath(const std::vector<Entry>& entries, const std::vector<std::string>& path,
             bool anywhere) {
  if (path.empty()) return -1;
  for (size_t start = 0; start < entries.size(); ++start) {
    if (entries[start].caption != path[0] || (!anywhere && entries[start].depth != 0)) continue;
    // Walk down: each further part is looked for among the children of the last match.
    size_t at = start;
    bool found = true;
    for (size_t part = 1; part < path.size() && found; ++part) {
      found = false;
      const int childDepth = entries[at].depth + 1;
      for (size_t i = at + 1; i < entries.size() && entries[i].depth >= childDepth; ++i) {
        if (entries[i].depth == childDepth && entries[i].caption == path[part]) {
          at = i;
          found = true;
          break;
        }
      }
    }
    if (found) return static_cast<int>(at);
  }
  return -1;
}

template int FindPath(const std::vector<TreeNodeInfo>&, const std::vector<std::string>&, bool);
template int FindPath(const std::vector<MenuItemInfo>&, const std::vector<std::string>&, bool);

int FindNode(const std::vector<TreeNodeInfo>& nodes, const NodeRef& ref) {
  if (ref.index >= 0) return ref.index < static_cast<int>(nodes.size()) ? ref.index : -1;
  return FindPath(nodes, ref.path, false);
}

std::string MenuCaption(std::string_view raw) {
  std::string out;
  for (size_t i = 0; i < raw.size() && raw[i] != '\t'; ++i) {
    if (raw[i] == '&') {
      if (i + 1 < raw.size() && raw[i + 1] == '&') out += raw[++i];
      continue;
    }
    out += raw[i];
  }
  return out;
}

std::string ReadableTree(std::string_view transcript) {
  std::string out;
  while (!transcript.empty()) {
    const size_t end = transcript.find('\n');
    const std::string_view line = transcript.substr(0, end);
    transcript = end == std::string_view::npos ? std::string_view() : transcript.substr(end + 1);
    // "tree DEPTH MARK CAPTION"; "tree begin", "tree end ..." and "tree none" have no depth.
    if (line.substr(0, 5) != "tree ") continue;
    const size_t digits = line.find_first_not_of("0123456789", 5);
    if (digits == 5 || digits == std::string_view::npos || line[digits] != ' ') continue;
    if (digits - 5 > 6) continue;
    const int depth = std::stoi(std::string(line.substr(5, digits - 5)));
    const bool marked = digits + 2 < line.size() && line[digits + 2] == ' ';
    const char mark = marked ? line[digits + 1] : '\0';
    out += std::string(2 + 4 * static_cast<size_t>(depth), ' ');
    out += mark == '-' ? "[-] " : mark == '+' ? "[+] " : "    ";
    out += tools::ReadableEscaped(marked ? line.substr(digits + 3) : line);
    out += '\n';
  }
  return out;
}

std::vector<std::string> FormatTree(const std::vector<TreeNodeInfo>& nodes, int selected) {
  std::vector<std::string> lines{"tree begin"};
  for (const TreeNodeInfo& n : nodes) {
    const char* mark = !n.hasChildren ? " . " : n.expanded ? " - " : " + ";
    lines.push_back("tree " + std::to_string(n.depth) + mark + Escaped(n.caption));
  }
  lines.push_back("tree end nodes=" + std::to_string(nodes.size()) +
                  " selected=" + (selected >= 0 ? std::to_string(selected) : "none"));
  return lines;
}

std::vector<std::string> FormatMenu(const std::vector<MenuItemInfo>& items) {
  std::vector<std::string> lines;
  for (const MenuItemInfo& m : items) {
    const char* flags = m.checked && m.grayed ? " xg "
                        : m.checked           ? " x "
                        : m.grayed            ? " g "
                                              : " . ";
    lines.push_back("menu " + std::to_string(m.depth) + flags + Escaped(m.caption));
  }
  return lines;
}

}  // namespace zp::viewer
