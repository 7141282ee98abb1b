// zpinspect: what the Zanterpoint module sees in a capture dump or a stream.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

#include "feed/CaptureDump.h"
#include "tools/zpinspect/CaptureInput.h"
#include "tools/zpinspect/Report.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// The usage text, with the module's own figures.
std::string UsageText() {
  const std::string dumpSize = std::to_string(zp::kDumpFileSize);
  const std::string sections = std::to_string(zp::kSectionPacketsPerScan);
  return "usage: zpinspect [--json] FILE\n"
         "\n"
         "Shows what the Zanterpoint module finds in FILE: the packet counts, where the\n"
         "portal markers lie, the three portal lists as the module's tree shows them, the\n"
         "information texts and whether the module builds its tree, and, when it finds\n"
         "nothing, what to do next.\n"
         "\n"
         "FILE is either a capture dump, as \"Save Buffer\" in the module's menu \"More\"\n"
         "writes it (" +
         dumpSize +
         " bytes), or a recording of a transponder (a transport stream of\n"
         "188-byte packets, or of 192 or 204 bytes with a time stamp before or parity\n"
         "bytes after each), which is captured as the module would: its first " +
         sections +
         "\n"
         "section packets and its information packets. A damaged recording is read\n"
         "through: bytes where the sync is lost are skipped up to the next run of sync\n"
         "bytes, a cut last packet is dropped, and the report says where. The report\n"
         "also counts the packets of each PID, and finds an announcement that lies\n"
         "beyond the module's window. A dump carries no record of which scan stored\n"
         "which slot: its " +
         sections +
         " section slots are read as one capture, which is what the\n"
         "module holds after a full scan.\n"
         "\n"
         "  --json   the same as JSON, for scripts\n"
         "\n"
         "Exit codes:\n"
         "  0  the file was read, damaged or not, whatever the module would find\n"
         "  1  the file cannot be opened or read, or holds no packet at all\n"
         "  2  a bad command line\n";
}

#ifdef _WIN32
// Names with umlauts come out as UTF-8: the console shows them as such while
// zpinspect runs, and gets its own code page back afterwards.
class Utf8Console {
 public:
  Utf8Console() : previous_(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
  ~Utf8Console() {
    std::fflush(stdout);
    if (previous_ != 0) SetConsoleOutputCP(previous_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_;
};
#endif

// The file name for the report, in UTF-8. Windows gives the command line in
// its ANSI code page; elsewhere it is taken as it is.
std::string DisplayName(const std::string& name) {
#ifdef _WIN32
  const int wide =
      MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
  if (wide <= 0) return name;
  std::wstring text(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), text.data(), wide);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return name;
  std::string utf8(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
#else
  return name;
#endif
}

int Usage(const char* error) {
  if (error != nullptr) std::fprintf(stderr, "zpinspect: %s\n", error);
  std::fputs(UsageText().c_str(), error != nullptr ? stderr : stdout);
  return error != nullptr ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  std::string fileName;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") return Usage(nullptr);
    if (arg == "--json") {
      json = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage(("unknown option " + arg).c_str());
    } else if (!fileName.empty()) {
      return Usage("one file at a time");
    } else {
      fileName = arg;
    }
  }
  if (fileName.empty()) return Usage("no file given");

#ifdef _WIN32
  const Utf8Console console;
#endif
  std::ifstream file(fileName, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "zpinspect: %s: cannot open: %s\n", DisplayName(fileName).c_str(),
                 std::strerror(errno));
    return 1;
  }
  try {
    const zp::inspect::Inspection inspection = zp::inspect::Inspect(zp::inspect::ReadCapture(file));
    const std::string shown = DisplayName(fileName);
    const std::string report = json ? zp::inspect::JsonReport(inspection, shown)
                                    : zp::inspect::TextReport(inspection, shown);
    std::fputs(report.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  } catch (const std::exception& error) {
    // InputError says what is wrong with the file (it holds no packet); anything
    // else is as unexpected.
    std::fprintf(stderr, "zpinspect: %s: %s\n", DisplayName(fileName).c_str(), error.what());
  }
  return 1;
}
