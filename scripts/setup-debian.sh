#!/usr/bin/env bash
# Installs what building and testing Zanterpoint needs on a fresh Debian machine.
# Only packages that are missing are installed: a re-run with everything
# installed asks no package server anything.
#
# The required packages come first, in one go. A package list that cannot be
# fetched is a warning: the install goes on with the lists that were fetched,
# and the set-up fails only when a required package cannot be installed, naming
# it and why. Wine's 32-bit half (wine32:i386) comes after, on its own, and only
# where this machine executes 32-bit x86 code, which is found out by running a
# tiny 32-bit program; where that code cannot run, or the half cannot be
# installed, the Wine tests run the 64-bit twin (tests/wine/wine-run.sh makes
# the same choice by running Wine's 32-bit loader) and the set-up goes on.
#
# Environment, for the set-up's own test (tests/setup): ZP_SETUP_PROBE32, a
# command that stands in for the check whether 32-bit x86 code runs here.
set -euo pipefail

required=(cmake g++ make ninja-build libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64 fonts-wine xvfb xauth imagemagick x11-utils)
wine32=wine32:i386
loader32=/usr/lib/wine/wine

export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
# The first lines of a log, indented, on standard error.
show() {
  sed -n '1,10s/^/setup:   /p' "$1" >&2
  local lines
  lines=$(wc -l <"$1")
  [ "$lines" -le 10 ] || echo "setup:   ... ($((lines - 10)) more lines)" >&2
}

# Fetches the package lists; a list that fails is a warning, not the end.
updated=0
update_lists() {
  updated=1
  if ! as_root apt-get update -qq >"$work/update.log" 2>&1; then
    echo "setup: warning: apt-get update could not fetch every package list; going on with the lists it has:" >&2
    grep -E '^(E|W|Err):' "$work/update.log" >"$work/update.err" || cp "$work/update.log" "$work/update.err"
    show "$work/update.err"
  fi
}

# Why apt cannot install package $1 (from a simulation, which fetches nothing):
# prints the reason and succeeds, or fails when the package on its own would install.
why_not() {
  if apt-get install -s -q --no-install-recommends "$1" >"$work/why.log" 2>&1; then return 1; fi
  { grep '^E: ' "$work/why.log" || true
    sed -n '/unmet dependencies:/,$p' "$work/why.log" | grep -v -e 'unmet dependencies:' -e '^E: ' || true
  } | awk '!seen[$0]++' >"$work/why"
  [ -s "$work/why" ] || cp "$work/why.log" "$work/why"
  return 0
}

# Installs packages $@; fails quietly, leaving apt's output in $work/install.log.
install_pkgs() {
  as_root apt-get install -y -q --no-install-recommends "$@" >"$work/install.log" 2>&1
}

# --- The packages the project cannot do without.
need=()
for p in "${required[@]}"; do have_pkg "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  update_lists
  if ! install_pkgs "${need[@]}"; then
    named=0
    for p in "${need[@]}"; do
      if why_not "$p"; then
        echo "setup: $p cannot be installed:" >&2
        show "$work/why"
        named=1
      fi
    done
    if [ "$named" = 0 ]; then
      echo "setup: apt-get install ${need[*]} failed:" >&2
      tail -n 12 "$work/install.log" >"$work/tail" && show "$work/tail"
    fi
    echo "setup: FAILED: the project cannot be built and tested without these packages" >&2
    exit 1
  fi
fi

# --- Wine's 32-bit half, only where 32-bit x86 code runs.
# Runs a 93-byte static i386 Linux program that only exits with status 0: the
# kernel runs it only where it executes 32-bit x86 code.
runs_32bit_code() {
  if [ -n "${ZP_SETUP_PROBE32:-}" ]; then
    eval "$ZP_SETUP_PROBE32" >/dev/null 2>&1
    return
  fi
  local probe=$work/probe32
  {
    # ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054,
    # one program header at offset 52.
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
    printf '\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
    # The one segment: the whole 93-byte file, readable and executable, at 0x08048000.
    printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    # The code: mov eax,1 (exit); xor ebx,ebx (status 0); int 0x80.
    printf '\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
  } >"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1
}
twin() { echo "setup: $1: the Wine tests run the 64-bit twin here"; }

# Where the half is installed, its loader is what has to run.
loader_runs() {
  if [ -n "${ZP_SETUP_PROBE32:-}" ]; then runs_32bit_code; else "$loader32" --version >/dev/null 2>&1; fi
}

if have_pkg "$wine32"; then
  if loader_runs; then
    echo "setup: Wine runs the 32-bit product here"
  else
    twin "$wine32 is installed, but its loader $loader32 does not run on this machine"
  fi
elif ! runs_32bit_code; then
  twin "this machine cannot execute 32-bit x86 code, so $wine32 is not installed"
else
  echo "setup: installing $wine32"
  added_arch=0
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    added_arch=1
  fi
  # The i386 package lists are fetched only once the architecture is there.
  if [ "$updated" = 0 ] || [ "$added_arch" = 1 ]; then update_lists; fi
  if install_pkgs "$wine32"; then
    echo "setup: Wine runs the 32-bit product here"
  else
    why_not "$wine32" || tail -n 12 "$work/install.log" >"$work/why"
    echo "setup: $wine32 cannot be installed:" >&2
    show "$work/why"
    # An architecture that nothing uses would only make every later update fetch its lists.
    if [ "$added_arch" = 1 ]; then as_root dpkg --remove-architecture i386 >/dev/null 2>&1 || true; fi
    twin "without $wine32"
  fi
fi
echo "setup: toolchain ready"
