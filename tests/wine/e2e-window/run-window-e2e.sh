#!/usr/bin/env bash
# Runs one end-to-end test of the main window through ../e2e/run-e2e.sh (same
# arguments), then checks what the run left in its install folder:
#
# - CASE.settings beside CASE.expect, if present: one "[Section] key=value" a
#   line (blank lines and # comments ignored), each of which must be in the
#   settings file modules/Zanterpoint.ini as the run left it;
# - every snapshot the script took (install/*.bmp) becomes a PNG beside the
#   transcript, WORK/NAME.png, for a person to look at.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work= expect=
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --expect) expect=$2; shift 2 ;;
    --) break ;;
    *) shift ;;
  esac
done

status=0
bash "$here/../e2e/run-e2e.sh" "${args[@]}" || status=$?
[ "$status" -eq 0 ] || exit "$status"

ini=$work/install/modules/Zanterpoint.ini
settings=${expect%.expect}.settings
if [ -f "$settings" ]; then
  [ -f "$ini" ] || { echo "no settings file was written"; exit 1; }
  # The file as "[Section] key=value" lines, whatever its line ends.
  actual=$(tr -d '\r' <"$ini" | awk '/^\[/ { section = $0; next } NF { print section " " $0 }')
  failed=0
  while IFS= read -r want || [ -n "$want" ]; do
    want=${want%$'\r'}
    case "$want" in ''|'#'*) continue ;; esac
    if ! grep -Fxq -- "$want" <<<"$actual"; then
      echo "settings file lacks: $want"
      failed=1
    fi
  done <"$settings"
  if [ "$failed" -ne 0 ]; then
    echo "---- settings file ($ini)"
    cat "$ini"
    exit 1
  fi
  echo "settings ok"
fi

for bmp in "$work"/install/*.bmp; do
  [ -e "$bmp" ] || continue
  png=$work/$(basename "${bmp%.bmp}").png
  convert "$bmp" "$png"
  [ -s "$png" ] || { echo "no screenshot in $png"; exit 1; }
  echo "screenshot $png ($(identify -format '%wx%h' "$png"))"
done
