// profile-replay SCRIPT INI LOG [SCRIPT INI LOG ...]
#include <cstdio>
#include <string>

#include "Replay.h"

int main(int argc, char** argv) {
  if (argc < 4 || (argc - 1) % 3 != 0) {
    std::fprintf(stderr, "usage: profile-replay SCRIPT INI LOG [SCRIPT INI LOG ...]\n");
    return 2;
  }
  int failures = 0;
  for (int i = 1; i + 2 < argc; i += 3) {
    std::string problem;
    if (!zp::replay::RunScript(argv[i], argv[i + 1], argv[i + 2], problem)) {
      std::fprintf(stderr, "%s: %s\n", argv[i], problem.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
