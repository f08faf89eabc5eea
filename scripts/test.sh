#!/bin/bash
# make test, once the x64 and i686 trees are built:
#   scripts/test.sh MAKE NATIVE_DIR JOBS
# The Wine tests (labels wine and win98, and the release's checks) spend
# most of their time waiting on Windows programs. The x64 build's Wine tests
# start as soon as that tree is built, while the i686 tree builds; the
# i686 build's tests and the release's checks once it is. Meanwhile the
# native and fuzz trees build and run at the lowest priority (the programs
# under test get the processor whenever they ask for it), and then the
# rest of the native tree's tests. The Wine tests' output follows once they
# have ended, in build/native/background-tests.log too; the status is that
# of every step.
set -u
cd "$(dirname "$0")/.." || exit 1
make=$1
native=$2
jobs=$3
status=0
started=$(date +%s)
took() { echo "[make test] $1 after $(($(date +%s) - started)) s"; }

"$make" --no-print-directory win64 native-tree || exit 1
took "x64 tree done"
log=$native/background-tests.log
built=$native/i686-built
rm -f "$built"
# A test labelled both-builds reads the i686 tree too: it waits for it.
(
  ctest --test-dir "$native" --output-on-failure -j"$jobs" -L wine -LE both-builds || exit_status=1
  while [ ! -e "$built" ]; do sleep 1; done
  ctest --test-dir "$native" --output-on-failure -L both-builds -E '^win98\.' || exit_status=1
  exit "${exit_status:-0}"
) >"$log.x64" 2>&1 &
x64=$!
"$make" --no-print-directory win32 || status=1
touch "$built"
took "i686 tree done"
# The win98 prefix's tests wait on their programs while the release's
# checks take a slot of their own.
ctest --test-dir "$native" --output-on-failure -j"$jobs" -L 'win98|dist|fitness' >"$log.i686" 2>&1 &
i686=$!

nice -n 19 "$make" --no-print-directory native-build fuzz-smoke || status=1
took "native and fuzz trees done"
echo "== the native tree's other tests"
ctest --test-dir "$native" --output-on-failure -j"$jobs" -LE 'wine|win98|dist|fitness' || status=1
took "the native tree's other tests done"
wait "$x64" || status=1
wait "$i686" || status=1
took "Wine tests and the release's checks done"
cat "$log.x64" "$log.i686" >"$log"
rm -f "$log.x64" "$log.i686" "$built"
echo "== Wine tests and the release's checks (run while the above built and ran)"
cat "$log"
took "all done"
exit $status
