#!/bin/bash
# Checks what every Wine test relies on: its own prefix under the build tree,
# a display, a running persistent wineserver, no link to a real port, and a
# Windows program that starts and reports its exit code.
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
case "$WINEPREFIX" in
  "$RAYLET_WINE_STATE"/*) ;;
  *) fail "prefix $WINEPREFIX is not under $RAYLET_WINE_STATE" ;;
esac
[ -e "$WINEPREFIX/system.reg" ] || fail "no prefix at $WINEPREFIX"
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY"
xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
wine_pid_alive "$RAYLET_WINE_STATE/wineserver.pid" || fail "no persistent wineserver"
links=$(wine_port_links)
[ -z "$links" ] || fail "port links in the prefix: $links"
ln -s /dev/null "$WINEPREFIX/dosdevices/COM5"
ln -s /dev/null "$WINEPREFIX/dosdevices/lpt2"
[ "$(wine_port_links | sort | tr '\n' ' ')" = "COM5 lpt2 " ] || fail "port links not seen: $(wine_port_links)"
wine_remove_ports
[ -z "$(wine_port_links)" ] || fail "port links not removed: $(wine_port_links)"
grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" || fail "X11 driver windows are managed"
[ -e "$WINE_WINDOWS/Fonts/marlett.ttf" ] || fail "no Marlett font in the prefix: caption buttons would be letters"
wine_run cmd.exe /c exit 7
[ $? -eq 7 ] || fail "exit code of a Windows program not passed on"
[ "$(wine_path /tmp/a)" = 'Z:\tmp\a' ] || fail "wine_path gives $(wine_path /tmp/a)"
echo "prefix $WINEPREFIX, display $DISPLAY, wineserver $(cat "$RAYLET_WINE_STATE/wineserver.pid")"
