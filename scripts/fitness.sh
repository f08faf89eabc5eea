#!/bin/bash
# fitness.sh EXE [EXPORTS_LIST]: can Windows 98 on a 486 or Pentium load and
# run this program? Fails on:
#  - a subsystem other than GUI, or a subsystem or OS version other than 4.0;
#  - an import from a DLL other than KERNEL32, USER32, ADVAPI32 and VERSION
#    (those Windows 98 ships that we allow), or any delay-load import;
#  - an imported function not on the list of Windows 98 exports
#    (tools/win98-exports.txt: DLL FUNCTION and where it is documented);
#  - (i386) an instruction the 80486 lacks: cmov, fcmov, fcomi/fucomi, MMX,
#    SSE and later, multi-byte nop, cmpxchg8b, rdtsc, cpuid ...;
#  - a file larger than the 32 KiB budget (resources included);
#  - a global constructor (the link map EXE without .exe, plus .map).
# Prints the size split and the import table.
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=${1:?usage: fitness.sh EXE [EXPORTS_LIST]}
list=${2:-$here/../tools/win98-exports.txt}
map=${exe%.*}.map
budget=32768
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

if [ ! -s "$exe" ]; then
  echo "fitness: $exe is missing (build the i686 tree first: make win32)" >&2
  exit 77
fi
format=$(x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')
case "$format" in
  pei-i386) objdump=i686-w64-mingw32-objdump ;;
  pei-x86-64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "fitness: $exe is not a PE program ($format)" >&2; exit 1 ;;
esac
echo "== $exe ($format)"
headers=$($objdump -p "$exe")
field() { echo "$headers" | awk -v key="$1" '$1 == key { print $2; exit }'; }

# Header.
subsystem=$(field Subsystem)
[ "$subsystem" = 00000002 ] || fail "subsystem $subsystem is not Windows GUI (00000002)"
for pair in OSystemVersion SubsystemVersion; do
  version="$(field "Major$pair").$(field "Minor$pair")"
  echo "$pair $version"
  [ "$version" = 4.0 ] || fail "$pair $version is not 4.0"
done
if echo "$headers" | grep -q '^Entry d [0-9a-f]* 0*[1-9a-f][0-9a-f]* Delay Import'; then
  fail "delay-load imports present"
fi

# Imports: "DLL FUNCTION" lines from the import tables.
imports=$(echo "$headers" | awk '
  /^[ \t]*DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
  /^[ \t]*vma:/ { next }
  /^[ \t]*$/ { dll = ""; next }
  dll != "" && NF >= 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }
  /^The Import Tables/ { dll = "" }
  /^The Export Tables/ || /^PE File Base Relocations/ || /^The Function Table/ { dll = "" }
')
echo "Import table:"
echo "$imports" | awk '{ if ($1 != last) { printf "%s%s:", (NR > 1 ? "\n" : ""), $1; last = $1 } printf " %s", $2 } END { print "" }'
for dll in $(echo "$imports" | awk '{ print $1 }' | sort -u); do
  case "$dll" in
    KERNEL32 | USER32 | ADVAPI32 | VERSION) ;;
    *) fail "import from $dll.DLL" ;;
  esac
done
allowed=$(grep -v '^\s*#' "$list" | awk 'NF >= 2 { print toupper($1), $2 }' | sort -u)
missing=$(comm -23 <(echo "$imports" | sort -u) <(echo "$allowed"))
if [ -n "$missing" ]; then
  fail "imports not on $list: $(echo "$missing" | tr '\n' ',' | sed 's/,$//; s/,/, /g')"
fi
[ -n "$imports" ] || fail "no import table found"

# Instructions (i386 only: the x64 build is for testing).
if [ "$format" = pei-i386 ]; then
  newer=$($objdump -d --no-show-raw-insn "$exe" | awk -F'\t' '
    NF >= 2 {
      split($2, part, " "); op = part[1]
      if (op ~ /^(cmov|fcmov)/ || op ~ /^f(u)?comip?$/ || op ~ /^nop[lwq]$/ ||
          op ~ /^(cmpxchg8b|rdtsc|rdtscp|rdpmc|cpuid|sysenter|sysexit|syscall|emms|femms|fxsave|fxrstor|ldmxcsr|stmxcsr|lfence|mfence|sfence|clflush|movnti|popcnt|lzcnt|tzcnt|movbe|endbr32|endbr64)$/ ||
          op ~ /^prefetch/ || $2 ~ /%(x|y|z)mm[0-9]/ || $2 ~ /%mm[0-7]/)
        print
    }')
  if [ -n "$newer" ]; then
    fail "instructions the 80486 lacks: $(echo "$newer" | wc -l)"
    echo "$newer" | head -20
  fi
fi

# Size and its split, from the section table (file bytes, headers apart);
# the import tables share the writable section, and the link map tells
# their bytes.
size=$(stat -c %s "$exe")
echo "Size: $size bytes (budget $budget)"
imports=0
[ -s "$map" ] && imports=$(awk '
  function hex(h,   i, v) { v = 0; h = tolower(substr(h, 3)); for (i = 1; i <= length(h); i++) v = v * 16 + index("0123456789abcdef", substr(h, i, 1)) - 1; return v }
  /^Linker script and memory map/ { mapped = 1 }
  mapped && $1 ~ /^\.idata\$[2-7]$/ {
    size = $3
    if (NF == 1 && (getline next_line) > 0) { split(next_line, f); size = f[2] }
    total += hex(size)
  }
  END { print total + 0 }' "$map")
$objdump -h "$exe" | awk -v total="$size" -v imports="$imports" '
  BEGIN { n = 0 }
  $1 ~ /^[0-9]+$/ && NF >= 7 { name[n] = $2; vsize[n] = hex("0x" $3); offset[n] = hex("0x" $6); n++ }
  function hex(h,   i, c, v) { v = 0; h = tolower(substr(h, 3)); for (i = 1; i <= length(h); i++) { c = index("0123456789abcdef", substr(h, i, 1)) - 1; v = v * 16 + c } return v }
  END {
    headers = n > 0 ? offset[0] : total
    for (i = 0; i < n; i++) {
      if (offset[i] == 0) { raw = 0 } else {
        end = total
        for (j = i + 1; j < n; j++) if (offset[j] > offset[i]) { end = offset[j]; break }
        raw = end - offset[i]
      }
      kind = name[i] == ".text" ? "code" : name[i] == ".rsrc" ? "resources" : "data"
      sum[kind] += raw
      used[kind] += vsize[i]
      printf "  %-8s %-9s %6d bytes in the file, %6d in memory\n", name[i], kind, raw, vsize[i]
    }
    printf "  split: headers %d, code and constants %d, data and imports %d (import tables %d), resources %d\n", headers, sum["code"], sum["data"], imports, sum["resources"]
    printf "  padding after the sections: %d bytes\n", total - headers - used["code"] - used["data"] - used["resources"]
  }'
[ "$size" -le "$budget" ] || fail "size $size over the budget of $budget bytes"

# Global constructors.
if bash "$here/check-constructors.sh" "$map"; then
  echo "Global constructors: none"
else
  fail "global constructors (see above)"
fi

if [ $status -eq 0 ]; then echo "FIT for Windows 98"; else echo "NOT FIT for Windows 98"; fi
exit $status
