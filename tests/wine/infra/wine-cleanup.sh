#!/bin/bash
# Clean-up step of the Wine tests (the CTest fixture "wine"):
#   wine-cleanup.sh STATE_DIR WIN_DIR win64|win32
# Stops the prefix's wineserver (and every Windows program in it) and the
# Xvfb that the set-up step started. The prefix itself is kept for reuse.
set -u
# shellcheck source=tests/wine/infra/wine-env.sh
. "$(dirname "$0")/wine-env.sh" "$1" "$2" "${3:-win64}"
[ -d "$RAYLET_WINE_STATE" ] || exit 0
cd "$RAYLET_WINE_STATE" || exit 1
if [ -e "$WINEPREFIX/system.reg" ]; then
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
fi
rm -f wineserver.pid started.pids
if wine_pid_alive xvfb.pid; then
  kill "$(cat xvfb.pid)"
  for _ in $(seq 50); do
    wine_pid_alive xvfb.pid || break
    sleep 0.1
  done
fi
rm -f xvfb.pid xvfb.display display
exit 0
