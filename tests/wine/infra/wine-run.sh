#!/bin/bash
# Runs one Wine test:  wine-run.sh STATE_DIR WIN_DIR win64|win32 COMMAND [ARGS...]
# COMMAND ending in .exe is a Windows program (relative: under WIN_DIR);
# anything else is a bash script that drives programs with the helpers of
# wine-env.sh (wine_run, wine_start, wine_reg, wine_path; WINEPREFIX, WINE_C,
# WINE_SYSTEM32, RAYLET_WIN_DIR, RAYLET_WIN_ARCH ...), all exported to it.
# Exit 77 (skipped, with the reason) when the host cannot run the kind.
set -u
# shellcheck source=tests/wine/infra/wine-env.sh
. "$(dirname "$0")/wine-env.sh" "$1" "$2" "$3"
shift 3
command=$1
shift
if [ -s "$RAYLET_WINE_STATE/unsupported" ]; then
  echo "skipped: $(cat "$RAYLET_WINE_STATE/unsupported")"
  exit 77
fi
if [ ! -s "$RAYLET_WINE_STATE/display" ]; then
  echo "wine-run: no display; the set-up test (fixture wine) has not run" >&2
  exit 1
fi
# Survive a test that killed the server; never let one see a port link, nor
# what the reset knows the last test may have left (it may have been killed
# midway); a test whose prefix cannot be reset does not run.
wine_ensure_server || { echo "wine-run: wineserver does not start" >&2; exit 1; }
wine_remove_ports
wine_end_programs
: >"$RAYLET_WINE_STATE/started.pids"
wine_reset_prefix || { echo "wine-run: the prefix cannot be reset" >&2; exit 1; }

if [ ! -e "$command" ]; then
  echo "wine-run: $command is missing (a program: build its cross tree first, make $RAYLET_WIN_ARCH)" >&2
  exit 1
fi
case "$command" in
  *.exe | *.EXE) wine_run "$command" "$@" ;;
  *) bash "$command" "$@" ;;
esac
status=$?

# End what the test left running.
while read -r pid; do
  kill -9 "$pid" 2>/dev/null
done <"$RAYLET_WINE_STATE/started.pids"
wine_end_programs
exit $status
