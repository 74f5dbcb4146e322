# Front door of the Vantorel build. Three builds of one source tree:
#   build/native       Linux, AddressSanitizer + UndefinedBehaviorSanitizer
#   build/windows-x86  i686 MinGW, size-optimised: the product
#   build/windows-x64  x86_64 MinGW: the build whose tests run under Wine
# and the release vtpack (optimised, stripped, no sanitizer) that build/dist,
# `make install`, the Debian package and scripts/bench-pack use:
#   build/release      Linux, only vtpack is built
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# ccache: paths relative to the checkout, so that other checkouts of the
# tree on this machine find the same objects.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all deps build native windows-x86 windows-x64 release dist install package demo test clean

all: build

deps:
	scripts/install-deps

build: native windows-x86 windows-x64 release

$(BUILD)/native/CMakeCache.txt:
	cmake -S . -B $(BUILD)/native $(CMAKE_FLAGS)
$(BUILD)/windows-x86/CMakeCache.txt:
	cmake -S . -B $(BUILD)/windows-x86 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
$(BUILD)/windows-x64/CMakeCache.txt:
	cmake -S . -B $(BUILD)/windows-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(CMAKE_FLAGS) -DVANTOREL_WINE_TESTS=ON
$(BUILD)/release/CMakeCache.txt:
	cmake -S . -B $(BUILD)/release -DCMAKE_BUILD_TYPE=Release -DVANTOREL_SANITIZE=OFF

native: $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)
windows-x86: $(BUILD)/windows-x86/CMakeCache.txt
	cmake --build $(BUILD)/windows-x86 -j $(JOBS)
windows-x64: $(BUILD)/windows-x64/CMakeCache.txt
	cmake --build $(BUILD)/windows-x64 -j $(JOBS)
release: $(BUILD)/release/CMakeCache.txt
	cmake --build $(BUILD)/release --target vtpack -j $(JOBS)

# The distribution folder: the release vtpack with the programs it packs
# beside it (vtsetup.exe and VTUnInst.exe from the product build), the demo
# program and its libraries.
dist: release windows-x86
	mkdir -p $(BUILD)/dist
	cp $(BUILD)/release/src/packer/vtpack $(BUILD)/windows-x86/dist/*.exe $(BUILD)/windows-x86/dist/*.dll $(BUILD)/dist/

# vtpack installed as vendors use it: bin/vtpack, share/vantorel/ with the
# programs it packs, its manual and the project-format document (DESTDIR is
# honoured). `make package` makes the Debian package of the same files,
# $(BUILD)/release/vantorel_<version>_amd64.deb.
install: release windows-x86
	cmake --install $(BUILD)/release --prefix $(PREFIX)
package: release windows-x86
	cd $(BUILD)/release && cpack --config vantorel-cpack.cmake

# README command 1: everything a newcomer needs, every build, then the
# demo application packed into a setup executable and checked.
demo: deps
	$(MAKE) build
	$(MAKE) dist
	VANTOREL_DIST=$(abspath $(BUILD)/dist) $(BUILD)/dist/vtpack build examples/demo/project.toml -o $(BUILD)/dist/DemoSetup.exe
	$(BUILD)/dist/vtpack verify $(BUILD)/dist/DemoSetup.exe

# README command 2: every test of every build, with one summary line. The
# machine's pristine Wine prefixes (scripts/wine-prefix-cache) are made, when
# it has none yet, while the builds compile; the test sessions wait for them.
test: deps
	{ scripts/wine-prefix-cache 64 && scripts/binfmt-i386 && \
	  scripts/wine-prefix-cache wow64; } >/dev/null 2>&1 & \
	$(MAKE) build && scripts/run-tests $(BUILD); status=$$?; wait; exit $$status

clean:
	rm -rf $(BUILD)
