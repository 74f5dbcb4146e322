# Front door of the Vantorel build. Four builds of one source tree:
#   build/native               Linux, AddressSanitizer + UndefinedBehaviorSanitizer
#   build/windows-x86          i686 MinGW, size-optimised: the product
#   build/windows-x64          x86_64 MinGW: the build whose tests run under Wine
#   build/windows-x64-product  x86_64 MinGW, size-optimised: the 64-bit product
#                              (its programs and their checks only; the tests
#                              of the same sources run in build/windows-x64)
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

.PHONY: all deps dist-files demo-steps build native windows-x86 windows-x64 windows-x64-product release dist install package demo test clean

all: build

deps:
	scripts/install-deps

build: native windows-x86 windows-x64 windows-x64-product release

# Configures tree $(1) with flags $(2) when it has no cache yet. A tree that
# `make demo` configured without its tests gets them here, and keeps what it
# built.
configure = if [ ! -f $(1)/CMakeCache.txt ]; then cmake -S . -B $(1) $(2); \
            elif grep -q '^VANTOREL_TESTS:BOOL=OFF' $(1)/CMakeCache.txt; then \
              cmake -S . -B $(1) -DVANTOREL_TESTS=ON; fi
X86_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel
X64_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake $(CMAKE_FLAGS) -DVANTOREL_WINE_TESTS=ON
# Never with tests: they are the windows-x64 tree's.
X64_PRODUCT_FLAGS = -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
                    -DVANTOREL_X64_PRODUCT=ON -DVANTOREL_TESTS=OFF
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
windows-x64-product:
	[ -f $(BUILD)/windows-x64-product/CMakeCache.txt ] || \
	  cmake -S . -B $(BUILD)/windows-x64-product $(X64_PRODUCT_FLAGS)
	cmake --build $(BUILD)/windows-x64-product -j $(JOBS)
release:
	$(call configure,$(BUILD)/release,$(RELEASE_FLAGS))
	cmake --build $(BUILD)/release --target vtpack -j $(JOBS)

# The distribution folder: the release vtpack with the programs it packs
# beside it (vtsetup.exe and the uninstallers from the product build,
# vtsetup64.exe and the 64-bit uninstallers from the 64-bit one), the demo
# program and its libraries (the 64-bit ones in x64/).
dist: release windows-x86 windows-x64-product
	$(MAKE) dist-files
dist-files:
	mkdir -p $(BUILD)/dist
	cp $(BUILD)/release/src/packer/vtpack $(BUILD)/windows-x86/dist/*.exe $(BUILD)/windows-x86/dist/*.dll $(BUILD)/dist/
	cp -R $(BUILD)/windows-x64-product/dist/. $(BUILD)/dist/

# vtpack installed as vendors use it: bin/vtpack, share/vantorel/ with the
# programs it packs, its manual and the project-format document (DESTDIR is
# honoured). `make package` makes the Debian package of the same files,
# $(BUILD)/release/vantorel_<version>_amd64.deb.
install: release windows-x86 windows-x64-product
	cmake --install $(BUILD)/release --prefix $(PREFIX)
package: release windows-x86 windows-x64-product
	cd $(BUILD)/release && cpack --config vantorel-cpack.cmake

# README command 1: the demo application packed into setup executables and
# checked, from what that needs alone: the product programs (i686 and
# x86_64), the release vtpack and the demo program, on the packages of
# `install-deps --demo`. Trees that do not exist yet are configured without
# their tests (`make test` adds them later in the same trees). Each step
# prints its time.
step = scripts/timed-step "make demo: $(1)"
demo:
	@$(call step,all steps) $(MAKE) --no-print-directory demo-steps
demo-steps:
	@$(call step,packages) scripts/install-deps --demo
	@[ -f $(BUILD)/windows-x86/CMakeCache.txt ] || \
	  $(call step,configure the product) cmake -S . -B $(BUILD)/windows-x86 $(X86_FLAGS) -DVANTOREL_TESTS=OFF
	@$(call step,build the product) cmake --build $(BUILD)/windows-x86 --target dist_programs -j $(JOBS)
	@[ -f $(BUILD)/windows-x64-product/CMakeCache.txt ] || \
	  $(call step,configure the 64-bit product) cmake -S . -B $(BUILD)/windows-x64-product $(X64_PRODUCT_FLAGS)
	@$(call step,build the 64-bit product) cmake --build $(BUILD)/windows-x64-product --target dist_programs -j $(JOBS)
	@[ -f $(BUILD)/release/CMakeCache.txt ] || \
	  $(call step,configure vtpack) cmake -S . -B $(BUILD)/release $(RELEASE_FLAGS) -DVANTOREL_TESTS=OFF
	@$(call step,build vtpack) cmake --build $(BUILD)/release --target vtpack -j $(JOBS)
	@$(call step,gather build/dist) $(MAKE) --no-print-directory dist-files
	@$(call step,pack DemoSetup.exe) env VANTOREL_DIST=$(abspath $(BUILD)/dist) \
	  $(BUILD)/dist/vtpack build examples/demo/project.toml -o $(BUILD)/dist/DemoSetup.exe
	@$(call step,verify DemoSetup.exe) $(BUILD)/dist/vtpack verify $(BUILD)/dist/DemoSetup.exe
	@$(call step,pack DemoSetup64.exe) env VANTOREL_DIST=$(abspath $(BUILD)/dist) \
	  $(BUILD)/dist/vtpack build examples/demo/project-x64.toml -o $(BUILD)/dist/DemoSetup64.exe
	@$(call step,verify DemoSetup64.exe) $(BUILD)/dist/vtpack verify $(BUILD)/dist/DemoSetup64.exe

# README command 2: every test of every build, with one summary line. The
# machine's pristine Wine prefixes (scripts/wine-prefix-cache) are made, when
# it has none yet, while the builds compile; the test sessions wait for them.
test: deps
	{ scripts/wine-prefix-cache 64 && scripts/binfmt-i386 && \
	  scripts/wine-prefix-cache wow64; } >/dev/null 2>&1 & \
	$(MAKE) build && scripts/run-tests $(BUILD); status=$$?; wait; exit $$status

clean:
	rm -rf $(BUILD)
