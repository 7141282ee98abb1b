#!/usr/bin/env bash
# Writes a ZIP whose bytes depend only on the files' contents, names and order:
# each entry is deflated by gzip and dated 1980-01-01 00:00 (the earliest date a
# ZIP can hold), with no owner, permissions, time zone or extra fields in it.
#
#   write-zip.sh OUT.zip FILE...   (entries carry the files' base names, in this order)
set -euo pipefail
export LC_ALL=C
out=$1
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Little-endian 16- and 32-bit fields.
le16() { printf %b "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
dos_time=0 dos_date=$(((1980 - 1980) << 9 | 1 << 5 | 1))

# The fields that the local header and the central directory share: version
# 2.0 to extract, no flags, deflate, the fixed time, CRC, sizes, name length and
# no extra field.
fields() { le16 20; le16 0; le16 8; le16 $dos_time; le16 $dos_date; le32 $crc; le32 $packed; le32 "$size"; le16 ${#name}; le16 0; }

offset=0 count=0
: >"$tmp/zip"
: >"$tmp/central"
for file in "$@"; do
  name=${file##*/}
  size=$(stat -c %s "$file")
  ((size < 1 << 32)) || { echo "write-zip: $file is too large for a ZIP without 64-bit fields" >&2; exit 1; }
  # A gzip member without a name or time is a 10-byte header, the deflate
  # stream a ZIP entry holds, and the CRC-32 and length of the data.
  gzip -9 -n -c <"$file" >"$tmp/gz"
  gz_size=$(stat -c %s "$tmp/gz")
  read -r -a magic < <(od -An -tx1 -N4 "$tmp/gz")
  [ "${magic[*]}" = "1f 8b 08 00" ] || { echo "write-zip: unexpected gzip header for $file" >&2; exit 1; }
  read -r -a trailer < <(od -An -tu1 -j $((gz_size - 8)) "$tmp/gz")
  crc=$((trailer[0] | trailer[1] << 8 | trailer[2] << 16 | trailer[3] << 24))
  packed=$((gz_size - 18))
  {
    printf 'PK\003\004'
    fields
    printf %s "$name"
    tail -c +11 "$tmp/gz" | head -c $packed
  } >>"$tmp/zip"
  {
    printf 'PK\001\002'
    le16 20 # made by: version 2.0 on MS-DOS, so the attributes are DOS ones
    fields
    le16 0 # comment
    le16 0 # disk
    le16 0 # internal attributes
    le32 0 # external attributes: a plain file
    le32 $offset
    printf %s "$name"
  } >>"$tmp/central"
  offset=$((offset + 30 + ${#name} + packed))
  count=$((count + 1))
done
central_size=$(stat -c %s "$tmp/central")
{
  cat "$tmp/central"
  printf 'PK\005\006'
  le16 0
  le16 0
  le16 $count
  le16 $count
  le32 "$central_size"
  le32 $offset
  le16 0
} >>"$tmp/zip"
mv "$tmp/zip" "$out"
