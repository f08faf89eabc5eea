#!/bin/bash
# broken-copies.sh WIN32_DIR: each rule of the Windows 98 fitness check
# (scripts/fitness.sh) bites. The release passes; then copies of it, each
# broken in one way that Windows 95/98 refuse (tests/fitness/breakpe.py),
# must fail the lines of the rules that way breaks and no other; a copy
# changed in a way they accept must pass its rule. A broken copy whose
# import is a wide function or a stub gets an exports list that names it,
# so that the wide and stub rules are seen to refuse it whatever the list
# says.
set -u
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
release=$1/rayctl.exe
if [ ! -s "$release" ] || [ ! -s "$1/rayctl.map" ]; then
  echo "broken-copies: $release or its map is missing (make win32)" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
exports=$source_dir/tools/win98-exports.txt
passed=0
failed=0

fitness() {
  bash "$source_dir/scripts/fitness.sh" "$@" >"$work/out" 2>&1
}

# copy HOW: $work/HOW.exe and its map, a copy of the release changed HOW.
copy() {
  cp "$release" "$work/$1.exe"
  cp "${release%.exe}.map" "$work/$1.map"
  python3 -B "$source_dir/tests/fitness/breakpe.py" "$1" "$work/$1.exe" && return 0
  echo "FAIL: $1: cannot make the copy"
  failed=$((failed + 1))
  return 1
}

# expect "RULE..." HOW [EXPORTS_LINE...]: the copy broken HOW fails the
# RULEs (in sorted order) alone.
expect() {
  local rule=$1 how=$2 list=$exports
  shift 2
  copy "$how" || return
  if [ $# -gt 0 ]; then
    list=$work/$how.txt
    { cat "$exports"; printf '%s\n' "$@"; } >"$list"
  fi
  fitness "$work/$how.exe" "$list"
  local status=$? rules
  rules=$(awk '$2 == "FAIL:" { print $1 }' "$work/out" | sort -u | tr '\n' ' ')
  if [ $status -ne 0 ] && [ "$rules" = "$rule " ]; then
    echo "ok   $how: $(grep -m1 "^${rule%% *} .*FAIL:" "$work/out")"
    passed=$((passed + 1))
  else
    echo "FAIL: $how: expected only $rule to fail, got: ${rules:-none} (status $status)"
    cat "$work/out"
    failed=$((failed + 1))
  fi
}

# accept RULE HOW SUMMARY: the copy changed HOW passes RULE, which sums it up
# as SUMMARY, whatever the other rules say of it.
accept() {
  local rule=$1 how=$2 summary=$3 line
  copy "$how" || return
  fitness "$work/$how.exe" "$exports"
  line=$(grep -m1 "^$rule " "$work/out")
  case "$line" in
    "$rule "*" ok ($summary) ["*)
      echo "ok   $how: $line"
      passed=$((passed + 1))
      ;;
    *)
      echo "FAIL: $how: expected the $rule rule to pass as \"$summary\", got: ${line:-no line}"
      cat "$work/out"
      failed=$((failed + 1))
      ;;
  esac
}

if fitness "$release" "$exports"; then
  echo "ok   the release passes"
  passed=$((passed + 1))
else
  echo "FAIL: the release fails the fitness check"
  cat "$work/out"
  failed=$((failed + 1))
fi

expect header header
expect alignment alignment
# Windows 98 likes 4 KiB file blocks best: the alignment rule passes them,
# whatever the size rule says of the copy (it grows past the budget).
accept alignment file-blocks-4k "sections 0x1000, file blocks 0x1000"
# Below 4 MiB, which the loader refuses; nor was the code linked there.
expect "base link-base" base
# At or above 4 MiB and below 2 GiB, but not where the code was linked.
expect link-base base-high
expect image-end image-end
expect relocations relocations
expect sections sections
expect entry entry
expect tls tls
expect resource-ids resource-id
expect resources resource-size
expect resources dialog-controls
expect icons png-icon
expect import-layout import-layout
expect iat-writable iat-read-only
expect dlls dll "MSVCRT GetFileVersionInfoA" "MSVCRT GetFileVersionInfoSizeA" "MSVCRT VerQueryValueA"
expect ordinals ordinal
expect exports-list unlisted
expect wide wide "USER32 SetWindowTextW"
expect stubs stub "KERNEL32 MoveFileExA"
expect dynamic lookup
expect dynamic unfollowed-lookup
expect instructions cpuid
expect size size
expect constructors constructor

# Constants are not code: a cmov among them passes, though a decoder reading
# the whole section (as the check once did) finds it.
cp "$release" "$work/constants.exe"
cp "${release%.exe}.map" "$work/constants.map"
python3 -B "$source_dir/tests/fitness/breakpe.py" cmov-in-constants "$work/constants.exe"
if fitness "$work/constants.exe" "$exports" &&
  i686-w64-mingw32-objdump -d -j .text "$work/constants.exe" | grep -q cmov; then
  echo "ok   cmov-in-constants: passes, the code scan skips constants"
  passed=$((passed + 1))
else
  echo "FAIL: cmov-in-constants: the code scan read constants, or the planted cmov is not there"
  cat "$work/out"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
