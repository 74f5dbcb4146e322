# The libraries of src/<folder>.

# vantorel_include_root(target)
# Lets `target`, and what links it, include the headers of the current
# folder as "<folder>/x.h", and no other folder's: the include root is a
# folder of the build tree holding one link, named like the folder, to it.
# A file that includes from a library its target does not link then fails
# to compile.
function(vantorel_include_root target)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# vantorel_subsystem(library [TEXT text_library] [SOURCES ...]
#                    [WINDOWS ...] [NATIVE ...] [USES ...] [SYSTEM ...])
# The program code of a subsystem: SOURCES build everywhere, WINDOWS only in
# the Windows builds, NATIVE only in the native one.
#   library       the subsystem's library, made in each build that has
#                 sources for it; it links USES (libraries of lower folders)
#                 and, in the Windows builds, SYSTEM (Windows import
#                 libraries)
#   TEXT          SOURCES form a library of their own, text_library, which
#                 links only base and which `library` links: the part that
#                 works on text alone, for when the rest needs libraries
#                 that only the Windows builds have
# Both export only the headers of the current folder (vantorel_include_root).
function(vantorel_subsystem library)
  cmake_parse_arguments(S "" "TEXT" "SOURCES;WINDOWS;NATIVE;USES;SYSTEM" ${ARGN})
  set(sources ${S_SOURCES})
  if(S_TEXT)
    vantorel_subsystem_library(${S_TEXT} ${S_SOURCES})
    target_link_libraries(${S_TEXT} PUBLIC base)
    set(sources)
    list(PREPEND S_USES ${S_TEXT})
  endif()
  if(VANTOREL_WINDOWS)
    list(APPEND sources ${S_WINDOWS})
  else()
    list(APPEND sources ${S_NATIVE})
  endif()
  if(NOT sources)
    return()
  endif()
  vantorel_subsystem_library(${library} ${sources})
  target_link_libraries(${library} PUBLIC ${S_USES})
  if(VANTOREL_WINDOWS)
    target_link_libraries(${library} PRIVATE ${S_SYSTEM})
  endif()
endfunction()

function(vantorel_subsystem_library library)
  add_library(${library} STATIC ${ARGN})
  vantorel_include_root(${library})
  vantorel_program_code(${library})
endfunction()
