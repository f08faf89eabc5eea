#!/bin/bash
# What the prefix reports to programs (raylet_version_tests.exe), then the
# steps of rayctl.exe that depend on it, watched from outside: from version
# 4 on (Windows 98 among them) the frame carries its small icon and the
# three-dimensional styling library stays unloaded; told of a system below
# 4 (Windows NT 3.51, Wine's per-program setting), the program loads the
# library and registers with it, and sets no small icon. The second case
# shows that the watch would see the steps. The icons are read where the
# display keeps them (Wine does not answer WM_GETICON across processes);
# the library is our stand-in, which logs its load and calls (Wine's own
# copy is set aside for rayctl.exe, so a load finds ours).
set -u
fail() { echo "FAIL: $*" >&2; cleanup; exit 1; }
app_defaults='HKCU\Software\Wine\AppDefaults\rayctl.exe'
library=$WINE_SYSTEM32/CTL3D32.DLL
log=$WINE_SYSTEM32/ctl3d32.log
cleanup() {
  wine_reg delete "$app_defaults" /f >/dev/null 2>&1
  rm -f "$library" "$log"
}

wine_run tests/wine/win98/raylet_version_tests.exe || fail "the prefix does not report the system of its run"

# Icon sizes an X window carries, one a line, e.g. "32x32".
icon_sizes() {
  xprop -id "$1" _NET_WM_ICON 2>/dev/null | sed -n 's/.*Icon (\([0-9]*\) x \([0-9]*\)).*/\1x\2/p'
}

# Icon sizes of rayctl's frame on the display, e.g. "32x32 16x16"; nothing
# when no frame shows within 30 s (room for an emulated CPU).
frame_icons() {
  local id
  for _ in $(seq 300); do
    for id in $(xwininfo -root -tree | grep -F '"Raylet": ("rayctl.exe"' | awk '{ print $1 }'); do
      # The frame always has its large icon; the dialog, briefly top-level
      # while it is built, has none. The small icon follows at once.
      if [ -n "$(icon_sizes "$id")" ]; then
        sleep 0.5
        icon_sizes "$id" | tr '\n' ' '
        return 0
      fi
    done
    sleep 0.1
  done
}

# Starts rayctl.exe, reads its frame's icons, ends it. Leaves
# "icons | library log" in $seen (not printed: the started program holds
# the output of a command substitution open).
watch_rayctl() {
  local icons
  rm -f "$log"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ctl3d32=n" wine_start rayctl.exe >/dev/null 2>&1
  icons=$(frame_icons)
  kill -9 "$WINE_PID" 2>/dev/null
  wine_end_programs
  # Its windows leave the display once the server has seen it end; the
  # next watch would read them in place of its own.
  for _ in $(seq 300); do
    xwininfo -root -tree | grep -qF '("rayctl.exe"' || break
    sleep 0.1
  done
  xwininfo -root -tree | grep -qF '("rayctl.exe"' && fail "rayctl.exe's windows stayed on the display after it ended"
  seen="$icons| $(tr -d '\r' <"$log" 2>/dev/null | tr '\n' ' ')"
}

cp "$RAYLET_WIN_DIR/tests/wine/win98/ctl3d32.dll" "$library" || fail "cannot install the stand-in library"

watch_rayctl
echo "as the prefix reports: icons $seen"
[ "$seen" = "32x32 16x16 | " ] || fail "expected both icons and no use of the library, saw: $seen"

wine_reg add "$app_defaults" /v Version /d nt351 /f >/dev/null || fail "cannot set the version for rayctl.exe"
watch_rayctl
echo "told of Windows NT 3.51: icons $seen"
[ "$seen" = "32x32 | LOAD Ctl3dRegister Ctl3dAutoSubclass " ] ||
  fail "expected the large icon only and the library registered, saw: $seen"

cleanup
exit 0
