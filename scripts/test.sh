#!/bin/bash
# make test, after make deps and make emulator:  scripts/test.sh MAKE NATIVE_DIR JOBS
#
# The phases of make test (README.md and CONTRIBUTING.md point here):
#  1. The i686 tree (build/win32, the Windows 98 release) and the native
#     tree's registration of every test. The Windows 98 twins wait longest
#     on their programs (under an emulated CPU most of all), so their tree
#     comes first.
#  2. Side by side, from then on:
#     - the i686 build's Wine tests (label win98), one at a time in their
#       prefix, beside the release's checks (dist, fitness);
#     - the x64 tree (build/win64), then its Wine tests (label wine), one at
#       a time in their own prefix; then the x64 twins that read both trees
#       (label both-builds);
#     - once the x64 tree is built, at the lowest priority (the programs
#       under test get the processor whenever they ask for it): the native
#       and fuzz trees, each fuzz target's short run, then the native
#       tree's other tests (unit under the sanitizers, setup).
#  3. The Wine tests' and the release checks' output, also kept in
#     build/native/background-tests.log, then how many win98 twins ran
#     (natively or emulated), passed, failed and were skipped, and why, and
#     last the count of every test's result.
# A tree that does not build stops the phases that need it, and says so.
# An interrupt ends every job this script started, and their Wine servers
# and displays. The status is non-zero when any step failed.
set -u
cd "$(dirname "$0")/.." || exit 1
make=$1
native=$2
jobs=$3
started=$(date +%s)
log=$native/background-tests.log
status=0
say() { echo "[make test] $*"; }
took() { say "$1 after $(($(date +%s) - started)) s"; }

# Every process below pid $1, deepest first. Both run by the trap alone,
# which shellcheck takes for unreachable.
# shellcheck disable=SC2317
descendants() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
    descendants "$child"
    echo "$child"
  done
}
# shellcheck disable=SC2317
interrupted() {
  trap - INT TERM HUP
  say "interrupted: ending the jobs it started"
  # shellcheck disable=SC2046
  kill -TERM $(descendants $$) 2>/dev/null
  for prefix in wine:build/win64:win64 win98:build/win32:win32; do
    IFS=: read -r state tree kind <<<"$prefix"
    bash tests/wine/infra/wine-cleanup.sh "$native/$state" "$tree" "$kind" >/dev/null 2>&1
  done
  exit 130
}
trap interrupted INT TERM HUP

# The win98 twins: every test of that label but its prefix's set-up and
# clean-up, one name a line (contract.win98 among them).
twin_names() {
  ctest --test-dir "$native" -N -L win98 2>/dev/null |
    sed -n 's/^ *Test *#[0-9]*: \([^ ]*\)$/\1/p' | grep -vx 'win98\.setup\|win98\.cleanup'
}
# Passed, failed (a timeout too) and skipped among the ctest results in the
# logs after the first file, of the tests it names (an empty one: of all).
tally() {
  awk 'FILENAME == ARGV[1] { named[$1] = 1; next }
       /Test +#[0-9]+: / {
         name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
         if (length(named) > 0 && !(name in named)) next
         if (/ Passed /) p++; else if (/\*\*\*Skipped /) s++; else f++
       } END { print p + 0, f + 0, s + 0 }' "$@"
}

rm -f "$log" "$log".*
"$make" --no-print-directory win32 native-tree
win32_built=$?
took "i686 tree done"
if [ $win32_built -eq 0 ]; then
  ctest --test-dir "$native" --output-on-failure -j"$jobs" -L 'win98|dist|fitness' >"$log.i686" 2>&1 &
  i686=$!
else
  status=1
  say "the i686 tree did not build: no win98 twins, no release checks, no x64 twins that read both trees"
fi

"$make" --no-print-directory win64
win64_built=$?
took "x64 tree done"
if [ $win64_built -eq 0 ]; then
  (
    ctest --test-dir "$native" --output-on-failure -j"$jobs" -L wine -LE both-builds || exit 1
    [ $win32_built -eq 0 ] || exit 0
    ctest --test-dir "$native" --output-on-failure -L both-builds -E '^win98\.'
  ) >"$log.x64" 2>&1 &
  x64=$!
else
  status=1
  say "the x64 tree did not build: no x64 Wine tests"
fi
# Shown as it goes, and kept for the count at the end.
{
  nice -n 19 "$make" --no-print-directory native-build fuzz-smoke || exit 1
  took "native and fuzz trees done"
  echo "== the native tree's other tests"
  ctest --test-dir "$native" --output-on-failure -j"$jobs" -LE 'wine|win98|dist|fitness' || exit 1
  took "the native tree's other tests done"
} 2>&1 | tee "$native/native-tests.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
if [ $win64_built -eq 0 ]; then
  wait "$x64" || status=1
fi
if [ $win32_built -eq 0 ]; then
  wait "$i686" || status=1
fi
took "Wine tests and the release's checks done"
cat "$log".x64 "$log".i686 >"$log" 2>/dev/null
rm -f "$log".x64 "$log".i686
echo "== Wine tests and the release's checks (run while the above built and ran)"
cat "$log"

# The release that users run: did it run, and how.
twins=$(twin_names | grep -c .)
read -r passed failed skipped <<<"$(tally <(twin_names) "$log")"
ran=$((passed + failed))
how=" (natively)"
[ "$(cat "$native/win98/execution" 2>/dev/null)" = emulated ] && how=" (emulated by QEMU's user-mode emulator)"
[ "$ran" -gt 0 ] || how=
summary="win98 twins (the i686 release under 32-bit Wine): ${twins:-0} registered; $ran ran$how: $passed passed, $failed failed; $skipped skipped"
if [ "$skipped" -gt 0 ] && [ -s "$native/win98/unsupported" ]; then
  summary="$summary: $(cat "$native/win98/unsupported")"
fi
if [ $win32_built -ne 0 ]; then
  summary="$summary; not run: the i686 tree did not build"
fi
took "all done"
say "$summary"
# Every ctest result of the run, in the plain form any reader takes.
read -r passed failed skipped <<<"$(tally /dev/null "$log" "$native/native-tests.log")"
echo "make test: $passed passed, $failed failed, $skipped skipped"
exit $status
