// dvbdream.exe: a stand-in for the DVBDream viewer. It loads
// modules\Zanterpoint.mod from its own folder and plays the viewer for it:
// the command message, the channel table, packet deliveries from the streams
// of a channel list. Without --script it is a window for a person; with one it
// runs the script's steps and prints a transcript that tests compare.
// README.md in this folder describes the options, the files and the script.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "ChannelList.h"
#include "DialogWatcher.h"
#include "Handles.h"
#include "HostSide.h"
#include "ModuleLibrary.h"
#include "Script.h"
#include "ScriptRunner.h"
#include "Stream.h"
#include "Transcript.h"
#include "TranscriptFormat.h"
#include "ViewerWindow.h"

namespace {

using namespace zp::viewer;

constexpr char kModulePath[] = "modules\\Zanterpoint.mod";
constexpr char kUsage[] =
    "usage: dvbdream.exe [--channels FILE] [--script FILE] [--transcript FILE]\n"
    "                    [--delivery thread|ui] [--rate PACKETS_PER_SECOND] [--timeout MS]\n";

// The viewer's channel table lives in the program's own static storage, low in
// its image, so that its address fits the 32-bit value GetChannelTable hands out.
zp::HostChannelTable g_channelTable;

struct Options {
  std::string channels;
  std::string script;
  std::string transcript;
  DeliveryMode delivery = DeliveryMode::Thread;
  int rate = 20000;
  DWORD timeout = 120000;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    const std::string value = argv[++i];
    if (arg == "--channels") {
      options.channels = value;
    } else if (arg == "--script") {
      options.script = value;
    } else if (arg == "--transcript") {
      options.transcript = value;
    } else if (arg == "--delivery" && (value == "thread" || value == "ui")) {
      options.delivery = value == "ui" ? DeliveryMode::UiThread : DeliveryMode::Thread;
    } else if (arg == "--rate" && std::atoi(value.c_str()) > 0) {
      options.rate = std::atoi(value.c_str());
    } else if (arg == "--timeout" && std::atoi(value.c_str()) > 0) {
      options.timeout = static_cast<DWORD>(std::atoi(value.c_str()));
    } else {
      return std::nullopt;
    }
  }
  return options;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return FolderOf(path);
}

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

int Fail(const std::string& message, int code) {
  std::fprintf(stderr, "dvbdream: %s\n", message.c_str());
  return code;
}

// Ends a script run that hangs (a modal loop nobody answers, a deadlock in a
// callback) with a last transcript line instead of leaving the test to time out.
class Watchdog {
 public:
  Watchdog(Transcript& transcript, DWORD timeout) : transcript_(transcript), timeout_(timeout) {
    done_.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    thread_.reset(CreateThread(nullptr, 0, &Watchdog::Main, this, 0, nullptr));
  }
  ~Watchdog() {
    SetEvent(done_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  static DWORD WINAPI Main(LPVOID self) {
    auto* w = static_cast<Watchdog*>(self);
    if (WaitForSingleObject(w->done_.get(), w->timeout_) == WAIT_TIMEOUT) {
      w->transcript_.Line("timeout after " + std::to_string(w->timeout_) + " ms");
      TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
  }

  Transcript& transcript_;
  DWORD timeout_;
  UniqueHandle done_;
  UniqueHandle thread_;
};

int RunInteractive(ViewerWindow& window, ModuleLibrary& module) {
  // As the real viewer does at start: every module is initialised with the
  // main window; its Modules menu item shows it.
  module.Init(window.Handle());
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> parsed = ParseOptions(argc, argv);
  if (!parsed) return Fail(kUsage, 1);
  const Options& options = *parsed;
  const std::string folder = ProgramFolder();

  const std::string channelsPath =
      options.channels.empty() ? folder + "\\channels.txt" : options.channels;
  std::string channelsText;
  if (!ReadFile(channelsPath, channelsText) && !options.channels.empty()) {
    return Fail("cannot read channel list " + channelsPath, 1);
  }
  ChannelList list;
  std::vector<TransportStream> streams;
  try {
    list = ParseChannelList(channelsText);
    for (const Transponder& t : list.transponders) {
      streams.push_back(TransportStream::Load(FolderOf(channelsPath) + "\\" + t.stream));
    }
  } catch (const std::exception& e) {
    return Fail(channelsPath + ": " + e.what(), 1);
  }

  std::vector<Step> steps;
  if (!options.script.empty()) {
    std::string scriptText;
    if (!ReadFile(options.script, scriptText)) {
      return Fail("cannot read script " + options.script, 1);
    }
    try {
      steps = ParseScript(scriptText);
    } catch (const ScriptError& e) {
      return Fail(e.what(), 2);
    }
  }

  Transcript transcript;
  // Lines end in "\n" alone, on every platform the transcript is read on.
  _setmode(_fileno(stdout), _O_BINARY);
  transcript.ToStdout(true);
  if (!options.transcript.empty() && !transcript.ToFile(options.transcript)) {
    return Fail("cannot write transcript " + options.transcript, 1);
  }
  HostSide host(transcript, list, std::move(streams), g_channelTable);
  host.SetDeliveryMode(options.delivery);
  host.SetRate(options.rate);
  ModuleLibrary module(transcript);
  ViewerWindow window(host, module, transcript);
  if (!window.Create(options.script.empty())) {
    return Fail("cannot create the viewer window", 1);
  }
  transcript.Line("viewer channels=" + std::to_string(list.channels.size()) +
                  " position=" + std::to_string(host.Position()) +
                  " delivery=" + (options.delivery == DeliveryMode::Thread ? "thread" : "ui") +
                  " rate=" + std::to_string(options.rate));
  if (module.Load(folder + "\\" + kModulePath, kModulePath)) {
    host.SetModule(module.Handle());
    window.SetModuleName(module.Info());
  }
  if (options.script.empty()) return RunInteractive(window, module);

  DialogWatcher watcher(transcript);
  window.SetDialogWatcher(&watcher);
  Watchdog watchdog(transcript, options.timeout);
  ScriptRunner runner(transcript, host, module, window.Handle(), watcher);
  runner.Run(steps);
  // The viewer closes: deliveries end before the module goes, and whatever
  // the module left behind must survive a few more turns of the loop.
  host.StopAll("viewer");
  module.Unload();
  runner.Pump(100);
  window.SetDialogWatcher(nullptr);
  transcript.Line("viewer exit");
  return 0;
}
