#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, in the test prefix.
#
#   wine-run.sh [--x11] PROGRAM [ARGS...]
#
# PROGRAM is a path relative to the Windows build folder (e.g. tools/dvbdream/dvbdream.exe),
# or an absolute path (a program copied elsewhere, e.g. into a test's install folder).
# PROGRAM --build-dir prints the build folder that would be used, and runs nothing.
# An argument of the form @BUILD@/path is passed as the Windows path of that
# file in the same build folder (drive Z: is the Unix root in a Wine prefix).
# The 32-bit product build is used where this machine can execute 32-bit x86 code;
# elsewhere the 64-bit twin of the same sources under wine64.
# --x11 gives the program a display: the current one, or a private Xvfb.
#
# Environment: ZP_WIN32_DIR, ZP_WIN64_DIR (build folders), ZP_WINE_PREFIX (required);
# ZP_WINE_TWIN=1 takes the 64-bit twin even where 32-bit code runs, to try the
# path of machines that cannot execute it. ZP_XVFB_SCREEN (e.g. 1024x768): with
# --x11, always a private Xvfb screen of that size, for tests that depend on it
# (default: 1280x1024, and only without a display). ZP_XVFB_WORKAREA (x,y,w,h,
# with ZP_XVFB_SCREEN): the private screen also announces that work area, as a
# desktop with a panel at its top or left does (needs python3).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

x11=0
if [ "${1:-}" = "--x11" ]; then x11=1; shift; fi
program=$1; shift

: "${ZP_WINE_PREFIX:?ZP_WINE_PREFIX must name the test prefix}"
export WINEPREFIX=$ZP_WINE_PREFIX WINEDEBUG=${WINEDEBUG:--all} LC_ALL=C WINEDLLOVERRIDES="mscoree,mshtml="

# Where 32-bit code runs, the 32-bit loader starts; where it does not, the kernel refuses it
# (scripts/setup-debian.sh installs that loader only where a 32-bit program runs).
if [ "${ZP_WINE_TWIN:-0}" != 1 ] && [ -n "${ZP_WIN32_DIR:-}" ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  build=$ZP_WIN32_DIR wine=/usr/lib/wine/wine
elif [ -n "${ZP_WIN64_DIR:-}" ] && [ -x /usr/lib/wine/wine64 ]; then
  build=$ZP_WIN64_DIR wine=/usr/lib/wine/wine64
else
  echo "wine-run: no usable Wine for the Windows builds" >&2
  exit 77
fi
[ "$program" = --build-dir ] && { echo "$build"; exit 0; }
case "$program" in /*) ;; *) program=$build/$program ;; esac
[ -e "$program" ] || { echo "wine-run: $program is not built" >&2; exit 1; }

# One prefix per test run, created once under a lock, without a window manager
# (Wine would otherwise wait about two seconds whenever a window hides).
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.zp-ready" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 || true
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w 2>/dev/null || wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.zp-ready"
  fi
  # Debian's Wine does not find its own fonts (Marlett draws the caption buttons,
  # MS Sans Serif is the windows' font): the prefix gets a copy of them.
  if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon \
      "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
) 9>"$WINEPREFIX.lock"

args=()
for arg in "$@"; do
  case "$arg" in
    @BUILD@/*) arg="Z:${build}/${arg#@BUILD@/}"; arg=${arg//\//\\} ;;
  esac
  args+=("$arg")
done
set -- "${args[@]}"

if [ "$x11" = 1 ] && [ -n "${ZP_XVFB_WORKAREA:-}" ]; then
  [ -n "${ZP_XVFB_SCREEN:-}" ] || { echo "wine-run: ZP_XVFB_WORKAREA needs ZP_XVFB_SCREEN" >&2; exit 2; }
  command -v python3 >/dev/null || { echo "wine-run: python3 is missing" >&2; exit 77; }
  # -noreset: the screen keeps the property after the client that set it has gone.
  exec xvfb-run -a -s "-screen 0 ${ZP_XVFB_SCREEN}x24 -noreset" \
    bash -c 'python3 "$0" "$ZP_XVFB_WORKAREA" && exec "$@"' "$here/set-workarea.py" \
    "$wine" "$program" "$@"
fi
if [ "$x11" = 1 ] && { [ -z "${DISPLAY:-}" ] || [ -n "${ZP_XVFB_SCREEN:-}" ]; }; then
  exec xvfb-run -a -s "-screen 0 ${ZP_XVFB_SCREEN:-1280x1024}x24" "$wine" "$program" "$@"
fi
exec "$wine" "$program" "$@"
