#!/usr/bin/env bash
# The main job: the real module inside the stand-in viewer dvbdream.exe, on the
# sample streams and channel list. Installs what is missing first.
#
#   scripts/run.sh [--headless]
#
# With a display the viewer opens for a person (Modules > Zanterpoint opens the
# module; double-click a channel to tune). Without one, or with --headless, it
# runs under Xvfb: the viewer opens the module, waits for its scan, prints the
# module's channel tree and writes a PNG of the module's window.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

headless=0
[ "${1:-}" = "--headless" ] && headless=1
[ -n "${DISPLAY:-}" ] || headless=1

bash scripts/setup-debian.sh

# The sample streams come from the native build's stream synthesiser; the
# native transcript-tree prints the tree at the end.
echo "== build: sample streams"
cmake --preset native >/dev/null
cmake --build build/native --target zp_samples transcript-tree

# The Windows build that Wine runs here: the 32-bit product, or its 64-bit twin
# where this machine cannot execute 32-bit code.
export ZP_WIN32_DIR=$root/build/win32 ZP_WIN64_DIR=$root/build/win64
export ZP_WINE_PREFIX=$root/build/run/wineprefix
wine_run=$root/tests/wine/wine-run.sh
build=$("$wine_run" --build-dir)
preset=$(basename "$build")
echo "== build: $preset (module and viewer)"
cmake --preset "$preset" >/dev/null
cmake --build "$build" --target Zanterpoint dvbdream

# The viewer's folder, as the real viewer's: the program, the module in
# Modules, the channel list and its streams. The sample settings show all three
# portals and a group of favourites; settings of an earlier run are kept.
install=$root/build/run/install
mkdir -p "$install/modules"
cp "$build/tools/dvbdream/dvbdream.exe" "$install/"
cp "$build/module/win32/Zanterpoint.mod" "$install/modules/"
[ -f "$install/modules/Zanterpoint.ini" ] || cp tools/dvbdream/samples/Zanterpoint.ini "$install/modules/"
cp tools/dvbdream/samples/channels.txt "$install/"
cp build/native/samples/portal.ts build/native/samples/ordinary.ts "$install/"
cd "$install"

if [ "$headless" = 0 ]; then
  echo "== the stand-in viewer: Modules > Zanterpoint opens the module"
  exec "$wine_run" --x11 "$install/dvbdream.exe" --transcript ../transcript.txt
fi

cat >script.txt <<'EOF'
init
show
wait-scan 20000
tree
snapshot zanterpoint.bmp
EOF
echo "== the module in the stand-in viewer, without a display"
unset DISPLAY
# Wine's and the X server's own messages (the display going away at the end) go
# to a log, which is shown only when the run fails.
if ! "$wine_run" --x11 "$install/dvbdream.exe" --script script.txt >../transcript.txt 2>../viewer.log; then
  cat ../viewer.log >&2
  echo "run: the stand-in viewer failed; its transcript is $root/build/run/transcript.txt" >&2
  exit 1
fi
png=$root/build/run/zanterpoint.png
convert zanterpoint.bmp "$png"
# The tree as a person reads it: one line per node, indented by depth,
# [-] expanded, [+] collapsed. Names come from the stream and the viewer in
# code page 1252; the transcript escapes bytes outside ASCII as \xHH, and the
# terminal gets them as UTF-8 ("Kom\xf6dien" reads "Komödien").
echo "Channel tree of the module window:"
"$root/build/native/tools/dvbdream/transcript-tree" ../transcript.txt
grep -E '^(tree none|msgbox|error|wait-scan)' ../transcript.txt || true
echo "Screenshot: $png"
echo "Transcript: $root/build/run/transcript.txt"
