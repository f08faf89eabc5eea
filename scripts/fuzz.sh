#!/bin/sh
# Builds the libFuzzer targets (clang, RAYLET_FUZZ=ON) in build/fuzz and runs
# them.
#   scripts/fuzz.sh smoke        a short run of each (ctest -L fuzz)
#   scripts/fuzz.sh run [SECS]   each target for SECS seconds (default 60),
#                                reporting the executions it reached
# New inputs go to build/fuzz/tests/fuzz/corpus/<target>; the checked-in seeds
# in tests/fuzz/corpus/<target> are only read. A finding is written to
# build/fuzz/findings/ and fails the run.
set -eu
cd "$(dirname "$0")/.."
mode=${1:-run}
seconds=${2:-60}
build=${FUZZ_BUILD:-build/fuzz}
jobs=${JOBS:-2}
targets="command_line discovery removal"

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAYLET_FUZZ=ON >/dev/null
cmake --build "$build" -j"$jobs"

if [ "$mode" = smoke ]; then
  exec ctest --test-dir "$build" --output-on-failure -j"$jobs" -L fuzz
fi

mkdir -p "$build/findings"
status=0
for t in $targets; do
  scratch="$build/tests/fuzz/corpus/$t"
  log="$build/findings/$t.log"
  mkdir -p "$scratch"
  if ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -max_len=2048 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$t-" "$scratch" "tests/fuzz/corpus/$t" >"$log" 2>&1; then
    result=clean
  else
    result="FINDING (see $log)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "fuzz_$t: ${runs:-?} executions in ${seconds} s, $result"
done
exit $status
