#!/usr/bin/env bash
# Runs scripts/setup-debian.sh against stand-ins of apt-get, dpkg, dpkg-query and
# sudo that keep a pretend package database in a folder and record every call:
# the real system is neither asked nor changed. Checks that a re-run with
# everything installed calls no apt-get at all, that a failing package list only
# warns, that Wine's 32-bit half is tried only where 32-bit code runs, on its own
# and after the rest, and that its failure leaves the set-up passing on the
# 64-bit twin, while a required package that cannot be installed fails it by name.
#
#   check-setup-debian.sh SETUP-SCRIPT WORK-FOLDER
set -euo pipefail
setup=$(realpath "$1") work=$2
fail=0
say() { echo "$1 $2"; [ "$1" = ok ] || fail=1; }

rm -rf "$work" && mkdir -p "$work/bin"
bin=$work/bin
# The script's own list of required packages.
required=()
eval "$(sed -n '/^required=(/,/)$/p' "$setup")"
# shellcheck disable=SC2154 # set by the eval
[ "${#required[@]}" -gt 10 ] || { echo "FAIL no list of required packages in $setup"; exit 1; }

# The stand-ins. $ZP_FAKE is the pretend system: installed (one package a line),
# archs (foreign architectures), calls (every call), and the switches
# update-fails and uninstallable (packages that no install can have).
cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
echo "dpkg-query $*" >>"$ZP_FAKE/calls"
pkg=${!#}
if grep -qxF -- "$pkg" "$ZP_FAKE/installed"; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching $pkg" >&2
exit 1
EOF
cat >"$bin/dpkg" <<'EOF'
#!/usr/bin/env bash
echo "dpkg $*" >>"$ZP_FAKE/calls"
case "$1" in
  --print-foreign-architectures) cat "$ZP_FAKE/archs" ;;
  --add-architecture) echo "$2" >>"$ZP_FAKE/archs" ;;
  --remove-architecture) grep -vxF -- "$2" "$ZP_FAKE/archs" >"$ZP_FAKE/archs.new" || true
                         mv "$ZP_FAKE/archs.new" "$ZP_FAKE/archs" ;;
  *) echo "dpkg stand-in: unexpected $*" >&2; exit 2 ;;
esac
EOF
cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$ZP_FAKE/calls"
case "$1" in
  update)
    if [ -f "$ZP_FAKE/update-fails" ]; then
      echo "E: Failed to fetch http://deb.example/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (123 != 456). Mirror sync in progress? [IP: 192.0.2.1 80]"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi
    exit 0 ;;
  install)
    simulate=0 pkgs=()
    for a in "${@:2}"; do
      case "$a" in -s) simulate=1 ;; -*) ;; *) pkgs+=("$a") ;; esac
    done
    bad=0
    for p in "${pkgs[@]}"; do
      if grep -qxF -- "$p" "$ZP_FAKE/uninstallable" 2>/dev/null; then
        bad=1
        echo "The following packages have unmet dependencies:"
        echo " $p : Depends: libpretend:i386 but it is not going to be installed"
      fi
    done
    if [ "$bad" = 1 ]; then
      echo "E: Unable to correct problems, you have held broken packages."
      exit 100
    fi
    [ "$simulate" = 1 ] || printf '%s\n' "${pkgs[@]}" >>"$ZP_FAKE/installed"
    exit 0 ;;
  *) echo "apt-get stand-in: unexpected $*" >&2; exit 2 ;;
esac
EOF
cat >"$bin/sudo" <<'EOF'
#!/usr/bin/env bash
exec "$@"
EOF
chmod +x "$bin"/*

# fresh NAME: a new pretend system. Switches follow as words: all-installed,
# i386 (the architecture is already there), update-fails, uninstallable=PKG.
fresh() {
  fake=$work/$1
  mkdir -p "$fake"
  : >"$fake/installed" && : >"$fake/archs" && : >"$fake/calls" && : >"$fake/uninstallable"
  shift
  for switch in "$@"; do
    case "$switch" in
      all-installed) printf '%s\n' "${required[@]}" >"$fake/installed" ;;
      i386) echo i386 >"$fake/archs" ;;
      update-fails) touch "$fake/update-fails" ;;
      uninstallable=*) echo "${switch#*=}" >>"$fake/uninstallable" ;;
    esac
  done
}
# run PROBE: runs the set-up on the current pretend system; 32-bit code "runs"
# when PROBE is true. Sets status and out.
run() {
  : >"$fake/calls"
  set +e
  out=$(ZP_FAKE=$fake PATH="$bin:$PATH" ZP_SETUP_PROBE32=$1 bash "$setup" 2>&1)
  status=$?
  set -e
  printf '%s\n' "$out" >"$fake/out"
}
calls() { grep -c -E "^$1" "$fake/calls" || true; }
twin_lines() { printf '%s\n' "$out" | grep -c 'the Wine tests run the 64-bit twin here' || true; }
# shellcheck disable=SC2317 # called through expect
not() { ! "$@"; }
expect() { # expect WHAT CONDITION...
  local what=$1; shift
  if "$@"; then say ok "$what"; else say FAIL "$what (output in $fake/out, calls in $fake/calls)"; fi
}

echo "-- a machine that cannot execute 32-bit code, from nothing, with a failing package list"
fresh no32 i386 update-fails
run false
expect "the set-up passes" [ "$status" = 0 ]
expect "the failing list is a warning that names it" \
  grep -q 'warning: apt-get update.*' <<<"$out"
expect "the warning shows apt's message" grep -q 'Mirror sync in progress' <<<"$out"
expect "one apt-get update" [ "$(calls 'apt-get update')" = 1 ]
expect "one install of the required packages" [ "$(calls 'apt-get install -y')" = 1 ]
expect "wine32:i386 is not tried" not grep -q 'apt-get.*wine32' "$fake/calls"
expect "every required package is installed" \
  [ "$(sort -u "$fake/installed" | wc -l)" = "${#required[@]}" ]
expect "the 64-bit twin is named once" [ "$(twin_lines)" = 1 ]
expect "the architecture list is not changed" not grep -q 'dpkg --add-architecture' "$fake/calls"

echo "-- the same machine again, with everything it can use installed"
run false
expect "the set-up passes" [ "$status" = 0 ]
expect "no apt-get call at all" [ "$(calls 'apt-get')" = 0 ]
expect "the 64-bit twin is named once" [ "$(twin_lines)" = 1 ]

echo "-- a machine that executes 32-bit code, without the i386 architecture, where wine32:i386 cannot be had"
fresh no-i386-lists uninstallable=wine32:i386
run true
expect "the set-up passes" [ "$status" = 0 ]
expect "the required packages are installed first, on their own" \
  [ "$(grep -m1 'apt-get install -y' "$fake/calls" | grep -c wine32)" = 0 ]
expect "then the i386 architecture is added" grep -q 'dpkg --add-architecture i386' "$fake/calls"
expect "and its lists fetched" [ "$(calls 'apt-get update')" = 2 ]
expect "wine32:i386 is tried on its own, after the rest" \
  grep -qE '^apt-get install -y( -[-a-z]+)* wine32:i386$' <(grep 'apt-get install -y' "$fake/calls" | sed -n 2p)
expect "the reason is shown" grep -q 'libpretend:i386' <<<"$out"
expect "the 64-bit twin is named once" [ "$(twin_lines)" = 1 ]
expect "the unused architecture is taken away again" [ ! -s "$fake/archs" ]

echo "-- a machine that executes 32-bit code, where wine32:i386 installs"
fresh with32 all-installed
run true
expect "the set-up passes" [ "$status" = 0 ]
expect "the i386 architecture is added" grep -q 'dpkg --add-architecture i386' "$fake/calls"
expect "wine32:i386 is installed" grep -qx 'wine32:i386' "$fake/installed"
expect "the 32-bit product is named" grep -q 'Wine runs the 32-bit product here' <<<"$out"
expect "the twin is not" [ "$(twin_lines)" = 0 ]
echo "-- the same machine again"
run true
expect "the set-up passes" [ "$status" = 0 ]
expect "no apt-get call at all" [ "$(calls 'apt-get')" = 0 ]
expect "no architecture is added" not grep -q 'dpkg --add-architecture' "$fake/calls"

echo "-- wine32:i386 installed, but its loader does not run"
fresh loader-fails all-installed i386
echo wine32:i386 >>"$fake/installed"
run false
expect "the set-up passes" [ "$status" = 0 ]
expect "no apt-get call at all" [ "$(calls 'apt-get')" = 0 ]
expect "the 64-bit twin is named once" [ "$(twin_lines)" = 1 ]

echo "-- a required package that cannot be installed"
fresh no-xvfb i386 update-fails uninstallable=xvfb
run false
expect "the set-up fails" [ "$status" != 0 ]
expect "it names the package" grep -q 'setup: xvfb cannot be installed' <<<"$out"
expect "and says why" grep -q 'xvfb : Depends: libpretend' <<<"$out"
expect "and names no other" [ "$(grep -c 'cannot be installed' <<<"$out")" = 1 ]

echo "-- the real probe: a 32-bit program is run, and its verdict is given"
fresh real-probe all-installed
set +e
out=$(ZP_FAKE=$fake PATH="$bin:$PATH" ZP_SETUP_PROBE32='' bash "$setup" 2>&1 </dev/null)
status=$?
set -e
printf '%s\n' "$out" >"$fake/out"
if grep -q 'apt-get install.*wine32' "$fake/calls"; then
  expect "32-bit code runs here: wine32:i386 is installed" grep -qx 'wine32:i386' "$fake/installed"
else
  expect "32-bit code does not run here: the twin is named once" [ "$(twin_lines)" = 1 ]
fi
expect "the set-up passes" [ "$status" = 0 ]

exit $fail
