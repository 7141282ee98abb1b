#!/usr/bin/env bash
# Builds every configuration and runs every test. Installs what is missing first.
# Every stage runs even when an earlier one failed (a test stage whose build
# failed is reported as not run), and a summary with each stage's result and
# time ends the output; the exit status is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh || exit 1

results=()
failed=0
declare -A built
# stage NAME COMMAND...: runs one stage and records its result and time.
stage() {
  local name=$1 start=$SECONDS status
  shift
  echo "== $name"
  if "$@"; then status=passed; else status=FAILED; failed=1; fi
  results+=("$(printf '%-7s %5ss  %s' "$status" $((SECONDS - start)) "$name")")
  [ "$status" = passed ]
}
# tests PRESET NAME CTEST-ARGS...: a test stage of a configuration that built.
tests() {
  local preset=$1 name=$2
  shift 2
  if [ -z "${built[$preset]:-}" ]; then
    results+=("$(printf '%-7s %5s   %s' "not run" - "$name (build: $preset failed)")")
    failed=1
    return
  fi
  stage "$name" ctest --test-dir "build/$preset" --output-on-failure "$@"
}
build() {
  cmake --preset "$1" >/dev/null && cmake --build "build/$1" -j "$(nproc)"
}

for preset in win32 win64 native native-asan native-tsan fuzz; do
  stage "build: $preset" build "$preset" && built[$preset]=1
done
# The release package of the 32-bit product, which the native tests unpack and check.
if [ -n "${built[win32]:-}" ]; then
  stage "build: release package" cmake --build build/win32 --target package
fi

tests native "tests: native (unit tests, tools, the module binary, the release package)" \
  -j "$(nproc)" -LE 'wine|e2e|reproducible'
# Builds the package twice more, from scratch, so it runs alone.
tests native "tests: two clean builds of the release package give the same bytes" -L reproducible
# Wine programs share one desktop per prefix and compete for the display and
# the keyboard focus: they run one at a time.
tests native "tests: the module and tools under Wine, end to end in the stand-in viewer" -L 'wine|e2e'
tests native-asan "tests: unit tests under AddressSanitizer and UndefinedBehaviorSanitizer" \
  -j "$(nproc)" -L unit
tests native-tsan "tests: unit tests under ThreadSanitizer" -j "$(nproc)" -L unit
tests fuzz "fuzz: a short bounded run of every fuzz target" -L fuzz

echo
echo "== summary (seconds per stage; $SECONDS s in all)"
printf '  %s\n' "${results[@]}"
exit "$failed"
