# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compilers (the
# posix threads variant, which std::thread and std::mutex need).
#   cmake -S . -B build-windows \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
#     -DQUORBIX_WINDOWS_DEPS=build-windows/deps/prefix
# The dependency prefix is what scripts/build-windows-deps.sh makes; without
# QUORBIX_WINDOWS_DEPS it is looked for in <build folder>/deps/prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_AR ${MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Self-contained executables: libgcc, libstdc++ and winpthread linked in,
# so nothing but the system's DLLs has to lie beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Test programs run under Wine (CTest and try_run use this).
find_program(QUORBIX_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(QUORBIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUORBIX_WINE})
endif()

# Libraries and headers come from the MinGW sysroot and the dependency
# prefix only, never from the build machine; programs from the build machine.
if(NOT QUORBIX_WINDOWS_DEPS)
  set(QUORBIX_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps/prefix)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUORBIX_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE} ${QUORBIX_WINDOWS_DEPS})
set(CMAKE_PREFIX_PATH ${QUORBIX_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Debian's MinGW zlib comes as a DLL import library too; take the static one.
set(ZLIB_USE_STATIC_LIBS ON)
set(ZLIB_LIBRARY /usr/${MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "MinGW static zlib")
