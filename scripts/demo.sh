#!/bin/sh
set -eu
echo "Built build/win64/rayctl.exe and build/win32/rayctl.exe (when present)."
ls -l build/win64/*.exe build/win32/*.exe 2>/dev/null || true
echo "The demo of the main window arrives with the main window."
