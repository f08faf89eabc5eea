#!/bin/bash
# fitness.sh EXE [EXPORTS_LIST [STUBS_LIST]]: can Windows 98 on a 486 or
# Pentium load and run this i386 program? The program's link map must sit
# beside it (EXE without .exe, plus .map): it tells code from constants and
# shows global constructors. scripts/pe98rules.py holds the rules on the
# file, its imports and its code, each line naming its owner and reason
# (the loader, the system, or the project):
#   header, alignment, base, link-base, image-end, relocations, sections,
#     entry, tls, resource-ids, resources, icons: the headers, sections and
#     resources;
#   import-layout, iat-writable, dlls, ordinals, exports-list, wide, stubs:
#     imports only from KERNEL32, USER32, ADVAPI32 and VERSION, by name,
#     each on the exports list (tools/win98-exports.txt), none of them a
#     function that Windows 98 exports only as a stub (tools/win98-stubs.txt);
#   dynamic: the functions found with GetProcAddress, held to the same lists;
#   instructions: none the 80486 lacks, in the code's own bytes;
#   size: the file within the 32 KiB budget;
# and here: no global constructor. Prints what it found, then one line per
# rule, "ok" or "FAIL: ...".
set -u
here=$(cd "$(dirname "$0")" && pwd)
exe=${1:?usage: fitness.sh EXE [EXPORTS_LIST [STUBS_LIST]]}
exports=${2:-$here/../tools/win98-exports.txt}
stubs=${3:-$here/../tools/win98-stubs.txt}
map=${exe%.*}.map

if [ ! -s "$exe" ]; then
  echo "fitness: $exe is missing (build the i686 tree first: make win32)" >&2
  exit 77
fi
echo "== $exe"
status=0
python3 -B "$here/pe98.py" "$exe" "$exports" "$stubs" "$map" || status=1

why="[project: no C runtime start-up would run one]"
if found=$(bash "$here/check-constructors.sh" "$map" 2>&1); then
  printf '%-14s ok (none) %s\n' constructors "$why"
else
  printf '%-14s FAIL: global constructors or no link map %s\n' constructors "$why"
  while IFS= read -r line; do printf '  %s\n' "$line"; done <<<"$found"
  status=1
fi

if [ $status -eq 0 ]; then echo "FIT for Windows 98"; else echo "NOT FIT for Windows 98"; fi
exit $status
