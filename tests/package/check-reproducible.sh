#!/usr/bin/env bash
# Builds the release package twice from the same sources, in two fresh build
# folders at different paths (the second from a copy of the sources in another
# folder, built inside it), and checks that the two ZIPs and their SHA256SUMS
# are the same bytes. Only the package and what it needs are built.
#
#   check-reproducible.sh SOURCE-FOLDER WORK-FOLDER
set -euo pipefail
source=$(realpath "$1") work=$2
rm -rf "$work" && mkdir -p "$work" && work=$(realpath "$work")
jobs=$(nproc)

# The copy holds what a clone holds: Git's files, or without Git the folder
# minus its build folders.
copy=$work/second/a-longer-folder-name/Zanterpoint
mkdir -p "$copy"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # A file deleted but not yet committed is left out.
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$copy" -xf -
else
  tar -C "$source" --exclude=./build --exclude=./out --exclude=./.git -cf - . | tar -C "$copy" -xf -
fi

# build SOURCE BUILD-FOLDER: configures the win32 preset into BUILD-FOLDER and
# builds the package target.
build() {
  local log start=$SECONDS
  log=$work/$(basename "$(dirname "$2")")-$(basename "$2").log
  if ! (cd "$1" && cmake --preset win32 -B "$2" && cmake --build "$2" -j "$jobs" --target package) >"$log" 2>&1; then
    echo "FAIL the package did not build in $2:"
    tail -n 30 "$log"
    exit 1
  fi
  echo "ok built the package in $2 ($((SECONDS - start)) s)"
}
first=$work/first/build
second=$copy/build/win32
build "$source" "$first"
build "$copy" "$second"

fail=0
for zip in "$first"/Zanterpoint-*-win32.zip; do
  name=$(basename "$zip")
  if [ ! -f "$second/$name" ]; then
    echo "FAIL the second build wrote no $name"
    fail=1
  elif cmp -s "$zip" "$second/$name"; then
    echo "ok $name: the same bytes ($(stat -c %s "$zip") bytes)"
  else
    echo "FAIL $name differs between the two builds"
    mkdir -p "$work/one" "$work/two"
    (cd "$work/one" && cmake -E tar xf "$zip") && (cd "$work/two" && cmake -E tar xf "$second/$name")
    for f in "$work"/one/*; do
      cmp -s "$f" "$work/two/$(basename "$f")" ||
        echo "     $(basename "$f"): $(cmp -l "$f" "$work/two/$(basename "$f")" 2>&1 | wc -l) bytes differ"
    done
    fail=1
  fi
done
[ -n "${name:-}" ] || { echo "FAIL the first build wrote no package"; fail=1; }
if cmp -s "$first/SHA256SUMS" "$second/SHA256SUMS"; then
  echo "ok SHA256SUMS: the same"
else
  echo "FAIL SHA256SUMS differs or is missing"
  fail=1
fi
exit $fail
