#!/bin/bash
# Resource test of both executables: resources.sh WIN64_DIR WIN32_DIR
# The x64 and the i686 rayctl.exe are loaded as data files by the run's own
# test program (x64 or i686); their imports are checked here (system DLLs
# only, CTL3D32.DLL never imported).
set -u
win64_exe=$1/rayctl.exe
win32_exe=$2/rayctl.exe
status=0
for exe in "$win64_exe" "$win32_exe"; do
  if [ ! -e "$exe" ]; then
    echo "FAIL: no executable at $exe: build both cross trees first (make win64 win32)" >&2
    exit 1
  fi
done
for exe in "$win64_exe" "$win32_exe"; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
  echo "$exe imports: $dlls"
  for dll in $dlls; do
    case "$dll" in
      ADVAPI32.DLL | KERNEL32.DLL | USER32.DLL | VERSION.DLL | MSVCRT.DLL) ;;
      *) echo "unexpected import $dll" >&2; status=1 ;;
    esac
  done
  if ! x86_64-w64-mingw32-objdump -p "$exe" | grep -q 'Subsystem.*Windows GUI'; then
    echo "$exe is not a GUI program" >&2
    status=1
  fi
done
wine_run tests/wine/ui/raylet_resource_tests.exe "$(wine_path "$win64_exe")" "$(wine_path "$win32_exe")" || status=1
exit $status
