#!/bin/bash
# Resource test of both executables: resources.sh WIN64_DIR WIN32_DIR
# The x64 and the i686 rayctl.exe are loaded as data files by the run's own
# test program (x64 or i686); their imports are checked here (system DLLs
# only, CTL3D32.DLL never imported, nothing that could load the menu or the
# accelerator table the resources carry).
set -u
win64_exe=$1/rayctl.exe
win32_exe=$2/rayctl.exe
status=0
for exe in "$win64_exe" "$win32_exe"; do
  if [ ! -e "$exe" ]; then
    # The i686 program is the release: a run without it has not checked it.
    echo "FAILED: no executable at $exe; its resources are unchecked (make win64 win32 first)" >&2
    exit 1
  fi
done
for exe in "$win64_exe" "$win32_exe"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe")
  dlls=$(echo "$imports" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort | tr '\n' ' ')
  echo "$exe imports: $dlls"
  for dll in $dlls; do
    case "$dll" in
      ADVAPI32.DLL | KERNEL32.DLL | USER32.DLL | VERSION.DLL | MSVCRT.DLL) ;;
      *) echo "unexpected import $dll" >&2; status=1 ;;
    esac
  done
  # Menu 100 and accelerator table 100 stay unloaded: the window answers
  # none of the table's keys and shows no menu bar.
  for call in LoadAcceleratorsA LoadAcceleratorsW CreateAcceleratorTableA CreateAcceleratorTableW \
              TranslateAcceleratorA TranslateAcceleratorW LoadMenuA LoadMenuW LoadMenuIndirectA SetMenu; do
    if echo "$imports" | grep -Eq "^\s+[0-9a-f]+\s+[0-9]+\s+$call\$"; then
      echo "$exe imports $call" >&2
      status=1
    fi
  done
  if ! echo "$imports" | grep -q 'Subsystem.*Windows GUI'; then
    echo "$exe is not a GUI program" >&2
    status=1
  fi
done
wine_run tests/wine/ui/raylet_resource_tests.exe "$(wine_path "$win64_exe")" "$(wine_path "$win32_exe")" || status=1
exit $status
