#!/usr/bin/env bash
# Runs one end-to-end test: lays out a fresh install folder of the stand-in
# viewer, runs a script in it under Wine with a display, and checks the
# transcript against an expectation file.
#
#   run-e2e.sh --work DIR --script FILE --expect FILE [--module PATH] [--ini FILE]
#              [--channels FILE] [--stream FILE]... [-- VIEWER_ARGS...]
#
# The install folder DIR/install holds dvbdream.exe, modules/Zanterpoint.mod
# (PATH, relative to the Windows build folder; the real module by default),
# modules/Zanterpoint.ini when --ini is given, channels.txt, the stream files
# under their own names and script.txt. DIR/transcript.txt is what the viewer
# printed. It all stays there for a look after a failure.
#
# Expectation file, one rule per line, blank lines and # comments ignored:
#   TEXT        a transcript line equal to TEXT
#   ~ REGEX     a transcript line that REGEX (POSIX ERE) matches as a whole
#   ! REGEX     no transcript line matches REGEX as a whole
# Lines of the first two kinds must be found in this order. Beyond the rules,
# the viewer must exit with 0 after its last line, "viewer exit".
#
# Environment: ZP_WINE_RUN (tests/wine/wine-run.sh) and what it needs.
set -euo pipefail

work= script= expect= module=module/win32/Zanterpoint.mod ini= channels=
streams=()
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --script) script=$2; shift 2 ;;
    --expect) expect=$2; shift 2 ;;
    --module) module=$2; shift 2 ;;
    --ini) ini=$2; shift 2 ;;
    --channels) channels=$2; shift 2 ;;
    --stream) streams+=("$2"); shift 2 ;;
    --) shift; break ;;
    *) echo "run-e2e: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$work" ] && [ -n "$script" ] && [ -n "$expect" ] || { echo "run-e2e: --work, --script and --expect are needed" >&2; exit 2; }
: "${ZP_WINE_RUN:?ZP_WINE_RUN must name wine-run.sh}"

build=$("$ZP_WINE_RUN" --build-dir) || exit $?
install=$work/install
rm -rf "$work"
mkdir -p "$install/modules"
cp "$build/tools/dvbdream/dvbdream.exe" "$install/"
cp "$build/$module" "$install/modules/Zanterpoint.mod"
[ -z "$ini" ] || cp "$ini" "$install/modules/Zanterpoint.ini"
[ -z "$channels" ] || cp "$channels" "$install/channels.txt"
for s in ${streams[@]+"${streams[@]}"}; do
  [ -f "$s" ] || { echo "run-e2e: stream $s is missing (is the native build done?)" >&2; exit 1; }
  cp "$s" "$install/"
done
cp "$script" "$install/script.txt"

# The test has the prefix to itself (the lock zp_wine_desktop), and leaves no
# Wine process behind: Wine's desktop process would otherwise live on, drawing
# on the X display of this run, which is gone when the next test starts.
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
stop_wine() {
  [ -d "${ZP_WINE_PREFIX:-}" ] || return 0
  WINEPREFIX=$ZP_WINE_PREFIX "$wineserver" -k >/dev/null 2>&1 || true
  WINEPREFIX=$ZP_WINE_PREFIX "$wineserver" -w >/dev/null 2>&1 || true
}
stop_wine
status=0
(cd "$install" && "$ZP_WINE_RUN" --x11 "$install/dvbdream.exe" --script script.txt "$@") \
  >"$work/transcript.txt" 2>"$work/stderr.txt" || status=$?
stop_wine
[ "$status" -ne 77 ] || exit 77

failed=0
mapfile -t got <"$work/transcript.txt"
at=0
while IFS= read -r rule || [ -n "$rule" ]; do
  rule=${rule%$'\r'}
  case "$rule" in '' | '#'*) continue ;; esac
  case "$rule" in
    '! '*)
      re="^(${rule#! })\$"
      for i in "${!got[@]}"; do
        if [[ ${got[$i]} =~ $re ]]; then
          echo "unexpected line $((i + 1)): ${got[$i]}"
          echo "  (rule: $rule)"
          failed=1
        fi
      done
      continue ;;
    '~ '*) re="^(${rule#\~ })\$" kind=regex ;;
    *) kind=text ;;
  esac
  found=
  for ((i = at; i < ${#got[@]}; i++)); do
    if [ "$kind" = text ]; then [ "${got[$i]}" = "$rule" ] && found=1; else [[ ${got[$i]} =~ $re ]] && found=1; fi
    [ -z "$found" ] || break
  done
  if [ -n "$found" ]; then
    at=$((i + 1))
  else
    echo "missing after transcript line $at: $rule"
    failed=1
  fi
done <"$expect"

if [ "$status" -ne 0 ]; then
  echo "the viewer exited with $status"
  failed=1
elif [ "$(tail -n 1 "$work/transcript.txt")" != "viewer exit" ]; then
  echo "the transcript does not end with \"viewer exit\""
  failed=1
fi
if [ "$failed" -ne 0 ]; then
  echo "---- transcript ($work/transcript.txt)"
  cut -c 1-400 "$work/transcript.txt"
  echo "---- stderr"
  tail -n 20 "$work/stderr.txt"
  exit 1
fi
echo "e2e ok: $(wc -l <"$work/transcript.txt") transcript lines"
