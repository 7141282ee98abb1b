#!/usr/bin/env bash
# Runs the end-to-end test through ../e2e/run-e2e.sh (same arguments), with
# @DUMP@ in the script standing for the Windows path of install/capture.dump,
# and then checks the dump that the module saved there:
#
# - zpinspect (native, ZP_ZPINSPECT) reads it and prints, portal by portal,
#   the same entries as the last tree the transcript shows;
# - the Windows zpinspect.exe under Wine prints the same report.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
: "${ZP_ZPINSPECT:?ZP_ZPINSPECT must name the native zpinspect}"
work= script=
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  case "${args[$i]}" in
    --work) work=${args[$((i + 1))]} ;;
    --script) script=${args[$((i + 1))]} ;;
    --) break ;;
  esac
done
[ -n "$work" ] && [ -n "$script" ] || { echo "run-inspect-e2e: --work and --script are needed" >&2; exit 2; }

# Drive Z: is the Unix root in a Wine prefix.
windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }
dump=$work/install/capture.dump
# run-e2e.sh starts from an empty work folder: the script goes beside it.
generated=$work.script
mkdir -p "$(dirname "$work")"
escaped=$(windows_path "$dump" | sed 's/[\\&|]/\\&/g')
sed "s|@DUMP@|$escaped|g" "$script" >"$generated"
for ((i = 0; i < ${#args[@]}; i++)); do
  [ "${args[$i]}" = --script ] && args[$((i + 1))]=$generated
done

bash "$here/../e2e/run-e2e.sh" "${args[@]}"

[ -f "$dump" ] || { echo "the module wrote no dump"; exit 1; }
size=$(stat -c %s "$dump")
[ "$size" -eq 376000 ] || { echo "the dump has $size bytes, not 376000"; exit 1; }

# The last tree of the transcript as "Portal|entry" lines, its captions turned
# from the transcript's escapes back into code page 1252 bytes, then UTF-8.
tree_entries() {
  awk '/^tree begin$/ { n = 0; delete lines; next }
       /^tree 0 / { root = substr($0, 10); next }
       /^tree 1 / { lines[n++] = root "|" substr($0, 10) }
       /^tree end/ { out = ""; for (i = 0; i < n; i++) out = out lines[i] "\n"; last = out }
       END { printf "%s", last }' "$1" |
    while IFS= read -r line; do printf '%b\n' "${line//\\\"/\"}"; done |
    iconv -f CP1252 -t UTF-8
}
# zpinspect's entry lines ("  SID  name" below a portal's heading) the same way.
report_entries() {
  awk '/^(Direkt|Sport|Erotik) Portal \(marker/ { root = $1 " " $2; next }
       /^$/ { root = "" }
       root != "" && /^ +[0-9]+  / { sub(/^ +[0-9]+  /, ""); print root "|" $0 }' "$1"
}

report=$work/zpinspect.txt
"$ZP_ZPINSPECT" "$dump" >"$report"
tree_entries "$work/transcript.txt" >"$work/tree-entries.txt"
report_entries "$report" >"$work/report-entries.txt"
[ -s "$work/tree-entries.txt" ] || { echo "the transcript shows no tree entries"; exit 1; }
if ! diff -u "$work/tree-entries.txt" "$work/report-entries.txt"; then
  echo "zpinspect's lists differ from the module's tree"
  cat "$report"
  exit 1
fi
grep -qx 'Verdict: tree built' "$report" || { echo "zpinspect's verdict is not the module's"; cat "$report"; exit 1; }
echo "zpinspect ok: $(wc -l <"$work/tree-entries.txt") entries as in the tree"

# The Windows program, once, on the same dump; only the file name differs.
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
status=0
"$ZP_WINE_RUN" tools/zpinspect/zpinspect.exe "$(windows_path "$dump")" >"$work/zpinspect-exe.txt" \
  2>"$work/zpinspect-exe.stderr" || status=$?
WINEPREFIX=$ZP_WINE_PREFIX "$wineserver" -w >/dev/null 2>&1 || true
[ "$status" -eq 0 ] || { echo "zpinspect.exe exited with $status"; cat "$work/zpinspect-exe.stderr"; exit 1; }
if ! diff -u <(tail -n +2 "$report") <(tr -d '\r' <"$work/zpinspect-exe.txt" | tail -n +2); then
  echo "zpinspect.exe under Wine reports otherwise than the native zpinspect"
  exit 1
fi
echo "zpinspect.exe ok under Wine"
