# Cross-compiling for 64-bit Windows with Debian's mingw-w64, posix threads
# variant (the win32 variant has no std::thread, which the list mode uses):
#   cmake -S . -B build-windows -G Ninja \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DHATTSHEET_BUILD_UI=OFF
# (or `make windows`; `make windows-gui` adds the window, with
# -DHATTSHEET_BUILD_UI=ON -DCMAKE_PREFIX_PATH=<the Windows Qt>). The
# programs link libgcc, libstdc++ and winpthread statically, so a .exe needs
# only the DLLs every Windows has.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HATTSHEET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HATTSHEET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HATTSHEET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${HATTSHEET_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HATTSHEET_MINGW_PREFIX})
# A Qt built for this target (scripts/build-qt-windows, `make windows-gui`)
# is named in CMAKE_PREFIX_PATH; packages are looked for below the roots
# only, so each such prefix is a root as well.
list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes winpthread's archive as well as libgcc's and libstdc++'s.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests built here run under wine from the Linux build's CTest.
find_program(HATTSHEET_WINE NAMES wine64 wine)
if(HATTSHEET_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HATTSHEET_WINE})
endif()
