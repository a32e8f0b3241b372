# Cross-builds Dravik for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DCMAKE_PREFIX_PATH=QT-FOR-WINDOWS
# The window needs a Qt for Windows (scripts/build-qt-windows.sh makes one);
# without it, add -DDRAVIK_BUILD_APP=OFF for the core, dravik-cli.exe and the
# core's tests. The tests run under Wine (wine64), which CTest calls for every
# test binary.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DRAVIK_MINGW_PREFIX x86_64-w64-mingw32)
# The posix flavour carries std::thread, which GoogleTest uses.
set(CMAKE_C_COMPILER ${DRAVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DRAVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DRAVIK_MINGW_PREFIX}-windres)

# A Qt for Windows in CMAKE_PREFIX_PATH lies outside the MinGW folder: its
# packages are looked for there too, as Qt's own toolchain file does. Its
# moc, rcc and uic are the build machine's (qt6-base-dev-tools, the same
# version).
set(CMAKE_FIND_ROOT_PATH /usr/${DRAVIK_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH /usr)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
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
