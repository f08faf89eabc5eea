#!/bin/sh
# make demo: Raylet's main window under Wine against the stand-in infrared
# stack. Prepares a Wine prefix under build/demo, starts Raylet on the user's
# display (or on an Xvfb of its own when there is none), presses Enable,
# Disable and Kill in turn, prints the caption and the label after each,
# saves a screenshot as build/demo/raylet.png and closes the program.
# Wine here runs only x64 programs: the demo runs build/win64/rayctl.exe;
# build/win32/rayctl.exe is the Windows 98 build of the same sources.
[ -n "${BASH_VERSION:-}" ] || exec bash "$0" "$@"
set -eu
cd "$(dirname "$0")/.."
root=$PWD
win64=${RAYLET_DEMO_WIN64:-$root/build/win64}
win32=${RAYLET_DEMO_WIN32:-$root/build/win32}
demo=$root/build/demo
state=$demo/wine
infra=$root/tests/wine/infra
driver=tests/wine/ui/raylet_demo_driver.exe
tool=tests/wine/stack/standin-stack.exe

for file in "$win64/rayctl.exe" "$win64/$driver"; do
  [ -e "$file" ] || { echo "demo: $file is missing; run make win64 first" >&2; exit 1; }
done
mkdir -p "$demo"
rm -f "$demo/go" "$demo/driver.log" "$demo/raylet.png"

bash "$infra/wine-setup.sh" "$state" "$win64"
. "$infra/wine-env.sh" "$state" "$win64"
cleanup() {
  [ -e "$win64/$tool" ] && { wine_run "$tool" uninstall; wine_run "$tool" reset; } >/dev/null 2>&1
  bash "$infra/wine-cleanup.sh" "$state" "$win64" >/dev/null 2>&1
}
trap cleanup EXIT
wine_ensure_server

if [ -e "$win64/$tool" ]; then
  # Driver installed, switched off, no monitor; the control panel's applet
  # starts the "Infrared Monitor" window 600 ms after it is asked to.
  wine_run "$tool" install "$(wine_path "$win64/tests/wine/stack")"
  wine_run "$tool" installed 0
  wine_run "$tool" scenario INFRARED 600
  echo "demo: stand-in infrared stack installed (setting off, monitor not running)"
else
  echo "demo: no stand-in stack in $win64; Raylet finds no driver"
fi

echo "demo: display $DISPLAY; Raylet: $win64/rayctl.exe"
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
import -window root "$demo/raylet.png"
echo "demo: screenshot saved as build/demo/raylet.png"
touch "$demo/go"
status=0
wait "$driver_pid" || status=$?
tr -d '\r' <"$demo/driver.log" | sed -n 's/^Exit: /demo: Exit pressed: /p'
[ -e "$win32/rayctl.exe" ] && echo "demo: the Windows 98 build is $win32/rayctl.exe"
exit $status
