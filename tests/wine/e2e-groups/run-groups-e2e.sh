#!/usr/bin/env bash
# Runs one end-to-end test of the group editor through ../e2e-window/run-window-e2e.sh
# (same arguments), then, when CASE.diff lies beside CASE.expect, compares the
# two copies of the settings file that the script took with "copy" steps,
# install/before.ini and install/after.ini: the lines that differ ("< " taken
# away, "> " put in, in diff's order, line ends aside) must be those of CASE.diff,
# and no other. An empty CASE.diff says the file stayed as it was.
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

bash "$here/../e2e-window/run-window-e2e.sh" "${args[@]}"

want=${expect%.expect}.diff
[ -f "$want" ] || exit 0
before=$work/install/before.ini after=$work/install/after.ini
for f in "$before" "$after"; do
  [ -f "$f" ] || { echo "the script took no copy $(basename "$f")"; exit 1; }
done
got=$(diff <(tr -d '\r' <"$before") <(tr -d '\r' <"$after") | grep '^[<>]' || true)
expected=$(grep -v '^#' "$want" || true)
if [ "$got" != "$expected" ]; then
  echo "---- the settings file changed in other lines than expected"
  diff <(echo "$expected") <(echo "$got") || true
  echo "---- before ($before)"
  cat "$before"
  echo "---- after ($after)"
  cat "$after"
  exit 1
fi
echo "file comparison ok: $(grep -c . <<<"$got" || true) lines differ as expected"
