#!/usr/bin/env bash
# differential.sh NATIVE_REPLAY WINE_RUN SCENARIO_DIR WORK_DIR
#
# Runs every scenario script once through the native replay tool (portable
# backend) and once through its Windows build under Wine (the platform's
# profile functions), then compares the settings files and logs byte for byte.
set -euo pipefail
native=$1 wine_run=$2 scenarios=$3 work=$4

rm -rf "$work"
mkdir -p "$work/native" "$work/wine"

# Wine sees the Unix file system as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

native_args=() wine_args=() names=()
for script in "$scenarios"/*.txt; do
  name=$(basename "$script" .txt)
  names+=("$name")
  native_args+=("$script" "$work/native/$name.ini" "$work/native/$name.log")
  wine_args+=("$(winpath "$script")" "$(winpath "$work/wine/$name.ini")" "$(winpath "$work/wine/$name.log")")
done

"$native" "${native_args[@]}"
status=0
"$wine_run" tools/profile-replay/profile-replay.exe "${wine_args[@]}" || status=$?
[ "$status" -eq 77 ] && exit 77
[ "$status" -eq 0 ] || { echo "the Windows replay failed ($status)"; exit 1; }

failed=0
for name in "${names[@]}"; do
  for kind in ini log; do
    a=$work/native/$name.$kind b=$work/wine/$name.$kind
    if [ ! -e "$a" ] && [ ! -e "$b" ]; then continue; fi
    if [ -e "$a" ] && [ -e "$b" ] && cmp -s "$a" "$b"; then continue; fi
    failed=1
    echo "== $name.$kind differs (- native, + Wine; cat -A notation):"
    show() { if [ -e "$1" ]; then cat -A "$1"; else echo "(no file)"; fi; }
    diff -u <(show "$a") <(show "$b") | tail -n +3 | head -80 || true
  done
done
[ "$failed" -eq 0 ] && echo "profile differential: ${#names[@]} scenarios equal"
exit "$failed"
