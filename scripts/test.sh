#!/usr/bin/env bash
# Builds every configuration and runs every test. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh

for preset in win32 win64 native native-asan native-tsan fuzz; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$(nproc)"
done

echo "== tests: native (unit tests, tools, the module binary)"
ctest --test-dir build/native --output-on-failure -j "$(nproc)" -LE 'wine|e2e'
# Wine programs share one desktop per prefix and compete for the display and
# the keyboard focus: they run one at a time.
echo "== tests: the module and tools under Wine, end to end in the stand-in viewer"
ctest --test-dir build/native --output-on-failure -L 'wine|e2e'
echo "== tests: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build/native-asan --output-on-failure -j "$(nproc)" -L unit
echo "== tests: unit tests under ThreadSanitizer"
ctest --test-dir build/native-tsan --output-on-failure -j "$(nproc)" -L unit
echo "== fuzz: a short bounded run of every fuzz target"
ctest --test-dir build/fuzz --output-on-failure -L fuzz
