#!/bin/sh
# Static analysis of the shipped portable code: cppcheck, and clang-tidy with
# the checked-in .clang-tidy. Fails on any finding.
#   LINT_BUILD  build tree whose compile_commands.json clang-tidy reads
#               (default build/native; `make lint` builds it first)
set -eu
cd "$(dirname "$0")/.."
build=${LINT_BUILD:-build/native}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: $build/compile_commands.json missing; run 'make native' first" >&2
  exit 1
fi

# The code that ships and is portable; platform/win32 builds only with the
# Windows headers.
sources=$(ls platform/*.cpp driver/*.cpp maintenance/*.cpp shell/logic/*.cpp 2>/dev/null)
status=0

echo "cppcheck: $(echo "$sources" | wc -l) files"
# cstyleCast: the Win32 constants of platform/WinTypes.h (HKEY_LOCAL_MACHINE,
# INVALID_HANDLE_VALUE) are C casts, as in the Windows headers, and cppcheck
# reports them where they are used. useStlAlgorithm: shipped code runs
# without the C++ library, so plain loops are the rule, not a smell.
# shellcheck disable=SC2086
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ -I . \
  --enable=warning,style,performance,portability --inline-suppr \
  --suppress=missingIncludeSystem --suppress=unusedFunction --suppress=unmatchedSuppression \
  --suppress=cstyleCast --suppress=useStlAlgorithm \
  $sources || status=1

echo "clang-tidy: $(echo "$sources" | wc -l) files"
# shellcheck disable=SC2086
clang-tidy --quiet -p "$build" $sources 2>/dev/null || status=1

if [ $status -eq 0 ]; then echo "lint: clean"; else echo "lint: findings above" >&2; fi
exit $status
