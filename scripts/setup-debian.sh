#!/usr/bin/env bash
# Installs what building and testing Zanterpoint needs on a fresh Debian machine.
# Only packages that are missing are installed; running it again is cheap.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

want=(cmake g++ make ninja-build libgtest-dev libgmock-dev libbenchmark-dev
      clang libclang-rt-14-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
      wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick x11-utils)

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

# Wine's 32-bit half comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo_cmd dpkg --add-architecture i386
fi
for p in "${want[@]}"; do have_pkg "$p" || need+=("$p"); done

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
echo "setup: toolchain ready"
