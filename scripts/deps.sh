#!/bin/sh
# Installs the Debian packages the build and the tests need when run as root;
# otherwise names the missing ones and fails. The 32-bit Wine (wine32:i386)
# runs the i686 release in a prefix that reports Windows 98; it needs the
# i386 architecture added to dpkg first.
set -eu
packages="cmake make g++ googletest libgtest-dev libgmock-dev
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
wine wine64 wine32:i386 fonts-wine xvfb x11-utils imagemagick xdotool socat locales fonts-liberation
clang libclang-rt-14-dev clang-tidy cppcheck zip unzip"
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
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing >/dev/null
