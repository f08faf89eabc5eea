#!/bin/bash
# The benchmark (`make bench`; not a test):
#   bench/run.sh STATE_DIR WIN64_DIR NATIVE_DIR [ROUNDS]
# Under Wine, in a prefix of its own (STATE_DIR/wine, set up and torn down
# with the Wine tests' scripts): the wall time and peak memory of an
# unattended `rayctl.exe /K` that ends at once (no monitor: message 53)
# against the empty program built the same way (bench/raylet_empty.exe)
# and, to show what Wine's first window costs any program, a program that
# opens one window (bench/raylet_window.exe), in ROUNDS rounds; then
# natively the unit suite's wall time.
set -u
here=$(cd "$(dirname "$0")" && pwd)
infra=$here/../tests/wine/infra
state=$(realpath -m "$1")/wine
win64=$(realpath -m "$2")
native=$(realpath -m "$3")
rounds=${4:-30}
for program in "$win64/rayctl.exe" "$win64/bench/raylet_empty.exe" "$win64/bench/raylet_window.exe"; do
  if [ ! -e "$program" ]; then
    echo "bench: $program is missing (make win64)" >&2
    exit 1
  fi
done

mkdir -p "$state"
bash "$infra/wine-setup.sh" "$state" "$win64" || exit 1
# shellcheck source=tests/wine/infra/wine-env.sh
. "$infra/wine-env.sh" "$state" "$win64"
wine_end_programs
python3 "$here/measure.py" "$rounds" "$win64/rayctl.exe" "$win64/bench/raylet_empty.exe" \
  "$win64/bench/raylet_window.exe"
status=$?
bash "$infra/wine-cleanup.sh" "$state" "$win64" >/dev/null

unit=$native/tests/unit/raylet_unit_tests
if [ -x "$unit" ]; then
  python3 "$here/measure.py" --native 3 "$unit" || status=1
else
  echo "bench: $unit is missing (make native)" >&2
  status=1
fi
exit $status
