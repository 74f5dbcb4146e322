# windows-x86: the product build. The -posix compilers are used because GoogleTest
# needs std::mutex; everything is linked statically, so no MinGW DLL is imported.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
