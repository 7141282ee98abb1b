// Runs the module's secondary windows outside the viewer and checks them:
//
//   window-gallery help [--screenshot FILE.png]
//   window-gallery duallist [--screenshot FILE.png]
//   window-gallery groups [--screenshot FILE.png]
//   window-gallery dump
//   window-gallery dialogs
//   window-gallery base
//
// Prints what it measures, one "ok" or "FAIL" line per check, and exits with 1
// when a check failed. Modal dialogs and message boxes are answered from a
// thread timer, as a user would answer them.

#include <cstdio>
#include <string>

#include "Gallery.h"

using namespace zp::gallery;

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  std::string screenshot;
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--screenshot") screenshot = argv[i + 1];
  }
  StartAnsweringDialogs();
  if (command == "help") {
    CheckHelp(screenshot);
  } else if (command == "duallist") {
    CheckDualList(screenshot);
  } else if (command == "groups") {
    CheckGroupEditor(screenshot);
  } else if (command == "dump") {
    CheckDump();
  } else if (command == "dialogs") {
    CheckFontAndColorDialogs();
  } else if (command == "base") {
    CheckWindowBase();
  } else {
    std::fprintf(
        stderr,
        "usage: window-gallery help|duallist|groups|dump|dialogs|base [--screenshot FILE]\n");
    return 2;
  }
  std::printf("%s\n", Failures() == 0 ? "all checks passed" : "some checks failed");
  std::fflush(stdout);
  return Failures() == 0 ? 0 : 1;
}
