#!/bin/bash
# The benchmark (`make bench`; not a test):
#   bench/run.sh STATE_DIR WIN64_DIR WIN32_DIR NATIVE_DIR [ROUNDS]
# Under Wine, for each build in a prefix of its own (STATE_DIR/wine, the x64
# build in a 64-bit prefix; STATE_DIR/win98, the i686 release in a 32-bit
# prefix that reports Windows 98; set up and torn down with the Wine tests'
# scripts): the wall time and peak memory of an unattended `rayctl.exe /K`
# that ends at once (no monitor: message 53) against the empty program
# built the same way (bench/raylet_empty.exe), a program that opens one
# window, to show what Wine's first window costs any program
# (bench/raylet_window.exe), and a program that shows rayctl.exe's main
# dialog, from the same resource script, minimized and ends
# (bench/raylet_dialog.exe): the floor of a run that must show that window.
# ROUNDS rounds; each build prints "<build>: /K to same-dialog program:
# <median ratio>". Then natively the unit suite's wall time. A host that
# cannot run 32-bit programs measures the x64 build alone and says why.
set -u
here=$(cd "$(dirname "$0")" && pwd)
infra=$here/../tests/wine/infra
bench=$(realpath -m "$1")
win64=$(realpath -m "$2")
win32=$(realpath -m "$3")
native=$(realpath -m "$4")
rounds=${5:-30}
status=0

# measure KIND TREE STATE BUILD: one build's rounds; BUILD names it.
measure() {
  local kind=$1 tree=$2 state=$3 build=$4 program reason
  for program in "$tree/rayctl.exe" "$tree/bench/raylet_empty.exe" "$tree/bench/raylet_window.exe" \
    "$tree/bench/raylet_dialog.exe"; do
    if [ ! -e "$program" ]; then
      echo "bench: $program is missing (make $kind)" >&2
      return 1
    fi
  done
  # shellcheck source=tests/wine/infra/wine-env.sh
  reason=$(. "$infra/wine-env.sh" "$state" "$tree" "$kind" && wine_unsupported_reason)
  if [ -n "$reason" ]; then
    echo "bench: $kind build not measured: $reason"
    return 0
  fi
  mkdir -p "$state"
  bash "$infra/wine-setup.sh" "$state" "$tree" "$kind" || return 1
  (
    # shellcheck source=tests/wine/infra/wine-env.sh
    . "$infra/wine-env.sh" "$state" "$tree" "$kind"
    wine_end_programs
    python3 "$here/measure.py" "$build" "$rounds" "$tree/rayctl.exe" "$tree/bench/raylet_empty.exe" \
      "$tree/bench/raylet_window.exe" "$tree/bench/raylet_dialog.exe"
  )
  local result=$?
  bash "$infra/wine-cleanup.sh" "$state" "$tree" "$kind" >/dev/null
  return $result
}

echo "== x64 build, 64-bit prefix"
measure win64 "$win64" "$bench/wine" x64 || status=1
echo "== i686 build (the Windows 98 release), 32-bit prefix reporting Windows 98"
measure win32 "$win32" "$bench/win98" i686 || status=1

unit=$native/tests/unit/raylet_unit_tests
if [ -x "$unit" ]; then
  python3 "$here/measure.py" --native 3 "$unit" || status=1
else
  echo "bench: $unit is missing (make native)" >&2
  status=1
fi
exit $status
