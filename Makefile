# Raylet: `make test` builds the three trees and runs every test;
# `make demo` runs the program against the stand-in infrared stack.
JOBS ?= 2
NATIVE := build/native
WIN64 := build/win64
WIN32 := build/win32
CMAKE_FLAGS ?=

.PHONY: all deps native native-tree native-build win64 win32 test unit sanitize fuzz fuzz-smoke lint demo dist bench mutate clean

all: native win64 win32

deps:
	@sh scripts/deps.sh

native: native-tree native-build

native-tree: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAYLET_WIN64_DIR=$(CURDIR)/$(WIN64) $(CMAKE_FLAGS) >/dev/null

native-build: native-tree
	cmake --build $(NATIVE) -j$(JOBS)

win64: deps
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-x86_64-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN64) -j$(JOBS)

win32: deps
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j$(JOBS)

SANITIZE := build/sanitize

# The wine- and win98-labelled Wine tests run side by side, each group in
# its own prefix, while the native, sanitizer and fuzz trees build and run
# (scripts/test.sh); then the native tree's other tests. On a host that
# cannot run 32-bit programs the win98 group is skipped, and the reason is
# printed at the end.
test: win64 win32
	@bash scripts/test.sh "$(MAKE)" $(NATIVE) $(JOBS)
	@[ ! -s $(NATIVE)/win98/unsupported ] || echo "win98 tests skipped: $$(cat $(NATIVE)/win98/unsupported)"

# The unit suite again, built with AddressSanitizer and UBSan.
sanitize: deps
	cmake -S . -B $(SANITIZE) -DCMAKE_BUILD_TYPE=Debug -DRAYLET_SANITIZE=ON -DRAYLET_WINE_TESTS=OFF >/dev/null
	cmake --build $(SANITIZE) -j$(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(SANITIZE) --output-on-failure -j$(JOBS) -L unit

# libFuzzer targets (clang) in build/fuzz: `make fuzz` runs each for
# FUZZ_TIME seconds; `make test` runs a short smoke run of each.
FUZZ_TIME ?= 60
fuzz: deps
	@JOBS=$(JOBS) sh scripts/fuzz.sh run $(FUZZ_TIME)

fuzz-smoke: deps
	@JOBS=$(JOBS) sh scripts/fuzz.sh smoke

# cppcheck and clang-tidy on all shipped code (reads the compile databases of
# build/native and build/win64).
lint: native win64
	@sh scripts/lint.sh

unit: native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) -L unit

demo: win64 win32
	@sh scripts/demo.sh

# The release for Windows 98 users, from the tested i686 tree:
# build/dist/raylet-<version>.zip and build/dist/SHA256SUMS (printed).
dist: win32
	@python3 scripts/dist.py . $(WIN32)/rayctl.exe build/dist

# Not a test: under Wine, an unattended rayctl.exe /K against an empty
# program of ours, a one-window one and one that shows the same dialog
# (BENCH_ROUNDS rounds, median ratios, peak memory), in a prefix of its own
# under build/bench; then the unit suite's wall time.
BENCH_ROUNDS ?= 30
bench: win64 win32 native
	@bash bench/run.sh build/bench $(WIN64) $(WIN32) $(NATIVE) $(BENCH_ROUNDS)

# Not a test: one small change at a time in the shipped portable code, each
# rebuilt and run against the native unit suite (tools/mutate.py); survivors
# that no test could observe are listed in tools/mutate-equivalent.txt.
mutate: deps
	@JOBS=$(JOBS) python3 tools/mutate.py

clean:
	rm -rf build
