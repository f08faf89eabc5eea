#!/bin/bash
# The whole two-stage removal across a restart of the prefix:
#   restart.sh <test program, relative to the win64 tree>
# Stage one presses Remove and answers OK to "Restart Windows!"; the restart
# then runs the RunOnce command ("... rayctl.exe /F"), and stage two checks
# that the driver's files are gone and RayCtl no longer stands in RunOnce.
set -u
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== stage one"
wine_run "$program" --gtest_filter=Restart.StageOne
status=$?
echo "stage one ended with $status"
[ "$status" -eq 0 ] || fail "stage one"

echo "== restart"
wine_ensure_server || fail "wineserver does not come back"
wine_run wineboot.exe -r
echo "wineboot -r ended with $?"

echo "== stage two"
wine_run "$program" --gtest_filter=Restart.StageTwo
