# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads):
#   cmake -S . -B build-win -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# (scripts/windows does this and runs the tests under Wine.)
#
# The programs are linked statically (C++ runtime, winpthreads), so a single
# forstrix-cli.exe runs on any 64-bit Windows without DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FORSTRIX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FORSTRIX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FORSTRIX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FORSTRIX_MINGW_TRIPLET}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Libraries and headers come from the MinGW sysroot only, never from the
# build machine; programs (localedef, ...) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${FORSTRIX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The test programs run under Wine (CTest, gtest_discover_tests), quietly and
# in a Wine prefix of the build folder's own, never the user's ~/.wine.
# scripts/windows makes the prefix before the tests (wineboot -i).
find_program(FORSTRIX_WINE NAMES wine)
if(FORSTRIX_WINE)
  if(NOT DEFINED FORSTRIX_WINEPREFIX)
    set(FORSTRIX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${FORSTRIX_WINEPREFIX} WINEDEBUG=-all ${FORSTRIX_WINE})
endif()
