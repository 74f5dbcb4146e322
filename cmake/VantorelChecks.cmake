# Checks of the Windows executables of the product builds (windows-x86 and
# windows-x64-product, label "checks"): each imports only Windows system
# DLLs, and its size is printed (ctest -L checks -V shows it). Other builds
# register nothing.
#
#   vantorel_check_executable(target [MAX_SIZE bytes] [KNOWN_DLLS_ONLY])
#     The product's own programs register themselves with their limits where
#     they are built (src/setup_program, src/uninstaller), e.g.
#     vantorel_check_executable(vtsetup KNOWN_DLLS_ONLY MAX_SIZE <bytes>).
#   Every executable target not registered so far gets the plain check when
#   the configuration ends, so a new test program is never forgotten.
#   vantorel_skip_executable_check(target): for programs that must fail the
#     check (the tests of the check itself).

set(VANTOREL_CHECK_EXECUTABLE ${CMAKE_CURRENT_LIST_DIR}/../scripts/check-executable)

function(vantorel_skip_executable_check target)
  set_property(GLOBAL APPEND PROPERTY VANTOREL_CHECKED_EXECUTABLES ${target})
endfunction()

function(vantorel_check_executable target)
  if(NOT VANTOREL_PRODUCT_BUILD)
    return()
  endif()
  cmake_parse_arguments(C "KNOWN_DLLS_ONLY" "MAX_SIZE" "" ${ARGN})
  set(options --objdump ${CMAKE_OBJDUMP})
  if(C_MAX_SIZE)
    list(APPEND options --max-size ${C_MAX_SIZE})
  endif()
  if(C_KNOWN_DLLS_ONLY)
    list(APPEND options --known-dlls-only)
  endif()
  add_test(NAME checks.executable.${target}
           COMMAND ${VANTOREL_CHECK_EXECUTABLE} ${options} $<TARGET_FILE:${target}>)
  set_tests_properties(checks.executable.${target} PROPERTIES LABELS checks)
  vantorel_skip_executable_check(${target})
endfunction()

function(vantorel_executables_below directory result)
  set(found)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    vantorel_executables_below(${subdirectory} below)
    list(APPEND found ${below})
  endforeach()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

function(vantorel_check_remaining_executables)
  get_property(checked GLOBAL PROPERTY VANTOREL_CHECKED_EXECUTABLES)
  vantorel_executables_below(${CMAKE_SOURCE_DIR} executables)
  foreach(target IN LISTS executables)
    if(NOT target IN_LIST checked)
      vantorel_check_executable(${target})
    endif()
  endforeach()
endfunction()

if(VANTOREL_PRODUCT_BUILD)
  # Runs when the top-level CMakeLists.txt has been read, after every folder.
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR}
                 CALL vantorel_check_remaining_executables)
endif()
