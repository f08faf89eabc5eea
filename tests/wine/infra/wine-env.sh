# shellcheck shell=bash
# Environment and helper functions shared by the Wine fixture scripts, the
# runner and the scripted Wine tests. Source it with the state folder, the
# cross build tree whose programs run, and that tree's kind:
#   . wine-env.sh STATE_DIR WIN_DIR win64|win32
# win64: the x64 build in a 64-bit prefix; win32: the i686 build in a 32-bit
# prefix that reports Windows 98. Scripted tests need not source it: the
# runner exports everything below. Only bash passes arguments to a sourced
# file (dash's dot takes none, and the caller's own would stand in for them).
if [ -z "${BASH_VERSION:-}" ] || [ $# -lt 2 ]; then
  echo "usage, from bash: . wine-env.sh STATE_DIR WIN_DIR win64|win32" >&2
  return 2
fi

RAYLET_WINE_STATE=$(realpath -m "$1")
RAYLET_WIN_DIR=$(realpath -m "$2")
RAYLET_WIN_ARCH=${3:-win64}
RAYLET_WINE_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-env.sh
RAYLET_EMULATOR_DIR=${RAYLET_WINE_LIB%/tests/wine/infra/wine-env.sh}/build/emulator
if [ "$RAYLET_WIN_ARCH" = win32 ]; then
  WINE=/usr/lib/wine/wine
  WINESERVER=/usr/lib/wine/wineserver32
  [ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
  WINEARCH=win32
else
  WINE=/usr/lib/wine/wine64
  WINESERVER=/usr/lib/wine/wineserver64
  WINEARCH=win64
fi
WINEPREFIX=$RAYLET_WINE_STATE/prefix
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
WINE_C=$WINEPREFIX/drive_c
WINE_WINDOWS=$WINE_C/windows
WINE_SYSTEM32=$WINE_WINDOWS/system32
export RAYLET_WINE_STATE RAYLET_WIN_DIR RAYLET_WIN_ARCH RAYLET_WINE_LIB RAYLET_EMULATOR_DIR WINE WINESERVER WINEARCH WINEPREFIX \
  WINEDEBUG WINEDLLOVERRIDES WINE_C WINE_WINDOWS WINE_SYSTEM32
# The display chosen by the set-up step (ours or the caller's).
if [ -s "$RAYLET_WINE_STATE/display" ]; then
  DISPLAY=$(cat "$RAYLET_WINE_STATE/display")
  export DISPLAY
fi

# True when the process whose id is in file $1 still runs (an ended one
# that nobody has reaped yet counts as ended).
wine_pid_alive() {
  local pid run_state
  [ -s "$1" ] || return 1
  pid=$(cat "$1")
  kill -0 "$pid" 2>/dev/null || return 1
  run_state=$(sed 's/^.*) //' "/proc/$pid/stat" 2>/dev/null | cut -c1)
  [ -n "$run_state" ] && [ "$run_state" != Z ]
}

# Wine's device manager links com1.. to the machine's serial devices each
# time a wineserver starts; no test may reach those.
wine_remove_ports() {
  local name
  for name in $(wine_port_links); do
    rm -f "$WINEPREFIX/dosdevices/$name"
  done
}

# Names of the port links in the prefix, one a line (none: no output).
wine_port_links() {
  local link name
  for link in "$WINEPREFIX"/dosdevices/*; do
    name=${link##*/}
    case "${name,,}" in
      com* | lpt*) echo "$name" ;;
    esac
  done
}

# Starts the one persistent wineserver of the prefix (unless it runs), lets
# the device manager come up, then takes its port links away.
wine_ensure_server() {
  wine_pid_alive "$RAYLET_WINE_STATE/wineserver.pid" && return 0
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
  setsid "$WINESERVER" -f -p </dev/null >>"$RAYLET_WINE_STATE/wineserver.log" 2>&1 &
  echo $! >"$RAYLET_WINE_STATE/wineserver.pid"
  # Wait for its socket (the server works in the socket's folder), or the
  # first program would start a server of its own.
  local pid
  pid=$(cat "$RAYLET_WINE_STATE/wineserver.pid")
  for _ in $(seq 100); do
    [ -S "/proc/$pid/cwd/socket" ] && break
    wine_pid_alive "$RAYLET_WINE_STATE/wineserver.pid" || return 1
    sleep 0.05
  done
  # The first program of a fresh server starts the device manager, which
  # creates the port links; remove them once it has.
  "$WINE" cmd.exe /c exit </dev/null >/dev/null 2>&1
  wine_remove_ports
  wine_pid_alive "$RAYLET_WINE_STATE/wineserver.pid"
}

# Ends every Windows program of the prefix except Wine's own services, so no
# program of one test (a monitor, a control panel) lives on into the next,
# and waits until they are gone (and their handles closed).
wine_end_programs() {
  local dir program args ended=()
  for dir in /proc/[0-9]*; do
    args=()
    { mapfile -d "" -t args <"$dir/cmdline"; } 2>/dev/null
    # On an emulated CPU the kernel names the emulator first and then the
    # Wine loader it runs, whose rewriting of its name stays inside the
    # emulated process: the program comes after them.
    while [ ${#args[@]} -gt 1 ]; do
      case "${args[0]##*/}" in
        qemu-* | wine | wine64) args=("${args[@]:1}") ;;
        *) break ;;
      esac
    done
    program=${args[0]:-}
    # Windows programs show their Windows path as their name; the 32-bit
    # loader leaves the Unix path of a program started by one.
    case "${program,,}" in
      [a-z]:\\* | /*.exe) ;;
      *) continue ;;
    esac
    case "${program,,}" in
      *\\services.exe | *\\winedevice.exe | *\\explorer.exe | *\\plugplay.exe | *\\svchost.exe | *\\rpcss.exe) continue ;;
    esac
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null && kill -9 "${dir#/proc/}" 2>/dev/null &&
      ended+=("${dir#/proc/}")
  done
  for _ in $(seq 100); do
    while [ ${#ended[@]} -gt 0 ] && ! grep -qs '^State:[[:space:]]*[^Z]' "/proc/${ended[0]}/status"; do
      ended=("${ended[@]:1}")
    done
    [ ${#ended[@]} -eq 0 ] && break
    sleep 0.02
  done
  return 0
}

# Every file and folder of drive C: but the users' profiles (Wine's own), one
# a line, relative to drive_c, sorted: what the prefix had when it was made
# is kept in $WINEPREFIX/.raylet-files.
wine_prefix_files() {
  (cd "$WINE_C" && find . -path ./users -prune -o -print) | LC_ALL=C sort
}

# Undoes before each test what the tests are known to leave: a killed test
# runs no clean-up, and the prefix outlives the run. Files moved aside are
# put back (*.raylet-saved of the tests' file guards, the
# control.exe.raylet-away of the control panel guard); every other file or
# folder outside C:\users that the prefix did not have when it was made goes
# (the stand-in stack's copies, CONTROL.EXE files that are no program,
# driver files of the removal tests); the keys and values listed in
# raylet_prefix_reset.exe go, and the stand-in serial ports are reset:
# absent, empty records, no holder. A file the prefix had that a test
# changed, and any other registry write, survive. Fails when an added file
# cannot be removed or the registry or port reset fails.
wine_reset_prefix() {
  local extra path keys status=0
  [ -s "$WINEPREFIX/.raylet-files" ] || return 1
  # The keys and ports meanwhile (a program start costs more than the files).
  wine_run tests/wine/cmdline/raylet_prefix_reset.exe </dev/null &
  keys=$!
  mapfile -t extra < <(LC_ALL=C comm -13 "$WINEPREFIX/.raylet-files" <(wine_prefix_files))
  for path in "${extra[@]}"; do
    case "$path" in
      *.raylet-saved | *.raylet-away) mv -f "$WINE_C/$path" "$WINE_C/${path%.raylet-*}" ;;
    esac
  done
  (cd "$WINE_C" && rm -rf -- "${extra[@]}") || status=1
  wait $keys || status=1
  return $status
}

# wine_run PROGRAM [ARGS...]: runs a Windows program and returns its exit
# code. A relative PROGRAM is looked up in the run's cross tree first
# (wine_run tests/contract/x.exe); otherwise Wine finds it (reg, cmd, control).
wine_run() {
  local program=$1
  shift
  case "$program" in
    /*) ;;
    *) [ -e "$RAYLET_WIN_DIR/$program" ] && program=$RAYLET_WIN_DIR/$program ;;
  esac
  "$WINE" "$program" "$@"
}

# wine_start PROGRAM [ARGS...]: starts a Windows program in the background;
# its id is in WINE_PID. The runner ends whatever is still running when the
# test is over.
wine_start() {
  wine_run "$@" </dev/null &
  WINE_PID=$!
  echo "$WINE_PID" >>"$RAYLET_WINE_STATE/started.pids"
}

# wine_reg ARGS...: Wine's reg.exe (add, delete, query, import, export).
wine_reg() {
  wine_run reg.exe "$@"
}

# Every Windows 98 has Times New Roman, and the dialogs ask for it; Wine has
# no such face and would fall back to a sans-serif one. Liberation Serif
# (Debian's fonts-liberation) has its metrics.
wine_map_fonts() {
  wine_reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Times New Roman" /d "Liberation Serif" /f </dev/null
}

# wine_path UNIX_PATH: the Windows name of a file, through drive Z:.
wine_path() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s\n' "${path//\//\\}"
}

# Why this host cannot run the run's kind of programs (no output: it can).
# A 32-bit run needs Debian's wine32 and a kernel that executes its 32-bit
# loader, natively or through the emulator that make emulator registers
# (scripts/emulator.sh, which says in build/emulator/unavailable why it
# could not); anything that fails beyond that is a fault, not a skip.
wine_unsupported_reason() {
  [ "$RAYLET_WIN_ARCH" = win32 ] || return 0
  if [ ! -x "$WINE" ]; then
    echo "no 32-bit Wine ($WINE): install wine32:i386"
    return 0
  fi
  "$WINE" --version >/dev/null 2>&1
  case $? in
    126 | 127)
      if [ -s "$RAYLET_EMULATOR_DIR/unavailable" ]; then
        cat "$RAYLET_EMULATOR_DIR/unavailable"
      else
        echo "this kernel does not run 32-bit programs ($WINE does not execute), and no emulator is registered for them (make emulator)"
      fi
      ;;
  esac
  return 0
}

# How the prefix's programs execute: "emulated" where its running
# wineserver is QEMU's emulator at work (binfmt_misc hands it every 32-bit
# program where the kernel runs none), "native" otherwise.
wine_execution() {
  case "$(readlink "/proc/$(cat "$RAYLET_WINE_STATE/wineserver.pid" 2>/dev/null)/exe" 2>/dev/null)" in
    */qemu-*) echo emulated ;;
    *) echo native ;;
  esac
}

export -f wine_map_fonts wine_unsupported_reason wine_execution wine_pid_alive wine_port_links wine_remove_ports wine_end_programs \
  wine_prefix_files wine_reset_prefix wine_ensure_server wine_run wine_start wine_reg wine_path
