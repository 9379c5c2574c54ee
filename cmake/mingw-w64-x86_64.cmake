# 64-bit Windows (x86-64) with MinGW-w64: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(VORLATEK_WIN_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW-w64.cmake)
