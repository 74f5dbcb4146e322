# windows-x64: the same sources as the product, built so that Wine on this
# 64-bit-only machine can run them under test; with VANTOREL_X64_PRODUCT
# (windows-x64-product), the 64-bit product.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
