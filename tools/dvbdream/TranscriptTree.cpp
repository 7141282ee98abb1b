// transcript-tree: prints the module's tree from a viewer transcript for a
// person, in UTF-8 (scripts/run.sh shows the headless run's tree with it).
//
//   transcript-tree TRANSCRIPT
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "Outline.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: transcript-tree TRANSCRIPT\n", stderr);
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "transcript-tree: cannot open %s\n", argv[1]);
    return 1;
  }
  const std::string transcript{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
  const std::string tree = zp::viewer::ReadableTree(transcript);
  std::fwrite(tree.data(), 1, tree.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
