#!/bin/bash
# The release as a user gets it:  release-check.sh SOURCE_DIR WIN32_DIR WORK_DIR
# Builds the zip from the tested i686 tree into WORK_DIR, then: exactly the
# four files at its root, in order; its rayctl.exe is the tested build byte
# for byte and passes the Windows 98 fitness check; the texts are what
# Notepad on Windows 98 shows (ASCII or code page 932, CR LF, at most 76
# columns); both guides explain every numbered message of the code and the
# boxes, and name the version; SHA256SUMS beside the zip names it alone and
# `sha256sum -c` passes there.
set -u
source_dir=$1
exe=$2/rayctl.exe
work=$3
fail() { echo "FAIL: $*" >&2; status=1; }
status=0
[ -e "$exe" ] || { echo "FAIL: no i686 build at $exe (make win32)" >&2; exit 1; }
rm -rf "$work"
mkdir -p "$work/unpacked"
python3 "$source_dir/scripts/dist.py" "$source_dir" "$exe" "$work" || exit 1
zip=$(ls "$work"/raylet-*.zip)
version=$(sed -n 's/^project(Raylet VERSION \([0-9]*\)\.\([0-9]*\).*/\1.\2/p' "$source_dir/CMakeLists.txt")
[ "$zip" = "$work/raylet-$version.zip" ] || fail "zip named $zip, not raylet-$version.zip"

names=$(python3 -c 'import sys, zipfile; print(" ".join(zipfile.ZipFile(sys.argv[1]).namelist()))' "$zip")
[ "$names" = "rayctl.exe README.TXT README-JA.TXT LICENSE.TXT" ] || fail "zip holds: $names"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/unpacked"

cmp "$work/unpacked/rayctl.exe" "$exe" || fail "the zip's rayctl.exe is not the tested build"
# The fitness check reads the link map beside the program: the tested
# build's, since the bytes are the same.
mkdir -p "$work/fitness"
cp "$work/unpacked/rayctl.exe" "$2/rayctl.map" "$work/fitness/"
bash "$source_dir/scripts/fitness.sh" "$work/fitness/rayctl.exe" "$source_dir/tools/win98-exports.txt" >"$work/fitness.log" 2>&1 ||
  { cat "$work/fitness.log"; fail "the zip's rayctl.exe fails the Windows 98 fitness check"; }

check="$source_dir/dist/check-text.py"
messages=(--messages "$source_dir/tests/fuzz/KnownMessages.h" --root "$source_dir")
python3 "$check" "$work/unpacked/README.TXT" --encoding ascii --crlf --max 76 "${messages[@]}" || fail "README.TXT"
python3 "$check" "$work/unpacked/README-JA.TXT" --encoding cp932 --crlf --max 76 "${messages[@]}" || fail "README-JA.TXT"
python3 "$check" "$work/unpacked/LICENSE.TXT" --encoding ascii --crlf --max 76 || fail "LICENSE.TXT"
for guide in README.TXT README-JA.TXT; do
  [ "$(head -n 1 "$work/unpacked/$guide")" = "Raylet $version (rayctl.exe)"$'\r' ] || fail "$guide: first line not Raylet $version"
  grep -qF "(\"RayCtl Version $version\")" "$work/unpacked/$guide" || fail "$guide: the about box's version is not $version"
done
grep -q "^MIT License" "$work/unpacked/LICENSE.TXT" || fail "LICENSE.TXT is not the MIT License"
grep -q "Copyright (c) 2026 The Raylet authors" "$work/unpacked/LICENSE.TXT" || fail "LICENSE.TXT: no copyright line"

(cd "$work" && sha256sum --quiet -c SHA256SUMS) || fail "sha256sum -c SHA256SUMS fails beside the zip"
[ "$(cut -c67- "$work/SHA256SUMS")" = "raylet-$version.zip" ] || fail "SHA256SUMS lists: $(cut -c67- "$work/SHA256SUMS")"
[ $status -eq 0 ] && echo "release $zip: four files, the tested build, texts and sums in order"
exit $status
