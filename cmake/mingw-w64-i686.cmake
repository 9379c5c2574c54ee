# 32-bit Windows (i686) with MinGW-w64: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(VORLATEK_WIN_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/MinGW-w64.cmake)

# The engine computes in SSE2 doubles, as on x86-64: on the x87 unit the renders would
# differ and the flush-to-zero guard against denormals would do nothing. Windows keeps the
# stack 4-byte aligned, so functions realign it for SSE spills; and msvcrt's operator new
# gives 8-byte alignment, so anything aligned more strictly goes through aligned new.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign -faligned-new=8")
