#!/bin/bash
# Resource test of both executables: resources.sh WIN32_DIR
# The x64 and the i686 rayctl.exe are loaded as data files by one x64 test
# program; their imports are checked here (system DLLs only, CTL3D32.DLL
# never imported).
set -u
win32_exe=$1/rayctl.exe
win64_exe=$RAYLET_WIN64_DIR/rayctl.exe
if [ ! -e "$win32_exe" ]; then
  echo "no i686 build at $win32_exe: build it first (make win32)" >&2
  exit 77
fi
status=0
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
