# SPDX-License-Identifier: MIT
# make run    install what is missing, build, open the window
# make test   install what is missing, build, run every test
# make bench  the benchmark against head/tail and cp
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build test run bench clean

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

clean:
	rm -rf $(BUILD)
