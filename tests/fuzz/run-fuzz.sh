#!/usr/bin/env bash
# run-fuzz.sh TARGET SEED_DIR SECONDS: a bounded fuzz run from the seed corpus.
# New inputs go to a scratch corpus in the build folder; a crash fails the test
# and leaves its input there, to be turned into a regression test.
set -uo pipefail
target=$(realpath "$1") seeds=$(realpath "$2") seconds=${3:-30}
work=${ZP_FUZZ_WORK:?}
mkdir -p "$work/corpus"
cd "$work"
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$work/corpus" "$seeds" >"$work/log" 2>&1
status=$?
grep -E 'stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY|Test unit written' "$work/log"
[ $status -eq 0 ] || echo "fuzz: $target failed ($status); inputs and log in $work"
exit $status
