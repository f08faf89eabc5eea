#!/bin/bash
# make test, once the x64 and i686 trees are built:
#   scripts/test.sh MAKE NATIVE_DIR JOBS
# The Wine tests (labels wine and win98, and the release's checks) spend
# most of their time waiting on Windows programs, so they run while the
# native and fuzz trees build and run, at the lowest priority (the programs
# under test get the processor whenever they ask for it), and then the
# rest of the native tree's tests. The Wine tests' output follows once they
# have ended; the status is that of every step.
set -u
cd "$(dirname "$0")/.." || exit 1
make=$1
native=$2
jobs=$3
status=0
started=$(date +%s)
took() { echo "[make test] $1 after $(($(date +%s) - started)) s"; }

"$make" --no-print-directory native-tree || exit 1
log=$native/background-tests.log
# One slot more than the cores: the two prefixes' tests wait on their
# programs side by side, and the release's checks take a slot of their own.
ctest --test-dir "$native" --output-on-failure -j$((jobs + 1)) -L 'wine|win98|dist|fitness' >"$log" 2>&1 &
background=$!

nice -n 19 "$make" --no-print-directory native-build fuzz-smoke || status=1
took "native and fuzz trees done"
echo "== the native tree's other tests"
ctest --test-dir "$native" --output-on-failure -j"$jobs" -LE 'wine|win98|dist|fitness' || status=1
took "the native tree's other tests done"
wait "$background" || status=1
took "Wine tests and the release's checks done"
echo "== Wine tests and the release's checks (run while the above built and ran)"
cat "$log"
took "all done"
exit $status
