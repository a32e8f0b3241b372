# Cross-builds the core, dravik-cli.exe and the core's tests for 64-bit Windows
# with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The tests run under Wine (wine64), which CTest calls for every test binary.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAVIK_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour carries std::thread, which GoogleTest uses.
set(CMAKE_C_COMPILER ${DRAVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAVIK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DRAVIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine runs the test binaries; its 64-bit loader where the wrapper is missing.
find_program(DRAVIK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(DRAVIK_WINE NAMES wine64 wine)
if(DRAVIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DRAVIK_WINE})
endif()

# There is no GoogleTest built for Windows to find: build it from Debian's sources.
if(NOT DEFINED DRAVIK_GOOGLETEST_SOURCES AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(DRAVIK_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources")
endif()
