# Build settings shared by every folder. Four builds use this tree:
#   native               Linux g++ with AddressSanitizer and UndefinedBehaviorSanitizer
#   windows-x86          i686 MinGW, size-optimised: the 32-bit product
#   windows-x64          x86_64 MinGW, run under Wine by the tests
#   windows-x64-product  x86_64 MinGW, size-optimised: the 64-bit product

if(WIN32)
  enable_language(RC)
  set(VANTOREL_WINDOWS ON)
  # The same source links to the same bytes: the linker writes no time into
  # the PE header (TimeDateStamp stays 0; the loader never reads it, and
  # symbol servers, which pair it with the image size, have nothing to
  # serve for a stripped program).
  add_link_options(-Wl,--no-insert-timestamp)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    set(VANTOREL_PRODUCT_BUILD ON)   # i686: compiled and inspected; a few end-to-end runs
    # The product run under 32-bit Wine (tests/product32): needs the native
    # and windows-x64 builds beside this one.
    option(VANTOREL_PRODUCT_TESTS "Run the 32-bit product under 32-bit Wine" ON)
  else()
    # The same sources as the test build, compiled and inspected as the
    # i686 product is; its tests are those of the test build.
    option(VANTOREL_X64_PRODUCT "Build the 64-bit programs as shipped (size-optimised)" OFF)
    set(VANTOREL_PRODUCT_BUILD ${VANTOREL_X64_PRODUCT})
  endif()
else()
  set(VANTOREL_NATIVE ON)
  # OFF only for release trees such as the packing benchmark's.
  option(VANTOREL_SANITIZE "Native build with AddressSanitizer and UBSan" ON)
  if(VANTOREL_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
  endif()
endif()

add_compile_options(-Wall -Wextra)

# Code that ends up in the setup program or the uninstaller: no exceptions, no
# RTTI, no thread-safe statics (they would pull in the threads runtime).
# The native build keeps RTTI: UBSan's vptr check needs the type information.
function(vantorel_program_code target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-threadsafe-statics>
    -ffunction-sections -fdata-sections)
  if(VANTOREL_WINDOWS)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
  endif()
  if(VANTOREL_PRODUCT_BUILD)
    # Without exceptions nothing unwinds: the 32-bit build's DWARF unwind
    # tables (.eh_frame) would only add about a tenth to the program.
    target_compile_options(${target} PRIVATE -Os -fno-asynchronous-unwind-tables -fno-unwind-tables)
    # Windows promises 4-byte stack alignment on x86, no more: keeping 16
    # only costs code in every function that calls another.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      target_compile_options(${target} PRIVATE -mpreferred-stack-boundary=2)
    endif()
  endif()
endfunction()

# A shipped Windows executable: GUI subsystem, garbage-collected sections, stripped.
function(vantorel_windows_program target)
  vantorel_program_code(${target})
  target_link_options(${target} PRIVATE -mwindows -Wl,--gc-sections -s
                      -Wl,-Map=$<TARGET_FILE:${target}>.map)
endfunction()

# A shipped program that starts in its own entry point `entry` (a WINAPI
# function without arguments) instead of the C runtime's start-up code; see
# src/base/program_start.h.
function(vantorel_program_entry target entry)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/base/program_start.cpp)
  target_link_options(${target} PRIVATE -nostartfiles -Wl,--disable-auto-import)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # Without the start-up code nothing registers DWARF unwind tables.
    target_link_options(${target} PRIVATE -Wl,-e,_${entry}@0
                        -Wl,-T,${CMAKE_SOURCE_DIR}/cmake/discard-unwind-tables.ld)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 ${CMAKE_SOURCE_DIR}/cmake/discard-unwind-tables.ld)
  else()
    target_link_options(${target} PRIVATE -Wl,-e,${entry})
  endif()
endfunction()

if(VANTOREL_WINDOWS AND VANTOREL_WINE_TESTS)
  # Every Windows program that CTest starts goes through the Wine wrapper, in
  # this build tree's own prefix.
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/scripts/wine-run;${CMAKE_BINARY_DIR}/wine")
  # The build whose tests run checks what callers promise a function
  # (VANTOREL_EXPECT in base/contract_check.h); the product does not.
  add_compile_definitions(VANTOREL_CONTRACT_CHECKS)
endif()
include(VantorelChecks)
include(VantorelSubsystem)
