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

.PHONY: all deps dist-files demo-steps build native windows-x86 windows-x64 release dist install package demo test clean

all: build

deps:
	scripts/install-deps

build: native windows-x86 windows-x64 release

# Configures tree $(1) with flags $(2) when it has no cache yet. A tree that
# `make demo` configured without its tests gets them here, and keeps what it
# built.
configure = if [ ! -f $(1)/CMakeCache.txt ]; then cmake -S . -B $(1) $(2); \
            elif grep -q '^VANTOREL_TESTS:BOOL=OFF' $(1)/CMakeCache.txt; then \
              cmake -S . -B $(1) -DVANTOREL_TESTS=ON; fi
X86_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
X64_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(CMAKE_FLAGS) -DVANTOREL_WINE_TESTS=ON
RELEASE_FLAGS = -DCMAKE_BUILD_TYPE=Release -DVANTOREL_SANITIZE=OFF

native:
	$(call configure,$(BUILD)/native,$(CMAKE_FLAGS))
	cmake --build $(BUILD)/native -j $(JOBS)
windows-x86:
	$(call configure,$(BUILD)/windows-x86,$(X86_FLAGS))
	cmake --build $(BUILD)/windows-x86 -j $(JOBS)
windows-x64:
	$(call configure,$(BUILD)/windows-x64,$(X64_FLAGS))
	cmake --build $(BUILD)/windows-x64 -j $(JOBS)
release:
	$(call configure,$(BUILD)/release,$(RELEASE_FLAGS))
	cmake --build $(BUILD)/release --target vtpack -j $(JOBS)

# The distribution folder: the release vtpack with the programs it packs
# beside it (vtsetup.exe and the uninstallers from the product build), the demo
# program and its libraries.
dist: release windows-x86
	$(MAKE) dist-files
dist-files:
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

# README command 1: the demo application packed into a setup executable and
# checked, from what that needs alone: the product programs (i686), the
# release vtpack and the demo program, on the packages of `install-deps
# --demo`. Trees that do not exist yet are configured without their tests
# (`make test` adds them later in the same trees). Each step prints its time.
step = scripts/timed-step "make demo: $(1)"
demo:
	@$(call step,all steps) $(MAKE) --no-print-directory demo-steps
demo-steps:
	@$(call step,packages) scripts/install-deps --demo
	@[ -f $(BUILD)/windows-x86/CMakeCache.txt ] || \
	  $(call step,configure the product) cmake -S . -B $(BUILD)/windows-x86 $(X86_FLAGS) -DVANTOREL_TESTS=OFF
	@$(call step,build the product) cmake --build $(BUILD)/windows-x86 --target dist_programs -j $(JOBS)
	@[ -f $(BUILD)/release/CMakeCache.txt ] || \
	  $(call step,configure vtpack) cmake -S . -B $(BUILD)/release $(RELEASE_FLAGS) -DVANTOREL_TESTS=OFF
	@$(call step,build vtpack) cmake --build $(BUILD)/release --target vtpack -j $(JOBS)
	@$(call step,gather build/dist) $(MAKE) --no-print-directory dist-files
	@$(call step,pack DemoSetup.exe) env VANTOREL_DIST=$(abspath $(BUILD)/dist) \
	  $(BUILD)/dist/vtpack build examples/demo/project.toml -o $(BUILD)/dist/DemoSetup.exe
	@$(call step,verify DemoSetup.exe) $(BUILD)/dist/vtpack verify $(BUILD)/dist/DemoSetup.exe

# README command 2: every test of every build, with one summary line. The
# machine's pristine Wine prefixes (scripts/wine-prefix-cache) are made, when
# it has none yet, while the builds compile; the test sessions wait for them.
test: deps
	{ scripts/wine-prefix-cache 64 && scripts/binfmt-i386 && \
	  scripts/wine-prefix-cache wow64; } >/dev/null 2>&1 & \
	$(MAKE) build && scripts/run-tests $(BUILD); status=$$?; wait; exit $$status

clean:
	rm -rf $(BUILD)
