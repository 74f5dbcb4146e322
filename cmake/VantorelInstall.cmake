# Installing and packaging vtpack, in the release tree only (the native
# build with sanitizers serves the tests):
#   bin/vtpack                              this tree's release build
#   share/vantorel/vtsetup.exe, VTUnInst.exe, VTUnInstUser.exe
#                                           the i686 product build's programs
#   share/vantorel/vtsetup64.exe, VTUnInst64.exe, VTUnInstUser64.exe
#                                           the x86_64 product build's
#   share/doc/vantorel/project-format.md
#   share/man/man1/vtpack.1.gz
# `make install PREFIX=...` is cmake --install; `make package` is
# `cpack --config vantorel-cpack.cmake` in this tree, which writes
# vantorel_<version>_amd64.deb here. Neither builds: the Makefile builds
# vtpack and the product first.

# Installing builds nothing (CPack would build every target of the tree
# first, tests included).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VANTOREL_PRODUCT_TREE "${CMAKE_BINARY_DIR}/../windows-x86" CACHE PATH
    "The windows-x86 build whose setup program and uninstaller are installed with vtpack")

# Debian keeps manual pages compressed, without a time stamp in the file.
set(manual ${CMAKE_CURRENT_BINARY_DIR}/vtpack.1.gz)
add_custom_command(OUTPUT ${manual}
  COMMAND sh -c "gzip -9 -n -c \"$0\" >\"$1\"" ${CMAKE_SOURCE_DIR}/docs/vtpack.1 ${manual}
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/vtpack.1 VERBATIM)
add_custom_target(vtpack_manual DEPENDS ${manual})
add_dependencies(vtpack vtpack_manual)

install(TARGETS vtpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(VANTOREL_PRODUCT64_TREE "${CMAKE_BINARY_DIR}/../windows-x64-product" CACHE PATH
    "The windows-x64-product build whose setup program and uninstaller are installed with vtpack")
install(FILES ${VANTOREL_PRODUCT_TREE}/dist/vtsetup.exe ${VANTOREL_PRODUCT_TREE}/dist/VTUnInst.exe
              ${VANTOREL_PRODUCT_TREE}/dist/VTUnInstUser.exe
              ${VANTOREL_PRODUCT64_TREE}/dist/vtsetup64.exe
              ${VANTOREL_PRODUCT64_TREE}/dist/VTUnInst64.exe
              ${VANTOREL_PRODUCT64_TREE}/dist/VTUnInstUser64.exe
        DESTINATION ${VANTOREL_PROGRAMS_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/docs/project-format.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantorel)
install(FILES ${manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vantorel maintainers <maintainers@vantorel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds self-extracting setup executables for Windows")
set(CPACK_PACKAGE_DESCRIPTION "vtpack packs an application's files, registry records and
file types, described in a small TOML project file, into one Setup.exe: a
small Win32 setup program with a wizard, and its uninstaller. The Windows
programs come with the package: building setup executables needs neither a
Windows compiler nor Wine.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vantorel.example/")
# The run-time libraries vtpack links, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Not CPackConfig.cmake: with that file CMake reserves the target name
# "package", which the package reader's library has.
set(CPACK_OUTPUT_CONFIG_FILE ${CMAKE_BINARY_DIR}/vantorel-cpack.cmake)
include(CPack)
