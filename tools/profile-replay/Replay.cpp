#include "Replay.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "settings/Conversions.h"
#include "settings/MemorySettingsWindow.h"
#include "settings/Settings.h"
#include "settings/UpperCase.h"
#include "support/CountingProfileFile.h"
#include "tools/common/Text.h"
#include "ui/RescanTimer.h"

// Script lines hold an operation and its fields, separated by tabs; '#' starts
// a comment line. Fields may use \t \r \n \\ \xHH, and \#N#c for N times c.
//   seed BYTES                  replace the file with these bytes
//   append COUNT BYTES          add these bytes to the file's end COUNT times, with
//                               {n} in them the copy's number in four digits (0001 on)
//   remove                      delete the file
//   readonly 1|0                make the file read-only (the read-only attribute
//                               under Windows, no write permission bits elsewhere)
//                               or writable again
//   read SECTION KEY DEFAULT    log the value read
//   section SECTION             log the section as the platform lists it
//   write SECTION KEY VALUE     log whether the write succeeded
//   flush                       drop the platform's cached copy
//   upper TEXT / upper-all      log the upper-case mapping of a text / of every byte
//   set WHAT VALUE              change settings or window state before a save
//   load / save                 run the module's whole load or save and log the state
//                               (a save with the number of its write calls)
//   save-all                    the module's save as if the file held no key: every
//                               key is written, as the module did before it compared
//   keep / same                 remember the file's bytes / log whether the file
//                               still has exactly the bytes remembered
namespace zp::replay {

namespace {

bool Unescape(std::string_view in, std::string& out, std::string& problem) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '\\') {
      out += in[i];
      continue;
    }
    const std::string_view rest = in.substr(i + 1);
    const char* simple = "t\tr\rn\n\\\\";
    bool done = false;
    for (const char* p = simple; *p != 0 && !done; p += 2) {
      if (!rest.empty() && rest[0] == p[0]) {
        out += p[1];
        i += 1;
        done = true;
      }
    }
    if (done) continue;
    if (!rest.empty() && rest[0] == 'x' && tools::HexByteAt(rest, 1) >= 0) {
      out += static_cast<char>(tools::HexByteAt(rest, 1));
      i += 3;
      continue;
    }
    const size_t end = rest.empty() || rest[0] != '#' ? std::string_view::npos : rest.find('#', 1);
    if (end != std::string_view::npos && end > 1 && end + 1 < rest.size() &&
        rest.substr(1, end - 1).find_first_not_of("0123456789") == std::string_view::npos) {
      out.append(std::stoul(std::string(rest.substr(1, end - 1))), rest[end + 1]);
      i += end + 2;
      continue;
    }
    problem = "bad escape in: " + std::string(in);
    return false;
  }
  return true;
}

// The file's bytes, or nullopt when there is no file.
std::optional<std::string> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void DescribeBytes(std::ostream& out, const std::optional<std::string>& bytes) {
  if (bytes) {
    out << "'" << tools::HexEscaped(*bytes) << "'";
  } else {
    out << "(no file)";
  }
}

struct ToolWindow : MemorySettingsWindow {
  ToolWindow() : MemorySettingsWindow({100, 200, 480, 170}) {}
};

std::string Describe(Settings& s, const ToolWindow& w) {
  std::ostringstream out;
  out << "  view DP=" << s.View(ListKind::Direkt) << " SP=" << s.View(ListKind::Sport)
      << " EP=" << s.View(ListKind::Erotik) << "\n"
      << "  geometry " << s.geometry.top << " " << s.geometry.left << " " << s.geometry.height
      << " " << s.geometry.width << "\n"
      << "  timer " << s.timerEnabled.value << " " << s.timerInterval.value
      << " menu=" << w.menuChecked << " '"
      << (w.menuSeconds != 0 ? TimerMenuCaption(w.menuSeconds) : "") << "' " << w.intervalMs
      << "ms running=" << w.timerRunning << "\n"
      << "  tree " << ColorToText(w.color) << " '" << tools::HexEscaped(FontToText(w.font)) << "'\n"
      << "  lists " << s.listEntryCount << "\n";
  for (int32_t i = 0; i < s.listEntryCount; ++i) {
    const ListEntry& e = s.listEntries[i];
    out << "    '" << tools::HexEscaped(e.name) << "'";
    if (!e.IsPortal()) {
      out << " title='" << tools::HexEscaped(e.title) << "' sid=" << e.nodeSid << " ids";
      for (int32_t k = 0; k < e.idCount; ++k) out << " " << e.ids[k];
    }
    out << "\n";
  }
  out << "  collapse";
  std::string name;
  uint8_t cell = 0;
  s.CollapseStates().ResetIteration();
  while (s.CollapseStates().NextEntry(name, cell)) {
    out << " " << tools::HexEscaped(name) << "=" << int{cell};
  }
  out << "\n";
  return out.str();
}

std::string WithoutPath(std::string text, const std::string& path) {
  for (size_t at; (at = text.find(path)) != std::string::npos;)
    text.replace(at, path.size(), "<file>");
  return text;
}

bool Set(Settings& s, ToolWindow& w, const std::string& what, const std::string& value) {
  if (what == "viewDP")
    s.View(ListKind::Direkt) = value == "1";
  else if (what == "viewSP")
    s.View(ListKind::Sport) = value == "1";
  else if (what == "viewEP")
    s.View(ListKind::Erotik) = value == "1";
  else if (what == "timerEnabled")
    s.timerEnabled.value = value == "1";
  else if (what == "timerInterval")
    s.timerInterval.value = TextToInteger(value);
  else if (what == "color")
    w.color = TextToColor(value);
  else if (what == "font")
    TextToFont(value, w.font);
  else if (what == "collapse") {
    const size_t equals = value.find('=');
    if (uint8_t* cell = s.CollapseState(value.substr(0, equals))) {
      *cell = value.substr(equals + 1) == "1" ? 1 : 0;
    }
  } else if (what == "bounds") {
    const auto parts = SplitList(value, ',', true);
    if (parts.size() != 4) return false;
    w.bounds = {TextToInteger(parts[0]), TextToInteger(parts[1]), TextToInteger(parts[2]),
                TextToInteger(parts[3])};
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool RunScript(const std::string& scriptPath, const std::string& iniPath,
               const std::string& logPath, std::string& problem) {
  std::ifstream script(scriptPath, std::ios::binary);
  std::ofstream log(logPath, std::ios::binary | std::ios::trunc);
  if (!script || !log) {
    problem = "cannot open the script or the log";
    return false;
  }
  const std::unique_ptr<ProfileFile> file = OpenProfileFile(iniPath);
  // The file as the module's load and save see it: counts their writes, and for
  // save-all lists every section as empty, so that the save writes every key.
  test::CountingProfileFile moduleFile(*file);
  ToolWindow window;
  Settings settings(moduleFile, window);
  std::optional<std::string> kept;

  std::string line;
  for (int number = 1; std::getline(script, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
      const size_t tab = line.find('\t', start);
      fields.emplace_back();
      if (!Unescape(std::string_view(line).substr(start, tab - start), fields.back(), problem)) {
        return false;
      }
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    const std::string& op = fields[0];
    const auto need = [&](size_t count) {
      if (fields.size() == count + 1) return true;
      problem = "line " + std::to_string(number) + ": " + op + " takes " + std::to_string(count) +
                " fields";
      return false;
    };

    if (op == "seed" && need(1)) {
      file->Flush();
      std::ofstream(iniPath, std::ios::binary | std::ios::trunc) << fields[1];
      file->Flush();
    } else if (op == "append" && need(2)) {
      const std::optional<int32_t> count = ParseInteger(fields[1]);
      if (!count || *count < 0 || *count > 9999) {
        problem = "line " + std::to_string(number) + ": append takes a count of 0 to 9999";
        return false;
      }
      file->Flush();
      std::ofstream out(iniPath, std::ios::binary | std::ios::app);
      for (int32_t n = 1; n <= *count; ++n) {
        char digits[12];  // room for any int, though the count stops at 9999
        std::snprintf(digits, sizeof digits, "%04d", static_cast<int>(n));
        std::string copy = fields[2];
        for (size_t at; (at = copy.find("{n}")) != std::string::npos;) copy.replace(at, 3, digits);
        out << copy;
      }
      out.close();
      file->Flush();
    } else if (op == "remove" && need(0)) {
      file->Flush();
      std::remove(iniPath.c_str());
    } else if (op == "readonly" && need(1)) {
      namespace fs = std::filesystem;
      const bool on = fields[1] == "1";
      std::error_code error;
      fs::permissions(iniPath,
                      on ? fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write
                         : fs::perms::owner_write,
                      on ? fs::perm_options::remove : fs::perm_options::add, error);
      log << "readonly " << (on ? "1" : "0") << (error ? " failed\n" : "\n");
    } else if (op == "read" && need(3)) {
      log << "read [" << tools::HexEscaped(fields[1]) << "] " << tools::HexEscaped(fields[2])
          << " -> '" << tools::HexEscaped(file->Read(fields[1], fields[2], fields[3])) << "'\n";
    } else if (op == "section" && need(1)) {
      log << "section [" << tools::HexEscaped(fields[1]) << "] ->";
      for (const std::string& entry : file->ReadSection(fields[1]))
        log << " '" << tools::HexEscaped(entry) << "'";
      log << "\n";
    } else if (op == "keep" && need(0)) {
      file->Flush();
      kept = FileBytes(iniPath);
    } else if (op == "same" && need(0)) {
      file->Flush();
      const std::optional<std::string> now = FileBytes(iniPath);
      if (now == kept) {
        log << "same bytes as kept\n";
      } else {
        log << "differs from what was kept:\n  kept ";
        DescribeBytes(log, kept);
        log << "\n  now  ";
        DescribeBytes(log, now);
        log << "\n";
      }
    } else if (op == "write" && need(3)) {
      const bool ok = file->Write(fields[1], fields[2], fields[3]);
      log << "write [" << tools::HexEscaped(fields[1]) << "] " << tools::HexEscaped(fields[2])
          << " = " << tools::HexEscaped(fields[3]) << (ok ? " ok\n" : " failed\n");
    } else if (op == "flush" && need(0)) {
      file->Flush();
    } else if (op == "upper" && need(1)) {
      std::string text = fields[1];
      UpperCaseInPlace(text);
      log << "upper " << tools::HexEscaped(fields[1]) << " -> " << tools::HexEscaped(text) << "\n";
    } else if (op == "upper-all" && need(0)) {
      std::string text;
      for (int b = 1; b < 256; ++b) text += static_cast<char>(b);
      UpperCaseInPlace(text);
      log << "upper-all " << tools::HexEscaped(text) << "\n";
    } else if (op == "set" && need(2)) {
      if (!Set(settings, window, fields[1], fields[2])) {
        problem = "line " + std::to_string(number) + ": cannot set " + fields[1];
        return false;
      }
    } else if ((op == "load" || op == "save" || op == "save-all") && need(0)) {
      std::string outcome = "ok";
      moduleFile.writes = 0;
      moduleFile.listNothing = op == "save-all";
      try {
        op == "load" ? settings.Load() : settings.Save();
      } catch (const SettingsError& e) {
        outcome = "error '" + tools::HexEscaped(WithoutPath(e.what(), iniPath)) + "'";
      }
      moduleFile.listNothing = false;
      log << op << " " << outcome;
      if (op == "load") {
        log << "\n" << Describe(settings, window);
      } else {
        log << ", writes " << moduleFile.writes << "\n";
      }
    } else if (problem.empty()) {
      problem = "line " + std::to_string(number) + ": unknown operation " + op;
    }
    if (!problem.empty()) return false;
  }
  file->Flush();
  return true;
}

}  // namespace zp::replay
