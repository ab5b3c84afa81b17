# SPDX-License-Identifier: MIT
# make run    install what is missing, build, open the window
# make test   install what is missing, build, run every test
# make bench  the benchmark against head/tail and cp
# make windows       cross-build the window (vipmerge.exe), the command line and the tests for
#                    Windows (mingw-w64)
# make test-windows  run those tests under Wine, on a virtual display
# make test-sanitize  every test again, built with AddressSanitizer and UBSan
# make package          the Debian package, build-package/vipmerge_<version>_amd64.deb
# make package-windows  the Windows zip and installer, in build-windows
# make test-packages    install and use those packages (as root: dpkg; Windows under Wine)
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
WINDOWS_BUILD ?= build-windows

.PHONY: all deps build test run bench clean windows test-windows test-sanitize \
	package package-windows test-packages

all: build

deps:
	scripts/install-deps base app

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test: build
	scripts/install-deps test
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/run-window $(BUILD)

bench: build
	scripts/install-deps bench
	bench/run $(BUILD)

# The window stated outright: a build folder made before it existed has it off in its cache.
windows:
	scripts/install-deps base windows
	cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release -DVIPMERGE_BUILD_APP=ON \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD) -j $(JOBS)

test-windows: windows
	scripts/test-windows $(WINDOWS_BUILD)

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(SANITIZE_BUILD) $(PACKAGE_BUILD)

SANITIZE_BUILD ?= build-sanitize
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer

test-sanitize: deps
	scripts/install-deps test
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)"
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

PACKAGE_BUILD ?= build-package
# Debian's own compiler and linker flags, hardening included; cpack strips the programs.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get

package: deps
	scripts/install-deps packages
	cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DVIPMERGE_BUILD_TESTS=OFF \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack
	@ls -l $(PACKAGE_BUILD)/*.deb

package-windows: windows
	scripts/install-deps packages
	cd $(WINDOWS_BUILD) && cpack
	@ls -l $(WINDOWS_BUILD)/*.zip $(WINDOWS_BUILD)/*-setup.exe

test-packages: package package-windows
	scripts/test-packages $(PACKAGE_BUILD) $(WINDOWS_BUILD)
