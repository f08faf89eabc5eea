#!/bin/bash
# The stand-in stack's serial ports in a test prefix: the kernel driver
# standin-serial.sys (tests/wine/stack/serial), which Wine's device manager
# loads at every boot of the prefix. Called by wine-setup.sh with the
# environment of wine-env.sh:
#   serial-driver.sh install   before the prefix's server starts: the run's
#                              build of the driver into the prefix (so the
#                              boot loads the current one), and its service
#                              registered once per prefix
#   serial-driver.sh check     once the server is up: the driver answers, and
#                              each port name leads to it and to nothing else
# Prints what is wrong and exits 1 when the prefix cannot have the ports.
set -u
service=StandInSerial
built=$RAYLET_WIN_DIR/tests/wine/stack/standin-serial.sys
installed=$WINE_SYSTEM32/drivers/standin-serial.sys
tool=tests/wine/stack/standin-stack.exe

registered() {
  # system.reg doubles each backslash of a key's path.
  grep -qiF "\\\\Services\\\\$service]" "$WINEPREFIX/system.reg"
}

install() {
  if [ ! -e "$built" ]; then
    echo "no $built: build the tree first (make $RAYLET_WIN_ARCH)"
    return 1
  fi
  mkdir -p "${installed%/*}"
  cp "$built" "$installed" || return 1
  registered && return 0
  # The prefix's own loader: a 32-bit sc.exe in the 64-bit prefix would mark
  # the service WOW64, and the 64-bit driver would not load. Wine's
  # "sc config start= auto" fails; the value itself sets the start at boot.
  {
    "$WINE" sc.exe create "$service" type= kernel start= demand \
      binPath= 'C:\windows\system32\drivers\standin-serial.sys' &&
      "$WINE" reg.exe add "HKLM\\System\\CurrentControlSet\\Services\\$service" /v Start /t REG_DWORD /d 2 /f
  } </dev/null >>"$RAYLET_WINE_STATE/prefix.log" 2>&1
  # The server writes the registry out when it ends.
  "$WINESERVER" -k
  "$WINESERVER" -w
  if ! registered; then
    echo "the service $service could not be registered (see $RAYLET_WINE_STATE/prefix.log)"
    return 1
  fi
}

check() {
  local problem
  if ! problem=$(wine_run "$tool" ports check 2>&1 </dev/null); then
    problem=${problem//$'\r'/}
    echo "the stand-in serial ports are not usable: ${problem#standin-stack: }"
    return 1
  fi
}

case "${1:-}" in
  install) install ;;
  check) check ;;
  *) echo "usage: serial-driver.sh install|check" >&2; exit 2 ;;
esac
