#!/bin/sh
# The 32-bit Wine on a host whose kernel refuses 32-bit programs:
#   emulator.sh            makes the 32-bit Wine run (make emulator)
#   emulator.sh remove     takes our registration away (make emulator-remove)
#
# Where /usr/lib/wine/wine runs, nothing is done. Where the kernel refuses
# it ("Exec format error"), QEMU's user-mode i386 emulator is registered
# with binfmt_misc for i386 ELF programs, under the name raylet-i386, so
# the kernel hands every 32-bit program to it. Debian 12's own QEMU (7.2)
# takes about 50 s to start one Wine process, so the emulator comes from
# Debian 13's qemu-user package, whose emulators are static and run here as
# they are: fetched with apt's own client into build/emulator, with sources,
# lists and cache of our own, so the system's sources, lists and dpkg stay
# as they were. The registration lasts until the next reboot; with flag F
# the kernel holds the emulator open, so removing build/ does not break it.
#
# Where none of that can be done (not root, no binfmt_misc, no archive), the
# reason goes to build/emulator/unavailable and the 32-bit tests report it
# when they skip. The exit status is 0 either way: a missing emulator is a
# skip, not a build failure.
set -u
cd "$(dirname "$0")/.." || exit 1
dir=$PWD/build/emulator
name=raylet-i386
binfmt=/proc/sys/fs/binfmt_misc
wine32=/usr/lib/wine/wine
suite=trixie

if [ "${1:-}" = remove ]; then
  if [ -e "$binfmt/$name" ]; then
    echo -1 >"$binfmt/$name" && echo "emulator: removed the binfmt_misc entry $name"
  else
    echo "emulator: no binfmt_misc entry $name"
  fi
  exit 0
fi

mkdir -p "$dir"
unavailable() {
  echo "$1" >"$dir/unavailable"
  echo "emulator: the 32-bit tests will be skipped: $1" >&2
  exit 0
}

[ -x "$wine32" ] || unavailable "no 32-bit Wine ($wine32): install wine32:i386"
if "$wine32" --version >/dev/null 2>&1; then
  # Natively, or through an entry registered before (ours or the system's).
  rm -f "$dir/unavailable"
  exit 0
fi
[ -e "$binfmt/$name" ] &&
  unavailable "$wine32 does not run even through the binfmt_misc entry $name ($(sed -n 's/^interpreter //p' "$binfmt/$name"))"
why="this kernel does not run 32-bit programs ($wine32 does not execute)"
[ "$(id -u)" -eq 0 ] || unavailable "$why, and only root can register an emulator for them (sudo make emulator)"
if [ ! -e "$binfmt/register" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null
  [ -e "$binfmt/register" ] || unavailable "$why, and this kernel has no binfmt_misc to register an emulator with"
fi

qemu=$dir/usr/bin/qemu-i386
if [ ! -x "$qemu" ]; then
  # The archive the system's own sources name (deb822 or one-line form).
  uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -v -e security -e '^cdrom' | head -n 1)
  [ -n "$uri" ] || uri=$(sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]*\)\{0,1\}\([^[:space:]]*\).*/\2/p' \
    /etc/apt/sources.list 2>/dev/null | grep -v -e security -e '^cdrom' | head -n 1)
  [ -n "$uri" ] || unavailable "$why, and the system's apt sources name no archive to fetch qemu-user from"
  apt=$dir/apt
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/debs"
  echo "deb [arch=amd64] $uri $suite main" >"$apt/sources.list"
  set -- -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o Dir::State::status=/dev/null \
    -o APT::Architecture=amd64 -o APT::Architectures=amd64
  if ! apt-get "$@" update -qq >"$apt/log" 2>&1 ||
    ! (cd "$apt/debs" && apt-get "$@" download qemu-user >>"$apt/log" 2>&1); then
    unavailable "$why, and $suite's qemu-user could not be fetched from $uri: $(grep -E '^(E|W):' "$apt/log" | head -n 1)"
  fi
  for deb in "$apt/debs"/qemu-user_*.deb; do break; done
  dpkg-deb --fsys-tarfile "$deb" | (cd "$dir" && tar -x ./usr/bin/qemu-i386) ||
    unavailable "$why, and $deb holds no usr/bin/qemu-i386"
  rm -rf "$apt/debs" "$apt/cache"
fi
version=$("$qemu" --version 2>/dev/null | head -n 1)
[ -n "$version" ] || unavailable "$why, and $qemu does not run"

magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf ':%s:M::%s:%s:%s:F\n' "$name" "$magic" "$mask" "$qemu" >"$binfmt/register" 2>/dev/null ||
  unavailable "$why, and binfmt_misc refused the entry $name"
if ! "$wine32" --version >/dev/null 2>&1; then
  [ -e "$binfmt/$name" ] && echo -1 >"$binfmt/$name"
  unavailable "$why, and $wine32 does not run through $version either"
fi
rm -f "$dir/unavailable"
echo "emulator: registered $version ($qemu) for i386 programs as binfmt_misc entry $name, since $why; until the next reboot (make emulator-remove takes it away)"
