#!/bin/bash
# Checks what every Wine test relies on: its own prefix under the build tree,
# a display, a running persistent wineserver, no link to a real port, a
# Windows program that starts and reports its exit code, and a prefix whose
# known leftovers the runner removes before each test.
#   infra-check.sh         the checks (run by the Wine runner)
#   infra-check.sh clean   whether the prefix is as the runner leaves it
set -u
fail() { echo "FAIL: $*" >&2; exit 1; }
tool=tests/wine/stack/standin-stack.exe
records() { for port in COM2 COM4 LPT3; do wine_run "$tool" record $port; done; }
if [ "${1:-}" = clean ]; then
  diff "$WINEPREFIX/.raylet-files" <(wine_prefix_files) >&2 || fail "files not as the prefix was made (> added)"
  grep -qs "a test's copy" "$WINE_SYSTEM32/notepad.exe" && fail "a file moved aside was not put back"
  for key in 'HKLM\Enum' 'HKCU\Control Panel\Infrared'; do
    wine_reg query "$key" >/dev/null 2>&1 && fail "$key left"
  done
  wine_reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v RayCtl >/dev/null 2>&1 &&
    fail "RayCtl left in RunOnce"
  left=$(records)
  wine_run "$tool" ports reset || fail "ports reset"
  [ "$left" = "$(records)" ] || fail "ports as left:"$'\n'"$left"
  exit 0
fi
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

# A test killed midway: its guards left control.exe renamed away, a file that
# is no program as CONTROL.EXE beside the program and in the stack's folder,
# a file moved aside; its seeds, a port held and one opened. The next test
# starts without any of it.
wine_run "$tool" install "$(wine_path "$RAYLET_WIN_DIR/tests/wine/stack")" || fail "stack install"
mkdir -p "$WINE_C/raylet"
echo "no program" >"$WINE_C/raylet/CONTROL.EXE"
echo "no program" >"$WINE_C/raylet-test/CONTROL.EXE"
mv "$WINE_SYSTEM32/control.exe" "$WINE_SYSTEM32/control.exe.raylet-away" || fail "rename control.exe"
mv "$WINE_SYSTEM32/notepad.exe" "$WINE_SYSTEM32/notepad.exe.raylet-saved" || fail "move notepad.exe aside"
echo "a test's copy" >"$WINE_SYSTEM32/notepad.exe"
wine_run "$tool" busy || fail "COM4 held"
wine_run "$tool" open LPT3 || fail "LPT3 opened"
wine_reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\RunOnce' /v RayCtl /d 'C:\raylet\rayctl.exe /F' /f \
  >/dev/null || fail "RunOnce"
bash "${RAYLET_WINE_LIB%/*}/wine-run.sh" "$RAYLET_WINE_STATE" "$RAYLET_WIN_DIR" "$RAYLET_WIN_ARCH" "$0" clean ||
  fail "the next test did not start clean"
echo "prefix $WINEPREFIX, display $DISPLAY, wineserver $(cat "$RAYLET_WINE_STATE/wineserver.pid")"
