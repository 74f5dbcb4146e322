# Front door of the Vantorel build. Three builds of one source tree:
#   build/native       Linux, AddressSanitizer + UndefinedBehaviorSanitizer
#   build/windows-x86  i686 MinGW, size-optimised: the product
#   build/windows-x64  x86_64 MinGW: the build whose tests run under Wine
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
# ccache: paths relative to the checkout, so that other checkouts of the
# tree on this machine find the same objects.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all deps build native windows-x86 windows-x64 dist demo test clean

all: build

deps:
	scripts/install-deps

build: native windows-x86 windows-x64

$(BUILD)/native/CMakeCache.txt:
	cmake -S . -B $(BUILD)/native $(CMAKE_FLAGS)
$(BUILD)/windows-x86/CMakeCache.txt:
	cmake -S . -B $(BUILD)/windows-x86 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
$(BUILD)/windows-x64/CMakeCache.txt:
	cmake -S . -B $(BUILD)/windows-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(CMAKE_FLAGS) -DVANTOREL_WINE_TESTS=ON

native: $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)
windows-x86: $(BUILD)/windows-x86/CMakeCache.txt
	cmake --build $(BUILD)/windows-x86 -j $(JOBS)
windows-x64: $(BUILD)/windows-x64/CMakeCache.txt
	cmake --build $(BUILD)/windows-x64 -j $(JOBS)

# The distribution folder: vtpack with the programs it packs beside it
# (vtsetup.exe and VTUnInst.exe from the product build), the demo program and
# its libraries.
dist: native windows-x86
	mkdir -p $(BUILD)/dist
	cp $(BUILD)/native/src/packer/vtpack $(BUILD)/windows-x86/dist/*.exe $(BUILD)/windows-x86/dist/*.dll $(BUILD)/dist/

# README command 1: everything a newcomer needs, all three builds, then the
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
