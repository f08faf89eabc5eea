#!/bin/bash
# The same sources give the same release:  reproducible.sh SOURCE_DIR WIN32_DIR WORK_DIR
# Copies the source tree (the files git knows, as they stand) into another
# folder at another depth, builds the i686 rayctl.exe there in a tree of its
# own, and compares it byte for byte with WIN32_DIR/rayctl.exe; then packs
# the release from both and compares the zips and the sums.
set -u
source_dir=$(realpath "$1")
win32=$(realpath -m "$2")
work=$(realpath -m "$3")
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -e "$win32/rayctl.exe" ] || fail "no i686 build at $win32/rayctl.exe (make win32)"
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH=$epoch

copy=$work/another/place/raylet-sources
rm -rf "$work"
mkdir -p "$copy"
(cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
  xargs -0 cp --parents -t "$copy") || fail "cannot copy the sources"

tree=$work/another/i686-tree
cmake -S "$copy" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "configure"; }
cmake --build "$tree" --target rayctl -j2 >"$work/build.log" 2>&1 || { tail -30 "$work/build.log"; fail "build"; }
if ! cmp "$tree/rayctl.exe" "$win32/rayctl.exe"; then
  cmp -l "$tree/rayctl.exe" "$win32/rayctl.exe" | head -20
  fail "rayctl.exe built in $tree differs from $win32/rayctl.exe"
fi
echo "rayctl.exe: the same $(stat -c %s "$tree/rayctl.exe") bytes from $copy"

python3 "$source_dir/scripts/dist.py" "$source_dir" "$win32/rayctl.exe" "$work/release-here" >/dev/null || fail "dist here"
python3 "$copy/scripts/dist.py" "$copy" "$tree/rayctl.exe" "$work/release-there" >/dev/null || fail "dist there"
cmp "$work/release-here/SHA256SUMS" "$work/release-there/SHA256SUMS" || fail "the sums differ"
for zip in "$work"/release-here/*.zip; do
  cmp "$zip" "$work/release-there/${zip##*/}" || fail "${zip##*/} differs"
done
cat "$work/release-here/SHA256SUMS"
rm -rf "$copy" "$tree"
