#!/bin/sh
# Installs the Debian packages the build and the tests need when run as root;
# otherwise names the missing ones and fails. The 32-bit Wine (wine32:i386)
# runs the i686 release in a prefix that reports Windows 98; it needs the
# i386 architecture added to dpkg first.
#
# Package archives are often caught mid-sync: an index arrives truncated, or
# the security suite's amd64 list is newer than its i386 twin, so multiarch
# cannot pair the versions. The update is retried and then carried on
# without the broken indexes; an install that cannot be resolved is tried
# again with the release's own suite preferred.
set -eu
# Each package is there for something the build or a test runs: x11-utils
# for xdpyinfo, xwininfo and xprop; imagemagick for the demo's screenshot;
# locales for the Japanese Wine tests' ja_JP locale; python3 for the
# release, the fitness check, the bench and the mutation runner (the zip is
# Python's own); shellcheck, cppcheck and clang-tidy for make lint.
packages="cmake make g++ googletest libgtest-dev libgmock-dev python3
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
wine wine64 wine32:i386 fonts-wine xvfb x11-utils imagemagick locales fonts-liberation
clang libclang-rt-14-dev clang-tidy cppcheck shellcheck"
tries=${RAYLET_APT_TRIES:-3}
pause=${RAYLET_APT_PAUSE:-5}
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages:$missing" >&2
  case "$missing" in *i386*)
    echo "first add the 32-bit architecture: sudo dpkg --add-architecture i386" >&2 ;;
  esac
  echo "install them with: sudo apt-get update && sudo apt-get install --no-install-recommends$missing" >&2
  exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
case "$missing" in *i386*)
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
esac

log=$(mktemp)
trap 'rm -f "$log"' EXIT

n=1
while ! apt-get update -qq >"$log" 2>&1; do
  if [ "$n" -ge "$tries" ]; then
    echo "warning: apt-get update failed $n times; going on with the indexes that arrived:" >&2
    grep -E '^(E|W):' "$log" >&2 || cat "$log" >&2
    break
  fi
  echo "apt-get update failed (try $n of $tries); trying again in $pause s" >&2
  n=$((n + 1))
  sleep "$pause"
done

# shellcheck disable=SC2086
if apt-get install -y -qq --no-install-recommends $missing >"$log" 2>&1; then
  exit 0
fi
# shellcheck source=/dev/null
codename=$(. "${RAYLET_OS_RELEASE:-/etc/os-release}" 2>/dev/null && echo "${VERSION_CODENAME:-}")
if [ -n "$codename" ]; then
  echo "the install could not be resolved with the newest versions:" >&2
  grep -E '^E:' "$log" >&2 || tail -n 5 "$log" >&2
  echo "trying again with the release's own suite preferred (--target-release $codename)" >&2
  # shellcheck disable=SC2086
  if apt-get install -y -qq --no-install-recommends --target-release "$codename" $missing >"$log" 2>&1; then
    echo "installed with the $codename suite preferred"
    exit 0
  fi
fi
echo "could not install:$missing" >&2
echo "apt-get said:" >&2
cat "$log" >&2
exit 1
