#!/usr/bin/env bash
# Runs the soak through ../e2e-window/run-window-e2e.sh (same arguments: the
# transcript and the settings file are checked there), then compares the
# process's memory figures: the first "memory" line of the transcript, after
# the warm-up, with the last one, after the soak. Prints the figures.
#
# The module's own objects live in the C runtime's heap: that must not grow at
# all (a few strings of the viewer's may differ in capacity). The process as a
# whole may grow a little: under Wine its own DLLs keep a few small records per
# scan in the process heap (about 320 bytes; none of them the module's).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
work=
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --) break ;;
    *) shift ;;
  esac
done

bash "$here/../e2e-window/run-window-e2e.sh" "${args[@]}"

transcript=$work/transcript.txt
# Far below what one leaked capture (376 KB) or one leaked tree per scan would add.
limit_kb=2048 crt_limit_bytes=4096
awk -v limit="$limit_kb" -v crt_limit="$crt_limit_bytes" '
  function field(name,   i, kv) {
    for (i = 2; i <= NF; i++) { split($i, kv, "="); if (kv[1] == name) return kv[2] + 0 }
    return -1
  }
  /^cmd StartPacketFilter / { scans++ }
  /^memory / {
    n++
    if (n == 1) { p0 = field("private-kb"); k0 = field("heap-kb"); c0 = field("crt-heap-bytes"); b0 = field("crt-blocks"); w0 = field("working-kb"); h0 = field("handles"); g0 = field("gdi"); u0 = field("user") }
    p1 = field("private-kb"); k1 = field("heap-kb"); c1 = field("crt-heap-bytes"); b1 = field("crt-blocks"); w1 = field("working-kb"); h1 = field("handles"); g1 = field("gdi"); u1 = field("user")
  }
  /^callback-cost / { cost = $0 }
  END {
    if (n < 2) { print "soak: fewer than two memory figures in the transcript"; exit 1 }
    printf "soak: %d scans (StartPacketFilter); C runtime heap %d -> %d bytes in %d -> %d blocks; all heaps %d -> %d KB; committed private memory %d -> %d KB; working set %d -> %d KB; handles %d -> %d, GDI objects %d -> %d, USER objects %d -> %d\n", scans, c0, c1, b0, b1, k0, k1, p0, p1, w0, w1, h0, h1, g0, g1, u0, u1
    print "soak: " cost
    bad = 0
    if (p1 - p0 > limit) { printf "soak: private memory grew by %d KB (limit %d KB)\n", p1 - p0, limit; bad = 1 }
    if (c1 - c0 > crt_limit) { printf "soak: the C runtime heap grew by %d bytes (limit %d)\n", c1 - c0, crt_limit; bad = 1 }
    if (k1 - k0 > limit) { printf "soak: the heaps grew by %d KB (limit %d KB)\n", k1 - k0, limit; bad = 1 }
    if (h1 > h0) { printf "soak: %d handles more\n", h1 - h0; bad = 1 }
    if (g1 > g0) { printf "soak: %d GDI objects more\n", g1 - g0; bad = 1 }
    if (u1 > u0) { printf "soak: %d USER objects more\n", u1 - u0; bad = 1 }
    exit bad
  }' "$transcript"
