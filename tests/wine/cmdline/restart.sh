#!/bin/bash
# The whole two-stage removal across a restart of the prefix:
#   restart.sh <test program, relative to the run's cross tree>
# Stage one presses Remove and answers OK to "Restart Windows!". The
# program's ExitWindowsEx makes Wine end the session and restart (wineboot),
# and that restart runs the RunOnce command ("C:\raylet\rayctl.exe /F").
# Stage two checks that the driver's files are gone and that RayCtl no
# longer stands in RunOnce.
set -u
program=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

# Windows programs of this prefix whose command line mentions $1.
running() {
  local dir
  for dir in /proc/[0-9]*; do
    { tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null | grep -qi -- "$1" || continue
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
    grep -q '^State:.*Z' "$dir/status" 2>/dev/null && continue
    echo "${dir#/proc/}"
  done
}

echo "== stage one"
wine_run "$program" --gtest_filter=Restart.StageOne || fail "stage one"

echo "== Wine's restart"
# wineboot waits for the RunOnce commands it starts; wait for both.
seen=no
for _ in $(seq 600); do
  [ -n "$(running wineboot)" ] && seen=yes
  [ -z "$(running wineboot)$(running 'rayctl.exe /F')" ] && break
  sleep 0.1
done
[ -z "$(running wineboot)$(running 'rayctl.exe /F')" ] || fail "the restart did not finish in 60 s"
echo "wineboot seen running: $seen"

wine_ensure_server || fail "wineserver does not come back"
if wine_run "$program" --gtest_filter=Restart.CommandPending >/dev/null 2>&1; then
  echo "RayCtl still pending after Wine's restart: restarting with wineboot -r"
  wine_run wineboot.exe -r
else
  echo "Wine's restart ran the RunOnce command"
fi

echo "== stage two"
wine_run "$program" --gtest_filter=Restart.StageTwo
