#!/usr/bin/env bash
# viewer-figures.sh ROOT: the figures measured in the stand-in viewer under Wine,
# as rows for scripts/bench.sh (its header describes the columns):
# - from the start of the scan's delivery to a built tree when the stream is
#   complete, at a packet rate so high that the capture fills at once (then the
#   scan tick of 100 ms bounds it) and at a real transponder's rate (25,000
#   packets per second), and from OnShow (which also shows the window) to the tree;
# - the packet callback's cost per packet in the viewer's delivery loop, beside
#   the same loop calling an empty callback.
# Builds what it needs (native samples, the Windows build) first.
set -euo pipefail
root=$1
cd "$root"

cmake --preset native >/dev/null
cmake --build build/native --target zp_samples >/dev/null
# The 32-bit build where this machine runs 32-bit code, else its 64-bit twin (wine-run.sh picks).
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" --target dvbdream Zanterpoint >/dev/null
done

work=build/native/bench/viewer
mkdir -p "$work"
echo "viewer exit" >"$work/any.expect"
ZP_WIN32_DIR=$root/build/win32 ZP_WIN64_DIR=$root/build/win64 \
  ZP_WINE_PREFIX=$root/build/native/wineprefix-e2e ZP_WINE_RUN=$root/tests/wine/wine-run.sh \
  bash tests/wine/e2e/run-e2e.sh --work "$root/$work/run" --script bench/viewer-figures.script \
  --expect "$work/any.expect" --ini tests/wine/e2e-window/settings.ini \
  --channels tests/wine/e2e-window/channels.txt \
  --stream build/native/samples/portal.ts --stream build/native/samples/ordinary.ts >&2

awk '
  function median(list, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (list[j] < list[i]) { t = list[i]; list[i] = list[j]; list[j] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
  }
  function field(name,   i, kv) {
    for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == name) return kv[2] }
    return ""
  }
  /^> rate / { rate = $3 }
  /^wait-tree done / { n[rate]++; ms[rate, n[rate]] = field("after-show-ms") + 0; st[rate, n[rate]] = field("after-start-ms") + 0 }
  /^callback-cost packets=[1-9]/ { cost[rate] = field("module-ns"); empty[rate] = field("empty-ns") }
  END {
    print "figure,value,unit,baseline,baseline_value,ratio,target,meets"
    for (r in n) {
      delete list
      for (i = 1; i <= n[r]; i++) list[i] = st[r, i]
      m = median(list, n[r])
      printf "In the viewer: scan start to a built tree (complete stream at %d packets/s; median of %d),%.1f,ms,the scan tick,100,%.2f,1.5,%s\n", r, n[r], m, m / 100, m / 100 <= 1.5 ? "yes" : "no"
      delete list
      for (i = 1; i <= n[r]; i++) list[i] = ms[r, i]
      printf "In the viewer: OnShow to a built tree (complete stream at %d packets/s; median of %d),%.1f,ms,-,-,-,-,-\n", r, n[r], median(list, n[r])
    }
    for (r in cost) {
      printf "In the viewer: PacketCallback in the delivery loop (portal transponder at %d packets/s),%.2f,ns/packet,the same loop with an empty callback,%.2f,%.2f,-,-\n", r, cost[r], empty[r], cost[r] / empty[r]
      if (r == 25000) printf "In the viewer: PacketCallback share of one core at %d packets/s,%.4f,%%,-,-,-,-,-\n", r, (cost[r] - empty[r]) * r / 1e7
    }
  }' "$work/run/transcript.txt"
