# Cross-compiling for Windows with Debian's MinGW-w64 compilers. Included by the two
# toolchain files beside it, which set VORLATEK_WIN_ARCH (i686 or x86_64) first.
#
# The -posix compilers are named explicitly: the -win32 ones have no std::thread or
# std::mutex. Everything is linked statically (the C++ runtime, winpthreads and every
# library), so Vorlatek.dll and vorlatek-host.exe need nothing beside them.
#
# The libraries the build needs (libxml2, libsndfile, libebur128, GoogleTest) are built for
# Windows by tools/build-windows.sh into build-win-deps/<arch>/, or into the folder named by
# the environment variable VORLATEK_WIN_DEPS.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VORLATEK_WIN_ARCH})
set(triple ${VORLATEK_WIN_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_ASM_COMPILER ${triple}-gcc-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

if(DEFINED ENV{VORLATEK_WIN_DEPS})
  set(deps_root $ENV{VORLATEK_WIN_DEPS})
else()
  get_filename_component(deps_root ${CMAKE_CURRENT_LIST_DIR}/../build-win-deps ABSOLUTE)
endif()
set(VORLATEK_WIN_PREFIX ${deps_root}/${VORLATEK_WIN_ARCH})

set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${VORLATEK_WIN_PREFIX})
set(CMAKE_PREFIX_PATH ${VORLATEK_WIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config looks only at the Windows libraries, and gives what static linking needs.
set(ENV{PKG_CONFIG_LIBDIR} ${VORLATEK_WIN_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs built for Windows run under Wine on this machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
