# Raylet: `make test` builds the three trees and runs every test;
# `make demo` runs the program against the stand-in infrared stack.
JOBS ?= 2
NATIVE := build/native
WIN64 := build/win64
WIN32 := build/win32
CMAKE_FLAGS ?=

.PHONY: all deps native win64 win32 test unit demo bench clean

all: native win64 win32

deps:
	@sh scripts/deps.sh

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAYLET_WIN64_DIR=$(CURDIR)/$(WIN64) $(CMAKE_FLAGS) >/dev/null
	cmake --build $(NATIVE) -j$(JOBS)

win64: deps
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-x86_64-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN64) -j$(JOBS)

win32: deps
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	cmake --build $(WIN32) -j$(JOBS)

test: win64 win32 native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

unit: native
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS) -L unit

demo: win64 win32
	@sh scripts/demo.sh

clean:
	rm -rf build
