#!/usr/bin/env bash
# zpinspect --json on the golden inputs, compared with the committed outputs:
# a change of the report shows as a diff here.
#
#   zpinspect-golden.sh GENERATOR REAL_CAPTURE GOLDEN_DIR WORK_DIR ZPINSPECT
#   zpinspect-golden.sh GENERATOR REAL_CAPTURE GOLDEN_DIR WORK_DIR --wine WINE_RUN
#
# With --wine the Windows zpinspect.exe of the build runs under Wine (through
# WINE_RUN, tests/wine/wine-run.sh) on the same inputs and must give the same.
# ZP_UPDATE_GOLDEN=1 writes the outputs into GOLDEN_DIR instead of comparing.
# The inputs are given by relative names, so that no path of the machine
# reaches the report.
set -uo pipefail
shopt -s nullglob
generator=$1 real=$2 golden=$3 work=$4
shift 4
rm -rf "$work" && mkdir -p "$work" || exit 1
"$generator" "$real" "$work" || { echo "FAIL: the golden inputs could not be made"; exit 1; }
cd "$work" || exit 1

run() {
  if [ "$1" = --wine ]; then
    local status=0
    "$2" tools/zpinspect/zpinspect.exe --json "$3" >"$3.raw" || status=$?
    tr -d '\r' <"$3.raw"
    rm -f "$3.raw"
    return "$status"
  else
    "$1" --json "$2"
  fi
}

inputs=(*)
failed=0 count=0
for json in "$golden"/*.json; do
  input=$(basename "$json" .json)
  [ -f "$input" ] || { echo "FAIL: no input $input for $json"; failed=1; }
done
for input in "${inputs[@]}"; do
  status=0
  run "$@" "$input" >"$input.out" 2>"$input.err" || status=$?
  # Wine that cannot run here skips the test.
  [ "$status" -eq 77 ] && [ "$1" = --wine ] && exit 77
  if [ "$status" -ne 0 ]; then
    echo "FAIL: zpinspect --json $input exited with $status"
    cat "$input.err"
    failed=1
    continue
  fi
  count=$((count + 1))
  if [ "${ZP_UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$input.out" "$golden/$input.json"
  elif [ ! -f "$golden/$input.json" ]; then
    echo "FAIL: $input has no golden output $golden/$input.json (ZP_UPDATE_GOLDEN=1 writes it)"
    failed=1
  elif ! diff -u "$golden/$input.json" "$input.out"; then
    echo "FAIL: zpinspect --json $input differs from $golden/$input.json"
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "zpinspect golden outputs ok ($count inputs)"
exit "$failed"
