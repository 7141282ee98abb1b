#!/usr/bin/env bash
# Unpacks the release package and checks what a user gets: exactly the module,
# the sample settings, the guide and the capture inspector; the module and the
# inspector are the ones the tests ran, stripped of their symbols, with no link
# time stamp and no folder of the build machine in them; SHA256SUMS beside the
# ZIP lists it; both texts are Windows text files (CRLF, code page 1252); the
# guide covers installing, groups and every settings key; the module carries
# its version resource.
#
#   check-release-package.sh PACKAGE.zip TESTED-MODULE TESTED-INSPECTOR VERSION WORK-FOLDER \
#                            STRIP-TOOL BUILD-FOLDER...
set -euo pipefail
zip=$(realpath "$1") tested=$2 inspector=$3 version=$4 work=$5 strip=$6
shift 6
folders=("$@")
fail=0
say() { echo "$1 $2"; [ "$1" = ok ] || fail=1; }

command -v "$strip" >/dev/null || { echo "FAIL no strip tool '$strip' (i686-w64-mingw32-strip, from MinGW-w64)"; exit 1; }
[ -f "$zip" ] || { echo "FAIL no package $zip (build the target 'package' of the win32 build)"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
(cd "$work" && cmake -E tar xf "$zip")

files=$(cd "$work" && find . -type f -printf '%P\n' | sort | tr '\n' ' ')
want="Zanterpoint.ini Zanterpoint.mod Zanterpoint.txt zpinspect.exe "
[ "$files" = "$want" ] && say ok "contents: $files" || say FAIL "contents: '$files', want '$want'"

sums=$(dirname "$zip")/SHA256SUMS
if [ "$(cat "$sums" 2>/dev/null)" = "$(cd "$(dirname "$zip")" && sha256sum "$(basename "$zip")")" ]; then
  say ok "SHA256SUMS lists the package"
else
  say FAIL "SHA256SUMS beside the package does not list it with its hash"
fi

# u32 FILE OFFSET: the little-endian 32-bit number at OFFSET.
u32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
for pair in "Zanterpoint.mod:$tested" "zpinspect.exe:$inspector"; do
  name=${pair%%:*} built=${pair#*:} f=$work/${pair%%:*}
  [ -f "$f" ] || continue
  # The released copy is the tested binary without its symbols, stripped as
  # the package step does it (strip dates its output unless told otherwise).
  SOURCE_DATE_EPOCH=0 "$strip" -o "$work/tested-$name" "$built"
  cmp -s "$f" "$work/tested-$name" && say ok "$name is the tested one, stripped" ||
    say FAIL "$name is not $built stripped"
  pe=$(u32 "$f" 60)
  [ "$(u32 "$f" $((pe + 8)))" = 0 ] && say ok "$name: no link time stamp" ||
    say FAIL "$name: a link time stamp in the PE header"
  [ "$(u32 "$f" $((pe + 16)))" = 0 ] && say ok "$name: no symbols" || say FAIL "$name: symbols in it"
  for folder in "${folders[@]}"; do
    folder=$(realpath "$folder")
    if LC_ALL=C grep -q -F -- "$folder" "$f" || strings -el "$f" | grep -q -F -- "$folder"; then
      say FAIL "$name holds the build machine's folder $folder"
    else
      say ok "$name: no $folder in it"
    fi
  done
done

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
