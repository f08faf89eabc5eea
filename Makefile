# Raylet. `make help` lists the targets and the variables they read (the
# lines starting with ## below). `make test` builds four trees (build/win32,
# build/win64, build/native, build/fuzz) and runs every test;
# `make demo` runs the program against the stand-in infrared stack.
## Variables (make VAR=value):
##   JOBS=2           parallel jobs of every build and ctest run
JOBS ?= 2
##   CMAKE_FLAGS=     extra cmake arguments for the native tree
CMAKE_FLAGS ?=
##   FUZZ_TIME=60     seconds each fuzz target runs in make fuzz
FUZZ_TIME ?= 60
##   BENCH_ROUNDS=30  rounds of make bench
BENCH_ROUNDS ?= 30
NATIVE := build/native
WIN64 := build/win64
WIN32 := build/win32
# The native tree's own code runs under these sanitizers in every test.
SANITIZER_OPTIONS := ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1

.PHONY: all help deps emulator emulator-remove native native-tree native-build win64 win32 test unit fuzz fuzz-smoke lint demo dist \
	bench mutate clean

## Targets:
##   make all         the native, x64 and i686 trees (what plain make does)
all: native win64 win32

##   make help        this list
help:
	@sed -n 's/^## \{0,1\}//p' $(firstword $(MAKEFILE_LIST))

##   make deps        installs the Debian packages (as root) or names the missing ones
deps:
	@sh scripts/deps.sh

# Where the kernel refuses 32-bit programs, QEMU's i386 emulator is
# registered for them (binfmt_misc entry raylet-i386, until the next reboot;
# scripts/emulator.sh); where it cannot be, the win98 tests are skipped.
##   make emulator    lets the 32-bit Wine run where the kernel refuses 32-bit programs (as root)
emulator: deps
	@sh scripts/emulator.sh

##   make emulator-remove  takes that registration away again
emulator-remove:
	@sh scripts/emulator.sh remove

##   make native      build/native: the portable code and the unit tests, built with AddressSanitizer and UBSan; every test's registration
native: native-tree native-build

native-tree: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAYLET_SANITIZE=ON -DRAYLET_WIN64_DIR=$(CURDIR)/$(WIN64) $(CMAKE_FLAGS) >/dev/null

native-build: native-tree
	cmake --build $(NATIVE) -j$(JOBS)

##   make win64       build/win64: the x64 cross build, tested under 64-bit Wine
win64: deps
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-x86_64-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN64) -j$(JOBS)

##   make win32       build/win32: the i686 cross build, the Windows 98 release
win32: deps
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j$(JOBS)

# The order of the phases is written once, at the top of scripts/test.sh.
##   make test        the four trees, then every test (the Wine tests' log: build/native/background-tests.log)
test: deps emulator
	@$(SANITIZER_OPTIONS) bash scripts/test.sh "$(MAKE)" $(NATIVE) $(JOBS)

##   make unit        the native tree's unit tests (ctest -L unit), under AddressSanitizer and UBSan
unit: native
	$(SANITIZER_OPTIONS) ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) -L unit

# libFuzzer targets (clang) in build/fuzz (scripts/fuzz.sh).
##   make fuzz        each libFuzzer target for FUZZ_TIME seconds; findings in build/fuzz/findings/
fuzz: deps
	@JOBS=$(JOBS) sh scripts/fuzz.sh run $(FUZZ_TIME)

##   make fuzz-smoke  a short run of each fuzz target (ctest -L fuzz in build/fuzz; part of make test)
fuzz-smoke: deps
	@JOBS=$(JOBS) sh scripts/fuzz.sh smoke

# clang-tidy reads the compile databases of build/native and build/win64.
##   make lint        shellcheck on every shell script, cppcheck and clang-tidy on all shipped code
lint: native win64
	@sh scripts/lint.sh

##   make demo        the Windows 98 release under Wine against the stand-in stack (RAYLET_DEMO=win64: the x64 build)
demo: win64 win32 emulator
	@bash scripts/demo.sh

# From the tested i686 tree; the same commit gives the same bytes anywhere.
##   make dist        the release: build/dist/raylet-<version>.zip and SHA256SUMS beside it
dist: win32
	@python3 scripts/dist.py . $(WIN32)/rayctl.exe build/dist

# Under Wine, an unattended rayctl.exe /K against an empty program of ours,
# a one-window one and one that shows the same dialog (median ratios, peak
# memory), in a prefix of its own under build/bench; then the unit suite's
# wall time.
##   make bench       not a test: rayctl.exe /K under Wine against programs of ours, BENCH_ROUNDS rounds
bench: win64 win32 native emulator
	@bash bench/run.sh build/bench $(WIN64) $(WIN32) $(NATIVE) $(BENCH_ROUNDS)

# One small change at a time in the shipped portable code, each rebuilt and
# run against the native unit suite (tools/mutate.py); survivors that no
# test could observe are listed in tools/mutate-equivalent.txt.
##   make mutate      not a test: changes to the shipped code that no unit test notices
mutate: deps
	@JOBS=$(JOBS) python3 tools/mutate.py

##   make clean       removes build/ (every tree, the Wine prefixes, the release)
clean:
	rm -rf build
