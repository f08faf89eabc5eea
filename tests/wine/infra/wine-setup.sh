#!/bin/bash
# Set-up step of the Wine tests (the CTest fixtures "wine" and "win98"):
#   wine-setup.sh STATE_DIR WIN_DIR win64|win32
# Finds or starts an X display, creates the test prefix on first use (kept and
# reused afterwards), and starts one persistent wineserver for the run. A
# win32 prefix is set to report Windows 98. On a host that cannot run 32-bit
# programs it leaves the reason in STATE_DIR/unsupported, which makes every
# test of the fixture report itself skipped.
set -u
infra=$(cd "$(dirname "$0")" && pwd)
caller_display=${DISPLAY:-}
log() { printf '[wine-setup %s] %s\n' "$(date +%T)" "$*"; }
started=$(date +%s%N)

# A run that was cut short may have left its server and display behind.
bash "$infra/wine-cleanup.sh" "$1" "$2" "${3:-win64}" >/dev/null 2>&1
# shellcheck source=tests/wine/infra/wine-env.sh
. "$infra/wine-env.sh" "$1" "$2" "${3:-win64}"
mkdir -p "$RAYLET_WINE_STATE"
cd "$RAYLET_WINE_STATE" || exit 1
rm -f started.pids display unsupported execution
reason=$(wine_unsupported_reason)
if [ -n "$reason" ]; then
  log "$RAYLET_WIN_ARCH tests will be skipped: $reason"
  echo "$reason" >unsupported
  exit 0
fi

DISPLAY=$caller_display
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
  log "using the caller's display $DISPLAY"
  echo "$DISPLAY" >display
else
  # -displayfd makes Xvfb pick a free display itself and tell us which.
  : >xvfb.display
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>xvfb.display </dev/null >xvfb.log 2>&1 &
  echo $! >xvfb.pid
  for _ in $(seq 100); do
    [ -s xvfb.display ] && break
    wine_pid_alive xvfb.pid || break
    sleep 0.1
  done
  if [ ! -s xvfb.display ]; then
    log "Xvfb did not start:"
    cat xvfb.log
    exit 1
  fi
  echo ":$(head -n1 xvfb.display)" >display
  log "started Xvfb on $(cat display) (pid $(cat xvfb.pid))"
fi
DISPLAY=$(cat display)
export DISPLAY

# A prefix is ready once it holds the list of its own files outside
# C:\users: the runner's reset before each test removes any other
# (wine_reset_prefix).
if [ ! -e "$WINEPREFIX/.raylet-files" ]; then
  log "creating the prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  "$WINE" wineboot.exe -i </dev/null >prefix.log 2>&1
  # Without a window manager Wine waits 2 s at every unmap unless its windows
  # are unmanaged.
  "$WINE" reg.exe add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >>prefix.log 2>&1
  wine_map_fonts >>prefix.log 2>&1
  # The release's users run Windows 98: its prefix says so to programs.
  if [ "$RAYLET_WIN_ARCH" = win32 ]; then
    "$WINE" winecfg.exe -v win98 </dev/null >>prefix.log 2>&1
  fi
  # The server writes the registry out when it ends.
  "$WINESERVER" -k
  "$WINESERVER" -w
  if [ ! -e "$WINEPREFIX/system.reg" ]; then
    log "prefix creation failed:"
    cat prefix.log
    exit 1
  fi
  log "prefix created"
else
  log "reusing the prefix $WINEPREFIX"
fi

# A prefix made before the font mapping existed gets it now.
if ! grep -q '"Times New Roman"="Liberation Serif"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  wine_map_fonts >>prefix.log 2>&1
  "$WINESERVER" -w
fi

# Wine draws the caption buttons with its Marlett font (Debian's
# fonts-wine); this Wine does not find it in its own data folder, only in
# the prefix's font folder. Without it the buttons read "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -e "$marlett" ] && [ ! -e "$WINE_WINDOWS/Fonts/marlett.ttf" ]; then
  cp "$marlett" "$WINE_WINDOWS/Fonts/"
fi

# The stand-in stack's serial ports: its driver, which the server's boot
# loads (tests/wine/infra/serial-driver.sh).
if ! problem=$(bash "$infra/serial-driver.sh" install); then
  log "$problem"
  exit 1
fi
[ -e "$WINEPREFIX/.raylet-files" ] || wine_prefix_files >"$WINEPREFIX/.raylet-files"

if ! wine_ensure_server; then
  log "wineserver did not start:"
  cat wineserver.log
  exit 1
fi
wine_execution >execution
if [ -n "$(wine_port_links)" ]; then
  log "port links survived: $(wine_port_links | tr '\n' ' ')"
  exit 1
fi
if ! problem=$(bash "$infra/serial-driver.sh" check); then
  log "$problem"
  exit 1
fi
log "wineserver $(cat wineserver.pid) up; no port links; serial driver answers; set-up took $((($(date +%s%N) - started) / 1000000)) ms"
