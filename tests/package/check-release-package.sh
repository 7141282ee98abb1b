#!/usr/bin/env bash
# Unpacks the release package and checks what a user gets: exactly the module,
# the sample settings, the guide and the capture inspector; the module and the
# inspector are the ones the tests ran; both
# texts are Windows text files (CRLF, code page 1252); the guide covers
# installing, groups and every settings key; the module carries its version
# resource.
#
#   check-release-package.sh PACKAGE.zip TESTED-MODULE TESTED-INSPECTOR VERSION WORK-FOLDER
set -euo pipefail
zip=$(realpath "$1") tested=$2 inspector=$3 version=$4 work=$5
fail=0
say() { echo "$1 $2"; [ "$1" = ok ] || fail=1; }

[ -f "$zip" ] || { echo "FAIL no package $zip (build the target 'package' of the win32 build)"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$zip")

files=$(cd "$work" && find . -type f -printf '%P\n' | sort | tr '\n' ' ')
want="Zanterpoint.ini Zanterpoint.mod Zanterpoint.txt zpinspect.exe "
[ "$files" = "$want" ] && say ok "contents: $files" || say FAIL "contents: '$files', want '$want'"

cmp -s "$work/Zanterpoint.mod" "$tested" && say ok "the module is the tested one" ||
  say FAIL "the module differs from $tested"
cmp -s "$work/zpinspect.exe" "$inspector" && say ok "zpinspect.exe is the tested one" ||
  say FAIL "zpinspect.exe differs from $inspector"

for text in Zanterpoint.txt Zanterpoint.ini; do
  f=$work/$text
  [ -f "$f" ] || continue
  if LC_ALL=C grep -q -v $'\r$' "$f" || [ "$(tail -c 2 "$f" | od -An -tx1 | tr -d ' ')" != 0d0a ]; then
    say FAIL "$text: a line without CRLF"
  else
    say ok "$text: CRLF line ends"
  fi
  # Code page 1252 leaves five bytes undefined; UTF-8 would show as two-byte pairs.
  if LC_ALL=C grep -q $'[\x81\x8d\x8f\x90\x9d]' "$f"; then
    say FAIL "$text: bytes that code page 1252 does not define"
  elif LC_ALL=C grep -q $'[\x80-\xff]' "$f" && iconv -f UTF-8 -t UTF-8 "$f" >/dev/null 2>&1; then
    say FAIL "$text: UTF-8, not code page 1252"
  else
    say ok "$text: code page 1252"
  fi
done

guide=$work/Zanterpoint.txt
for phrase in "Version $version" '"Modules"' "Zanterpoint.mod" "Start DVBDream" "Lists=" "List=" \
    "1 to 65535" TimerInterval TimerEnabled TreeViewColor TreeViewFont NodeSID Title \
    "Top, Left" "Height, Width" "DP, SP, EP" "[Collapse]" "Save Buffer" "zpinspect C:\\zpOut.ts"; do
  grep -qF -- "$phrase" "$guide" && say ok "guide: $phrase" || say FAIL "guide lacks: $phrase"
done

# The version resource as the file's properties show it (UTF-16 strings).
resource=$(strings -el "$work/Zanterpoint.mod" | tr '\n' '|')
for pair in "ProductName|Zanterpoint" "FileVersion|$version" "ProductVersion|$version" \
    "OriginalFilename|Zanterpoint.mod" "LegalCopyright|Copyright"; do
  case "$resource" in *"|$pair"*) say ok "version resource: ${pair/|/ = }" ;;
                      *) say FAIL "version resource lacks ${pair/|/ = }" ;; esac
done
exit $fail
