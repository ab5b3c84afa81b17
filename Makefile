# SPDX-License-Identifier: MIT
# make run    install what is missing, build, open the window
# make test   install what is missing, build, run every test
# make bench  the benchmark against head/tail and cp
# make windows       cross-build the command line and the tests for Windows (mingw-w64)
# make test-windows  run those tests under Wine, headless
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
WINDOWS_BUILD ?= build-windows

.PHONY: all deps build test run bench clean windows test-windows

all: build

deps:
	scripts/install-deps base app

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/run-window $(BUILD)

bench: build
	scripts/install-deps bench
	bench/run $(BUILD)

windows:
	scripts/install-deps base windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release -DVIPMERGE_BUILD_APP=OFF \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

test-windows: windows
	scripts/test-windows $(WINDOWS_BUILD)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD)
