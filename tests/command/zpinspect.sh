#!/usr/bin/env bash
# The zpinspect command itself: its exit codes and where its messages go.
#
#   zpinspect.sh ZPINSPECT SAMPLE_STREAM WORK_DIR
set -uo pipefail
zpinspect=$1 sample=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
failed=0
# expect CODE PATTERN ARGS...: exit code CODE, and PATTERN in stdout or stderr.
expect() {
  local code=$1 pattern=$2 status=0
  shift 2
  "$zpinspect" "$@" >"$work/out" 2>"$work/err" || status=$?
  if [ "$status" -ne "$code" ] || ! cat "$work/out" "$work/err" | grep -q -- "$pattern"; then
    echo "FAIL: zpinspect $* exited with $status (want $code) or lacks \"$pattern\""
    cat "$work/out" "$work/err"
    failed=1
  fi
}
: >"$work/empty"
head -c 100000 "$sample" >"$work/cut"
expect 0 '^Verdict: tree built$' "$sample"
expect 0 '"verdict": "tree built"' --json "$sample"
expect 1 'the file is empty' "$work/empty"
expect 0 'the file ends inside packet 531' "$work/cut"
head -c 100 /dev/zero >"$work/zeros"
expect 1 'no packet in it' "$work/zeros"
# A UTF-8 name comes out in the JSON as it was given.
cp "$sample" "$work/Aufnahme-ü.ts"
expect 0 '"file": ".*Aufnahme-ü.ts"' --json "$work/Aufnahme-ü.ts"
expect 0 '^  1  the file cannot be opened or read, or holds no packet at all$' --help
expect 1 'cannot open' "$work/missing"
expect 2 'unknown option --dump' --dump "$sample"
expect 2 'no file given'
expect 0 'Save Buffer' --help
[ "$failed" -eq 0 ] && echo "zpinspect command ok"
exit "$failed"
