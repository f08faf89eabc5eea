#!/bin/bash
# make demo: Raylet's main window under Wine against the stand-in infrared
# stack. Prepares a Wine prefix under build/demo, starts Raylet on the user's
# display (or on an Xvfb of its own when there is none), presses Enable,
# Disable and Kill in turn, prints the caption and the label after each,
# saves a screenshot as build/demo/raylet.png and closes the program.
#
# By default it runs the Windows 98 release, build/win32/rayctl.exe, in a
# 32-bit prefix that reports Windows 98: what users run. RAYLET_DEMO=win64
# runs the x64 build in a 64-bit prefix instead, and so does a host that
# cannot run 32-bit programs, natively or through the emulator that make
# emulator registers (it says why). Bash: wine-env.sh takes
# arguments, which the dot command of sh (dash) does not pass.
set -eu
cd "$(dirname "$0")/.."
# A Western system (code page 1252), whatever the host's locale.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
root=$PWD
kind=${RAYLET_DEMO:-win32}
demo=$root/build/demo
infra=$root/tests/wine/infra
driver=tests/wine/ui/raylet_demo_driver.exe
tool=tests/wine/stack/standin-stack.exe

case "$kind" in
  win32 | win64) ;;
  *) echo "demo: RAYLET_DEMO is win32 (the Windows 98 release) or win64, not $kind" >&2; exit 1 ;;
esac
if [ "$kind" = win32 ]; then
  # shellcheck source=tests/wine/infra/wine-env.sh
  reason=$(. "$infra/wine-env.sh" "$demo/win98" "$root/build/win32" win32 && wine_unsupported_reason)
  if [ -n "$reason" ]; then
    echo "demo: cannot run the Windows 98 release here ($reason); running the x64 build instead"
    kind=win64
  fi
fi
if [ "$kind" = win32 ]; then
  tree=${RAYLET_DEMO_WIN32:-$root/build/win32}
  state=$demo/win98
  echo "demo: the Windows 98 release ($tree/rayctl.exe) in a prefix that reports Windows 98"
  echo "demo: (RAYLET_DEMO=win64 make demo runs the x64 build instead)"
else
  tree=${RAYLET_DEMO_WIN64:-$root/build/win64}
  state=$demo/wine
  echo "demo: the x64 build ($tree/rayctl.exe) in a 64-bit prefix"
fi

for file in "$tree/rayctl.exe" "$tree/$driver"; do
  [ -e "$file" ] || { echo "demo: $file is missing; run make $kind first" >&2; exit 1; }
done
mkdir -p "$demo"
rm -f "$demo/go" "$demo/driver.log" "$demo/raylet.png"

bash "$infra/wine-setup.sh" "$state" "$tree" "$kind"
# shellcheck source=tests/wine/infra/wine-env.sh
. "$infra/wine-env.sh" "$state" "$tree" "$kind"
# Run by the trap alone, which shellcheck takes for unreachable.
# shellcheck disable=SC2317
cleanup() {
  [ -e "$tree/$tool" ] && { wine_run "$tool" uninstall; wine_run "$tool" reset; } >/dev/null 2>&1
  bash "$infra/wine-cleanup.sh" "$state" "$tree" "$kind" >/dev/null 2>&1
}
trap cleanup EXIT
wine_ensure_server
if [ "$(wine_execution)" = emulated ]; then
  echo "demo: its 32-bit programs run by QEMU's user-mode emulator (this kernel runs none itself)"
fi

if [ -e "$tree/$tool" ]; then
  # A user's everyday cycle. The driver is installed and switched off: its
  # setting 0, the adapter's port free, no virtual ports, no monitor. Enable
  # runs the control panel, whose applet switches the driver's ports on and
  # starts the monitor ("IRMON", and its "Infrared Monitor" window) 600 ms
  # later; Disable asks that monitor to switch the driver off (command 113);
  # Kill then stops the monitor.
  wine_run "$tool" install "$(wine_path "$tree/tests/wine/stack")"
  wine_run "$tool" off
  wine_run "$tool" scenario IRMON+INFRARED 600
  echo "demo: stand-in infrared stack installed (driver off, monitor not running)"
else
  echo "demo: no stand-in stack in $tree; Raylet finds no driver"
fi

echo "demo: display $DISPLAY"
wine_run "$driver" "$(wine_path "$demo/go")" >"$demo/driver.log" 2>&1 &
driver_pid=$!
for _ in $(seq 1200); do
  grep -q '^READY' "$demo/driver.log" 2>/dev/null && break
  kill -0 "$driver_pid" 2>/dev/null || break
  sleep 0.1
done
tr -d '\r' <"$demo/driver.log" | grep -v '^READY'
if ! grep -q '^READY' "$demo/driver.log"; then
  echo "demo: the buttons were not all pressed" >&2
  exit 1
fi
# The frame alone, as Windows draws it (the rest of the screen is empty).
frame=$(xwininfo -root -tree | grep -F '"Raylet": ("rayctl.exe"' | awk '{ print $1 }' | head -n1)
if [ -n "$frame" ]; then
  import -window "$frame" "$demo/raylet.png"
else
  import -window root "$demo/raylet.png"
fi
echo "demo: screenshot saved as build/demo/raylet.png"
touch "$demo/go"
status=0
wait "$driver_pid" || status=$?
tr -d '\r' <"$demo/driver.log" | sed -n 's/^Exit: /demo: Exit pressed: /p'
exit $status
