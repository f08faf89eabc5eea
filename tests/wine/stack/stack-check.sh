#!/bin/bash
# Checks the stand-in infrared stack by itself, before any scenario relies on
# it: the registry seeds as reg.exe sees them, Wine's own control.exe opening
# infrared.cpl and the applet switching the ports on and starting the monitor
# the scenario file names, the monitor logging what it receives and switching
# the driver off on command 113, and the serial driver's ports. Run by the
# Wine runner.
set -u
fail() {
  echo "FAIL: $*" >&2
  wine_run "$tool" uninstall >/dev/null 2>&1
  exit 1
}
tool=tests/wine/stack/standin-stack.exe
stack_c=$WINE_C/raylet-test

# reg.exe query output, one value: "    Name    REG_xx    data".
value() {
  wine_reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { print $3 }'
}
key_exists() {
  wine_reg query "$1" >/dev/null 2>&1
}
# Waits up to 30 s (room for an emulated CPU) for a line in a log of the
# working folder; says what the log held when it gives up.
wait_line() {
  for _ in $(seq 600); do
    grep -q "$2" "$stack_c/$1" 2>/dev/null && return 0
    sleep 0.05
  done
  echo "$1 after 30 s:" >&2
  tr -d '\r' <"$stack_c/$1" >&2 2>/dev/null || echo "(no $1)" >&2
  return 1
}

wine_run "$tool" install "$(wine_path "$RAYLET_WIN_DIR/tests/wine/stack")" || fail "install"
[ -f "$WINE_SYSTEM32/infrared.cpl" ] || fail "infrared.cpl not in system32"

# Seeds.
wine_run "$tool" installed 1 || fail "seed installed"
key_exists 'HKLM\Enum\Root\Infrared' || fail "installed: no Enum\\Root\\Infrared"
[ "$(value 'HKLM\Enum\Infrared\VirtualPorts' VirtualComPortName)" = COM4 ] || fail "installed: virtual COM port"
[ "$(value 'HKLM\Enum\Infrared\VirtualPorts' VirtualLptPortName)" = LPT3 ] || fail "installed: virtual printer port"
[ "$(value 'HKLM\Enum\Infrared\Framer' PortName)" = COM2 ] || fail "installed: physical port"
[ "$(value 'HKCU\Control Panel\Infrared' IrEnabled)" = 0x1 ] || fail "installed: IrEnabled"
wine_run "$tool" half 0 || fail "seed half"
[ "$(value 'HKLM\Enum\Infrared\VirtualPorts' VirtualComPortName)" = COM4 ] || fail "half: virtual COM port"
[ -z "$(value 'HKLM\Enum\Infrared\VirtualPorts' VirtualLptPortName)" ] || fail "half: printer port named"
[ "$(value 'HKCU\Control Panel\Infrared' IrEnabled)" = 0x0 ] || fail "half: IrEnabled"
wine_run "$tool" installed nokey || fail "seed installed nokey"
key_exists 'HKCU\Control Panel\Infrared' && fail "nokey: Control Panel\\Infrared exists"
wine_run "$tool" absent || fail "seed absent"
for key in 'HKLM\Enum\Root\Infrared' 'HKLM\Enum\Infrared' 'HKCU\Control Panel\Infrared'; do
  key_exists "$key" && fail "absent: $key exists"
done
{ wine_run "$tool" installed 1 && wine_run "$tool" reset; } || fail "reset"
for key in 'HKLM\Enum\Root\Infrared' 'HKLM\Enum\Infrared' 'HKCU\Control Panel\Infrared'; do
  key_exists "$key" && fail "reset: $key left"
done

# The control panel, as the driver operations start it with the setting on.
rm -f "$stack_c/applet.log" "$stack_c/monitor.log"
wine_run "$tool" installed 1 || fail "seed installed"
wine_run "$tool" scenario IRMON 0 || fail "scenario"
wine_run control.exe INFRARED.CPL || fail "control.exe INFRARED.CPL"
wait_line monitor.log '^WINDOW IRMON' || fail "the applet did not start the IRMON monitor"
expected='CPL_INIT
CPL_GETCOUNT
CPL_INQUIRE 0
CPL_NEWINQUIRE 0
CPL_STARTWPARMSW 0
CPL_DBLCLK 0 474
PORTS on
START IRMON 0
CPL_STOP
CPL_EXIT'
actual=$(tr -d '\r' <"$stack_c/applet.log" | sed 's/^\(START IRMON 0\) [0-9]*$/\1/')
[ "$actual" = "$expected" ] || fail "applet calls:"$'\n'"$actual"
mode() { wine_run "$tool" record "$1" | cut -d' ' -f2; }
modes() { echo "$(mode COM2) $(mode COM4) $(mode LPT3)"; }
[ "$(modes)" = "stack free free" ] || fail "ports after the applet (COM2 COM4 LPT3): $(modes)"

# The monitor's log: a sent command, then a posted WM_DESTROY that ends it.
wine_run "$tool" send IRMON 0x111 113 || fail "send WM_COMMAND"
wine_run "$tool" post IRMON 2 || fail "post WM_DESTROY"
wait_line monitor.log '^EXIT' || fail "the monitor did not end on WM_DESTROY"
expected='WM_COMMAND 113 0 sent
WM_DESTROY 0 0 posted
EXIT'
actual=$(tr -d '\r' <"$stack_c/monitor.log" | grep -v '^WINDOW')
[ "$actual" = "$expected" ] || fail "monitor log:"$'\n'"$actual"
[ "$(value 'HKCU\Control Panel\Infrared' IrEnabled)" = 0x0 ] || fail "command 113 left IrEnabled on"
[ "$(modes)" = "free absent absent" ] || fail "ports after command 113 (COM2 COM4 LPT3): $(modes)"

# One monitor with both titles; a WM_DESTROY to either ends it.
rm -f "$stack_c/monitor.log"
wine_run "$tool" scenario IRMON+INFRARED 0 || fail "scenario IRMON+INFRARED"
wine_run control.exe INFRARED.CPL || fail "control.exe INFRARED.CPL"
wait_line monitor.log '^WINDOW INFRARED' || fail "no monitor with both titles"
wine_run "$tool" post INFRARED 2 || fail "post WM_DESTROY to the second title"
wait_line monitor.log '^EXIT' || fail "the monitor with both titles did not end"
windows=$(grep -c '^WINDOW IRMON \|^WINDOW INFRARED ' "$stack_c/monitor.log")
[ "$windows" = 2 ] || fail "monitor windows: $(cat "$stack_c/monitor.log")"

# A scenario without a monitor starts nothing.
rm -f "$stack_c/applet.log" "$stack_c/monitor.log"
wine_run "$tool" scenario none || fail "scenario none"
wine_run control.exe INFRARED.CPL || fail "control.exe INFRARED.CPL"
grep -q '^START nothing' "$stack_c/applet.log" || fail "scenario none started something"

# The serial ports (the Wine set-up has checked where their names lead).
wine_run "$tool" ports reset || fail "ports reset"
opens() { wine_run "$tool" open "$1" 2>/dev/null; }
for port in COM4 LPT3 COM2; do
  opens $port && fail "$port opens while absent"
  wine_run "$tool" port $port free || fail "port $port free"
  opens $port || fail "free $port does not open"
done
# Another program holds the virtual COM port: no open gets it until that ends.
record() { wine_run "$tool" record "$1" | tr -d '\r'; }
wine_run "$tool" busy || fail "busy"
[ "$(record COM4 | cut -d' ' -f2-8)" = "free opens 1 closes 0 open 1" ] || fail "held COM4: $(record COM4)"
opens COM4 && fail "a held port opened"
wine_run "$tool" ports reset || fail "ports reset"
[ "$(record COM4 | cut -d' ' -f2-8)" = "absent opens 0 closes 0 open 0" ] || fail "COM4 after reset: $(record COM4)"
for each in stack fail-purge fail-getstate fail-setstate fail-gettimeouts fail-settimeouts fail-setup free absent; do
  wine_run "$tool" port LPT3 $each || fail "port LPT3 $each"
  [ "$(mode LPT3)" = $each ] || fail "LPT3 set $each, reported $(mode LPT3)"
done
wine_run "$tool" reset

wine_run "$tool" uninstall
[ -e "$WINE_SYSTEM32/infrared.cpl" ] && fail "uninstall left infrared.cpl"
[ -e "$stack_c" ] && fail "uninstall left $stack_c"
echo "stand-in stack: seeds, control panel, monitor and serial ports work"
exit 0
