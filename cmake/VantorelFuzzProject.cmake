# What the fuzz projects share, included right after their project(): they
# are CMake projects of their own because libFuzzer needs clang while the
# native build uses g++, and are configured with
#   -DVANTOREL_SOURCE_DIR=<repository>
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
list(APPEND CMAKE_MODULE_PATH ${VANTOREL_SOURCE_DIR}/cmake)
include(VantorelTargets)  # native: AddressSanitizer and UndefinedBehaviorSanitizer

# Coverage for libFuzzer in everything the targets run.
add_compile_options(-fsanitize=fuzzer-no-link)
add_subdirectory(${VANTOREL_SOURCE_DIR}/src/base base)

# vantorel_fuzz_target(name SOURCES ... [LIBRARIES ...])
# A libFuzzer program: libFuzzer's main drives the sources' LLVMFuzzerTestOneInput.
function(vantorel_fuzz_target name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBRARIES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
