#!/bin/bash
# check-constructors.sh MAP: fails when the link map of a runtime-free
# program shows a global constructor. Nothing would run it: the program has
# no C runtime start-up, so its tables must be constant.
set -u
map=$1
if [ ! -s "$map" ]; then
  echo "check-constructors: no link map $map" >&2
  exit 1
fi
# Input sections .ctors, .ctors.NNNNN, .dtors or .init_array with a non-zero
# size (ld puts address and size on the next line after a long name), and
# the compiler's constructor functions.
found=$(awk '
  $1 ~ /^\.(ctors?|dtors?|init_array)(\.[0-9]+)?$/ {
    line = $0; size = $3
    if (NF == 1 && (getline next_line) > 0) { line = line " " next_line; split(next_line, f); size = f[2] }
    if (size ~ /^0x0*[1-9a-fA-F]/) print line
    next
  }
  /_GLOBAL__sub_I/ { print }
' "$map")
if [ -n "$found" ]; then
  echo "check-constructors: global constructors in $map:" >&2
  echo "$found" >&2
  exit 1
fi
exit 0
