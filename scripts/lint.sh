#!/bin/sh
# Static analysis: shellcheck on every shell script that git does not
# ignore (*.sh, and files whose first line runs sh or bash); cppcheck, and
# clang-tidy with the checked-in .clang-tidy, on the shipped code. Fails on
# any finding.
#   LINT_BUILD  build tree whose compile_commands.json clang-tidy reads
#               (default build/native; `make lint` builds it first)
set -eu
cd "$(dirname "$0")/.."
status=0

scripts=$(git ls-files --cached --others --exclude-standard | while IFS= read -r file; do
  [ -f "$file" ] || continue
  case "$file" in
    *.sh) echo "$file" ;;
    *) if head -n 1 "$file" | grep -qE '^#!.*[/ ](ba|da)?sh( |$)'; then echo "$file"; fi ;;
  esac
done)
echo "shellcheck: $(echo "$scripts" | wc -l) scripts"
# Run from the top so that the scripts' "shellcheck source=" paths resolve.
# shellcheck disable=SC2086
shellcheck --external-sources $scripts || status=1

build=${LINT_BUILD:-build/native}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint: $build/compile_commands.json missing; run 'make native' first" >&2
  exit 1
fi

# The code that ships and is portable; platform/win32 builds only with the
# Windows headers.
sources=$(ls platform/*.cpp driver/*.cpp maintenance/*.cpp shell/logic/*.cpp 2>/dev/null)

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

# The Windows code (framework, shell, Win32 backend, runtime) against the x64
# tree's compile database, with the mingw-w64 C++ headers; gcc-only flags are
# dropped for clang.
win_build=${LINT_WIN_BUILD:-build/win64}
win_sources=$(ls framework/*.cpp shell/win32/*.cpp shell/win32/runtime/*.cpp platform/win32/*.cpp 2>/dev/null)
if [ -f "$win_build/compile_commands.json" ]; then
  echo "cppcheck (Windows code): $(echo "$win_sources" | wc -l) files"
  # unusedPrivateFunction: handlers are reached through the command tables.
  # shellcheck disable=SC2086
  cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ -I . -D_WIN32 \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=unusedFunction --suppress=unmatchedSuppression \
    --suppress=cstyleCast --suppress=useStlAlgorithm --suppress=unusedPrivateFunction \
    $win_sources || status=1

  db=$(mktemp -d)
  trap 'rm -rf "$db"' EXIT
  drop=""
  for flag in -fno-tree-loop-distribute-patterns -fno-tree-loop-optimize -fno-inline-functions-called-once \
      -malign-data=abi -ffat-lto-objects; do
    drop="$drop s/ $flag//g;"
  done
  sed -e "$drop" "$win_build/compile_commands.json" >"$db/compile_commands.json"
  extra="--extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++"
  for dir in $(echo | x86_64-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 |
      sed -n '/search starts here/,/End of search list/p' | grep '^ ' | grep -v -E '/include$|include-fixed'); do
    extra="$extra --extra-arg=-isystem$dir"
  done
  dir=$(echo | x86_64-w64-mingw32-g++-posix -E -x c++ - -v 2>&1 | sed -n '/search starts here/,/End of search list/p' |
    grep '^ ' | grep 'mingw32/include$' | head -n 1 | sed 's/^ *//')
  [ -n "$dir" ] && extra="$extra --extra-arg=-isystem$dir"
  echo "clang-tidy (Windows code): $(echo "$win_sources" | wc -l) files"
  # shellcheck disable=SC2086
  clang-tidy --quiet -p "$db" $extra $win_sources 2>/dev/null || status=1
else
  echo "lint: $win_build/compile_commands.json missing; run 'make win64' first" >&2
  status=1
fi

if [ $status -eq 0 ]; then echo "lint: clean"; else echo "lint: findings above" >&2; fi
exit $status
