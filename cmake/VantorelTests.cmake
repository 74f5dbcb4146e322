include(GoogleTest)

# vantorel_gtest(NAME name SOURCES ... LIBRARIES ... [FIXTURES ...] [GUI])
# Builds a GoogleTest program and registers each of its tests with CTest:
#   native       run directly, under the sanitizers (label "native")
#   windows-x64  run under Wine in the test run's prefix (label "wine"); GUI
#                tests share the run's Xvfb display; FIXTURES names the CTest
#                fixtures they need besides the Wine session
#   windows-x86  built only (its size is reported); this machine cannot run it
# Tests are found by reading the sources, so nothing runs at build time.
function(vantorel_gtest)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBRARIES;FIXTURES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES} gtest_main)
  if(VANTOREL_PRODUCT_BUILD)
    target_link_options(${T_NAME} PRIVATE -s)
    return()
  endif()
  gtest_add_tests(TARGET ${T_NAME} SOURCES ${T_SOURCES}
                  TEST_PREFIX "${T_NAME}." TEST_LIST registered)
  if(VANTOREL_NATIVE)
    set_tests_properties(${registered} PROPERTIES LABELS native)
  else()
    set(fixtures wine_session ${T_FIXTURES})
    set_tests_properties(${registered} PROPERTIES LABELS wine
                         FIXTURES_REQUIRED "${fixtures}" TIMEOUT 120)
    if(T_GUI)
      # One display, one desktop: GUI tests must not see each other's windows.
      set_tests_properties(${registered} PROPERTIES RESOURCE_LOCK display)
    endif()
  endif()
endfunction()

# vantorel_fuzz_project(TARGET folder source_dir build_dir_var)
# libFuzzer targets need clang: the CMake project in `source_dir` is built
# with clang next to this build, into ${CMAKE_BINARY_DIR}/<folder>/build,
# by the target TARGET. Sets build_dir_var to that folder, or to "" when
# clang is missing (the caller then registers no fuzz test).
function(vantorel_fuzz_project target folder source_dir build_dir_var)
  find_program(VANTOREL_CLANG clang)
  find_program(VANTOREL_CLANGXX clang++)
  if(NOT VANTOREL_CLANG OR NOT VANTOREL_CLANGXX)
    message(STATUS "clang not found: ${target} is not built")
    set(${build_dir_var} "" PARENT_SCOPE)
    return()
  endif()
  include(ExternalProject)
  set(build_dir ${CMAKE_BINARY_DIR}/${folder}/build)
  ExternalProject_Add(${target}
    SOURCE_DIR ${source_dir}
    BINARY_DIR ${build_dir}
    CMAKE_ARGS -DCMAKE_C_COMPILER=${VANTOREL_CLANG} -DCMAKE_CXX_COMPILER=${VANTOREL_CLANGXX}
               -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  set(${build_dir_var} ${build_dir} PARENT_SCOPE)
endfunction()

# vantorel_setup_test_paths(TARGET PACKAGES folder [SETUP program] [UNINSTALLER program])
# Links the test support library into TARGET and tells its setup helpers
# where TARGET's packed setup executables are and which setup program and
# uninstaller (default: this build's) they are packed around.
function(vantorel_setup_test_paths target)
  cmake_parse_arguments(P "" "PACKAGES;SETUP;UNINSTALLER" "" ${ARGN})
  if(NOT P_SETUP)
    set(P_SETUP $<TARGET_FILE:vtsetup>)
  endif()
  if(NOT P_UNINSTALLER)
    set(P_UNINSTALLER $<TARGET_FILE:VTUnInst>)
  endif()
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${target}_paths.cpp)
  file(GENERATE OUTPUT ${source} CONTENT
"// Written by vantorel_setup_test_paths for ${target}.
#include \"setup_test_support.h\"

namespace setuptest {
const char kPackagesFolder[] = \"${P_PACKAGES}\";
const char kSetupProgram[] = \"${P_SETUP}\";
const char kUninstallerProgram[] = \"${P_UNINSTALLER}\";
}  // namespace setuptest
")
  set_source_files_properties(${source} PROPERTIES GENERATED TRUE)
  target_sources(${target} PRIVATE ${source})
  target_link_libraries(${target} PRIVATE test_support)
endfunction()
