#!/bin/bash
# deps-check.sh DEPS_SH: runs the set-up script as root against stand-ins
# for apt-get, dpkg and dpkg-query that behave as a Debian archive does
# while a mirror syncs: an index that never arrives whole, and the security
# suite's newest amd64 libraries without their i386 twins, so that an
# install of wine32:i386 only resolves with the release's own suite
# preferred. Then an archive where nothing resolves: the failure must name
# the packages and apt's own words.
set -u
deps=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

mkdir -p "$work/bin"
cat >"$work/bin/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/bin/sh
echo "dpkg $*" >>"$STANDIN_LOG"
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
STUB
cat >"$work/bin/id" <<'STUB'
#!/bin/sh
echo 0
STUB
# STANDIN_ARCHIVE: "flux" resolves only with --target-release; "broken"
# resolves never. The index update always loses the i386 security list.
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get $*" >>"$STANDIN_LOG"
case "$*" in
  *update*)
    echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100 ;;
esac
case "$STANDIN_ARCHIVE $*" in
  "flux "*"--target-release bookworm"*) exit 0 ;;
esac
echo "The following packages have unmet dependencies:"
echo " wine32:i386 : Depends: libssl3:i386 (= 3.0.17-1~deb12u2) but it is not going to be installed"
echo "E: Unable to correct problems, you have held broken packages."
exit 100
STUB
chmod +x "$work/bin/"*
printf 'ID=debian\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

run() {
  : >"$work/log"
  PATH="$work/bin:$PATH" STANDIN_LOG="$work/log" STANDIN_ARCHIVE=$1 RAYLET_APT_PAUSE=0 \
    RAYLET_OS_RELEASE="$work/os-release" sh "$deps" >"$work/out" 2>&1
}

run flux
code=$?
[ "$code" -eq 0 ] || fail "flux: exit $code, not 0"
[ "$(grep -c '^apt-get update' "$work/log")" -eq 3 ] || fail "flux: the update was not tried three times"
grep -q 'going on with the indexes that arrived' "$work/out" || fail "flux: no warning about the failed update"
grep -q 'Mirror sync in progress' "$work/out" || fail "flux: apt's reason for the failed update not shown"
grep -q -- '--target-release bookworm' "$work/out" || fail "flux: the fallback's reason not said"
last=$(grep '^apt-get install' "$work/log" | tail -n1)
case "$last" in
  *"--target-release bookworm"*wine32:i386*cppcheck*) ;;
  *) fail "flux: the last install was not of every package with the release preferred: $last" ;;
esac
grep -q '^dpkg --add-architecture' "$work/log" && fail "flux: i386 added although dpkg already had it"
[ "$status" -eq 0 ] || sed 's/^/  flux: /' "$work/out"

run broken
code=$?
[ "$code" -ne 0 ] || fail "broken: exit 0 although nothing installed"
grep -q '^could not install:.*wine32:i386' "$work/out" || fail "broken: the packages are not named"
grep -q 'E: Unable to correct problems' "$work/out" || fail "broken: apt's own error not shown"
grep -q 'wine32:i386 : Depends: libssl3:i386' "$work/out" || fail "broken: apt's unmet dependency not shown"
[ "$status" -eq 0 ] || sed 's/^/  broken: /' "$work/out"

[ "$status" -eq 0 ] && echo "deps.sh recovers from an archive in flux and names what it cannot install"
exit $status
