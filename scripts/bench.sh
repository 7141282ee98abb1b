#!/usr/bin/env bash
# Runs the benchmarks and prints a table of each figure beside its physical
# baseline, with the ratio and the target. Writes the same rows to
# bench/results.csv and a description of this machine to bench/machine.txt.
# Installs what is missing and builds the optimised native build first.
#
# Rows, in the table and in bench/results.csv (one header line, then one row per
# figure; fields never hold commas and are not quoted; "-" marks an empty field):
#
#   figure,value,unit,baseline,baseline_value,ratio,target,meets
#
#   figure          what was measured
#   value           the figure, in `unit`
#   unit            e.g. ns/packet, us, ms, reads, allocations/packet
#   baseline        what the figure is measured beside, or -
#   baseline_value  the baseline, in the same unit, or -
#   ratio           value / baseline_value, or -
#   target          with a baseline: the highest ratio allowed (2 = within 2x);
#                   without one: the highest value allowed; - when there is none
#   meets           yes, no, or - without a target
#
# Timings are the minimum over the repetitions of the CPU time per operation
# (other work on the machine only ever adds to a timing); counts are the
# maximum over the repetitions.
#
# In-viewer figures: when bench/viewer-figures.sh exists, it runs as
#   bash bench/viewer-figures.sh <repository root>
# and prints rows of the same layout on stdout (a header line like the one
# above, empty lines and lines starting with # are skipped). Its rows join the
# table and bench/results.csv; if it fails, its figures are reported missing.
#
# ZP_BENCH_REPETITIONS (default 5) sets the number of repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
repetitions="${ZP_BENCH_REPETITIONS:-5}"
header="figure,value,unit,baseline,baseline_value,ratio,target,meets"

bash scripts/setup-debian.sh

echo "== build: native (zp_bench)"
cmake --preset native >/dev/null
cmake --build build/native --target zp_bench

out_dir=build/native/bench
json="$out_dir/zp_bench.json"
echo "== run: zp_bench, $repetitions repetitions (console output in $out_dir/zp_bench.log)"
if ! "$out_dir/zp_bench" --benchmark_repetitions="$repetitions" \
  --benchmark_out="$json" --benchmark_out_format=json >"$out_dir/zp_bench.log" 2>&1; then
  tail -n 20 "$out_dir/zp_bench.log" >&2
  echo "bench: zp_bench failed; its output is in $out_dir/zp_bench.log" >&2
  exit 1
fi

# The benchmark program's JSON, one "key": value per line, to the rows above.
native_rows="$(awk '
  function commit(   n, f, k, key, v) {
    n = rec["run_name"]
    if (n == "" || rec["run_type"] != "iteration") return
    seen[n] = 1
    if (rec["error_occurred"] == "true") failed[n] = rec["error_message"]
    f = rec["time_unit"] == "us" ? 1e3 : rec["time_unit"] == "ms" ? 1e6 : rec["time_unit"] == "s" ? 1e9 : 1
    rec["cpu_ns"] = rec["cpu_time"] * f
    rec["real_ns"] = rec["real_time"] * f
    for (k in rec) {
      if (rec[k] !~ /^-?[0-9.]+([eE][-+]?[0-9]+)?$/) continue
      key = n SUBSEP k
      v = rec[k] + 0
      if (!(key in lo) || v < lo[key]) lo[key] = v
      if (!(key in hi) || v > hi[key]) hi[key] = v
    }
  }
  function need(n, k) {
    if (!(n in seen)) { print "bench: no result for " n > "/dev/stderr"; bad = 1; return 0 }
    if (n in failed) { print "bench: " n " failed: " failed[n] > "/dev/stderr"; bad = 1; return 0 }
    if (!((n SUBSEP k) in lo)) { print "bench: " n " has no " k > "/dev/stderr"; bad = 1; return 0 }
    return 1
  }
  function minimum(n, k) { return need(n, k) ? lo[n SUBSEP k] : 0 }
  function maximum(n, k) { return need(n, k) ? hi[n SUBSEP k] : 0 }
  function num(v) {
    if (v == 0) return "0"
    if (v >= 100 || v == int(v)) return sprintf("%.0f", v)
    if (v >= 10) return sprintf("%.1f", v)
    if (v >= 1) return sprintf("%.2f", v)
    if (v >= 0.001) return sprintf("%.3f", v)
    return sprintf("%.2e", v)
  }
  # target "-": none; with a baseline the target is a ratio, else a value.
  function row(figure, value, unit, baseline, base, target,   ratio, meets, r) {
    ratio = "-"; meets = "-"
    if (baseline != "-") {
      r = value / base
      ratio = num(r)
      if (target != "-") meets = r <= target ? "yes" : "no"
      base = num(base)
    } else {
      base = "-"
      if (target != "-") meets = value <= target ? "yes" : "no"
    }
    print figure "," num(value) "," unit "," baseline "," base "," ratio "," target "," meets
  }
  {
    line = $0
    sub(/^[ \t]+/, "", line)
    if (line ~ /^"[^"]+": /) {
      key = line; sub(/^"/, "", key); sub(/".*/, "", key)
      val = line; sub(/^"[^"]+": /, "", val); sub(/,$/, "", val); gsub(/"/, "", val)
      rec[key] = val
    } else if (line ~ /^}/) {
      commit()
      split("", rec)
    }
  }
  END {
    mix = "BM_PacketCallback_Mix"; store = "BM_PacketCallback_StoreSection"
    worst = "BM_Extract_WorstCase"; none = "BM_Extract_NoMarker"; scan = "BM_Baseline_MemchrPass"
    trip = "BM_Settings_RoundTrip"; once = "BM_Baseline_SettingsFileOnce"
    build = "BM_ServiceIndex_Build"; walk = "BM_Baseline_TableWalk"; look = "BM_ServiceIndex_Lookup"

    row("PacketCallback on a transponder mix", minimum(mix, "ns_per_packet") * 1e9, "ns/packet",
        "read bytes 1 and 2 of each packet", minimum("BM_Baseline_ReadPidBytes", "ns_per_packet") * 1e9, 2)
    row("PacketCallback on a transponder mix: heap allocations", maximum(mix, "allocs_per_packet"),
        "allocations/packet", "-", 0, 0)
    row("PacketCallback store path (PID 0x0012 section packet)", minimum(store, "ns_per_packet") * 1e9,
        "ns/packet", "memcpy of 188 bytes into the same slots",
        minimum("BM_Baseline_Memcpy188", "ns_per_packet") * 1e9, 2)
    row("PacketCallback store path: heap allocations", maximum(store, "allocs_per_packet"),
        "allocations/packet", "-", 0, 0)
    row("ExtractPortalLists full buffer worst case (markers only without continuity)", minimum(worst, "cpu_ns") / 1e3,
        "us", "memchr pass for 0xB0 over the buffer", minimum(scan, "cpu_ns") / 1e3, 3)
    row("ExtractPortalLists full buffer without any marker", minimum(none, "cpu_ns") / 1e3, "us",
        "memchr pass for 0xB0 over the buffer", minimum(scan, "cpu_ns") / 1e3, 3)
    row("ServiceIndex build from a full viewer table (8000 records)", minimum(build, "cpu_ns") / 1e3,
        "us", "one walk over the same records", minimum(walk, "cpu_ns") / 1e3, 2)
    row("ServiceIndex memory (slots for service ids 0 to 65535)", maximum(build, "index_bytes") / 1024,
        "KiB", "-", 0, "-")
    row("ServiceIndex lookup", minimum(look, "ns_per_lookup") * 1e9, "ns/lookup", "-", 0, "-")
    row("ServiceIndex lookup: heap allocations", maximum(look, "allocs_per_lookup"),
        "allocations/lookup", "-", 0, 0)
    row("Settings LoadSettings+BuildTree+SaveSettings (31 entries; groups of 101 ids)",
        minimum(trip, "cpu_ns") / 1e6, "ms", "read+scan+rewrite the same file once",
        minimum(once, "cpu_ns") / 1e6, 10)
    row("Settings profile writes per build with nothing changed", maximum(trip, "writes_per_build"),
        "writes", "-", 0, 0)
    row("Settings profile writes per collapse toggle", maximum(trip, "writes_per_collapse_toggle"),
        "writes", "-", 0, 1)
    row("Settings profile writes of the first save into a missing file", maximum(trip, "writes_first_save"),
        "writes", "every key once", maximum(trip, "keys_per_save"), 1)
    row("Settings profile reads per build (keys read and sections listed)", maximum(trip, "reads_per_build"),
        "reads", "-", 0, "-")
    row("Settings profile reads per round trip", maximum(trip, "reads_per_round_trip"), "reads", "-", 0, "-")
    row("Settings profile writes per round trip with nothing changed", maximum(trip, "writes_per_round_trip"),
        "writes", "-", 0, 0)
    row("Settings file size", maximum(trip, "file_bytes"), "bytes", "-", 0, "-")
    row("Settings heap allocations per round trip", maximum(trip, "allocs_per_round_trip"),
        "allocations", "-", 0, 300)
    filter = "BM_GroupEditor_FilterKeystroke"; ok = "BM_GroupEditor_OkToRebuiltTree/real_time"
    row("Group editor filter keystroke (portable part; 8000 channels in the table)",
        minimum(filter, "cpu_ns") / 1e6, "ms", "-", 0, 30)
    row("Group editor OK to a rebuilt tree (edit written into 31 entries of 101 ids; tree built; wall clock)",
        minimum(ok, "real_ns") / 1e6, "ms", "-", 0, 50)
    if (bad) exit 1
  }
' "$json")" || { echo "bench: the benchmark results are incomplete; see $out_dir/zp_bench.log" >&2; exit 1; }

# Prints rows of the layout above as an aligned table, ratios and ratio targets with an x.
print_table() {
  awk -F, -v header="$header" '
    BEGIN { n = split(header, h, ","); for (i = 1; i <= n; i++) { cell[0, i] = h[i]; w[i] = length(h[i]) } }
    {
      rows++
      for (i = 1; i <= n; i++) cell[rows, i] = $i
      if ($4 != "-") {
        if ($6 != "-") cell[rows, 6] = $6 "x"
        if ($7 != "-") cell[rows, 7] = $7 "x"
      }
      for (i = 1; i <= n; i++) if (length(cell[rows, i]) > w[i]) w[i] = length(cell[rows, i])
    }
    END {
      for (r = 0; r <= rows; r++) {
        line = ""
        for (i = 1; i <= n; i++) {
          f = (i == 2 || i == 5 || i == 6) ? "%" w[i] "s" : "%-" w[i] "s"
          line = line (i > 1 ? "  " : "") sprintf(f, cell[r, i])
        }
        sub(/ +$/, "", line)
        print line
      }
    }'
}

echo
echo "== native figures (minimum CPU time of $repetitions repetitions)"
printf '%s\n' "$native_rows" | print_table

viewer_rows=""
if [ -f bench/viewer-figures.sh ]; then
  echo
  echo "== in-viewer figures (bench/viewer-figures.sh)"
  if viewer_out="$(bash bench/viewer-figures.sh "$root")"; then
    viewer_rows="$(printf '%s\n' "$viewer_out" | awk -F, -v header="$header" '
      /^[ \t]*$/ || /^#/ || $0 == header { next }
      NF != 8 { print "bench: skipped an in-viewer row without 8 fields: " $0 > "/dev/stderr"; next }
      { print }')"
    if [ -n "$viewer_rows" ]; then
      printf '%s\n' "$viewer_rows" | print_table
    else
      echo "in-viewer figures missing: bench/viewer-figures.sh printed no rows"
    fi
  else
    echo "in-viewer figures missing: bench/viewer-figures.sh failed (exit status $?)"
  fi
else
  echo
  echo "in-viewer figures missing: there is no bench/viewer-figures.sh"
fi

{
  echo "$header"
  printf '%s\n' "$native_rows"
  [ -z "$viewer_rows" ] || printf '%s\n' "$viewer_rows"
} >bench/results.csv

first_line() { "$@" 2>/dev/null | head -n 1 || true; }
{
  echo "Machine and method of the figures in results.csv (written by scripts/bench.sh)"
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  changed="$(git status --porcelain -- bench/*.cpp bench/*.h feed settings ui module 2>/dev/null |
    awk '{ sub(/\/.*/, "", $2); print $2 }' | sort -u | paste -sd' ' -)"
  echo "commit: $(git rev-parse --short HEAD 2>/dev/null || echo unknown)${changed:+, with uncommitted changes in: $changed}"
  echo "os: $(. /etc/os-release 2>/dev/null && echo "${PRETTY_NAME:-unknown}")"
  echo "kernel: $(uname -srm)"
  echo "cpu: $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
  echo "cores: $(nproc) available to the run"
  echo "memory: $(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
  echo "load average at the end of the run: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "compiler (native build): $(first_line "$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' build/native/CMakeCache.txt)" --version)"
  command -v clang >/dev/null && echo "clang: $(first_line clang --version)"
  command -v i686-w64-mingw32-g++ >/dev/null &&
    echo "mingw i686: $(first_line i686-w64-mingw32-g++ --version)"
  echo "google benchmark: $(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null || echo unknown)"
  echo "build: native preset, $(awk -F= '/^CMAKE_BUILD_TYPE:/ { print $2 }' build/native/CMakeCache.txt)"
  echo "method: zp_bench with $repetitions repetitions; timings are the minimum over the repetitions"
  echo "  of the CPU time per operation, counts the maximum; see the top of scripts/bench.sh"
} >bench/machine.txt

echo
echo "== wrote bench/results.csv and bench/machine.txt"
