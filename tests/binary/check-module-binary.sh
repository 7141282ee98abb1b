#!/usr/bin/env bash
# Checks the built 32-bit module from the binary itself: exactly the five
# undecorated exports, stdcall stack cleanup (each export and the packet
# callback end in "ret" with the size of their arguments), and imports of
# Windows system DLLs only.
#
#   check-module-binary.sh Zanterpoint.mod
set -euo pipefail
dll=$1
objdump=i686-w64-mingw32-objdump
fail=0
say() { echo "$1 $2"; [ "$1" = ok ] || fail=1; }

exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort | tr '\n' ' ')
want="OnClose OnDDEvent OnGetModuleInfo OnInit OnShow "
[ "$exports" = "$want" ] && say ok "exports: $exports" || say FAIL "exports: '$exports', want '$want'"

# Every return instruction of a stdcall function pops its argument bytes.
disasm=$("$objdump" -d --no-show-raw-insn "$dll")
check_ret() {
  local symbol=$1 bytes=$2
  local body rets want_ret
  body=$(printf '%s\n' "$disasm" | sed -n "/<${symbol}>:\$/,/^\$/p")
  if [ -z "$body" ]; then say FAIL "no code for $symbol"; return; fi
  rets=$(printf '%s\n' "$body" | grep -oE '\sret[l]?\s*\$?0?x?[0-9a-f]*\s*$' | tr -s ' \t' ' ' | sort -u | tr '\n' ';')
  if [ "$bytes" -eq 0 ]; then want_ret=" ret;"; else want_ret=" ret \$0x$(printf '%x' "$bytes");"; fi
  [ "$rets" = "$want_ret" ] && say ok "$symbol returns with$want_ret" || say FAIL "$symbol returns with '$rets', want '$want_ret'"
}
check_ret _OnGetModuleInfo@4 4
check_ret _OnInit@4 4
check_ret _OnShow@0 0
check_ret _OnClose@0 0
check_ret _OnDDEvent@8 8
check_ret '__ZN2zp14PacketCallbackEPKhjj@12' 12

allowed=" kernel32.dll user32.dll gdi32.dll comctl32.dll comdlg32.dll msvcrt.dll advapi32.dll shell32.dll "
while read -r name; do
  case "$allowed" in
    *" ${name,,} "*) say ok "imports $name" ;;
    *) say FAIL "imports $name, which is not a Windows system DLL" ;;
  esac
done < <("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p')
exit $fail
