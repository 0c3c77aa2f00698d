# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix thread model: std::thread and
# std::mutex work), for example:
#   cmake -S . -B build/windows --toolchain cmake/toolchain-mingw64.cmake
# - Executables link libgcc, libstdc++ and winpthread statically (-static): they import only DLLs
#   that ship with Windows (scripts/check-windows-imports.sh checks that).
# - find_* look only in the mingw root (/usr/x86_64-w64-mingw32), never at the host's libraries
#   or headers (Qt, /usr/include); pkg-config is the mingw one.
# - CTest runs the test executables under Wine through scripts/wine-run.sh, in a Wine prefix of
#   this build tree (LINKVANE_WINEPREFIX, default <build>/wine/prefix, made at the first test):
#   two build trees never share a wineserver. Bracket the Wine tests with scripts/wine-session.sh
#   (cmake/WindowsTesting.cmake has the CTest fixture).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LINKVANE_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${LINKVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LINKVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LINKVANE_MINGW_TRIPLE}-windres)
# CMake cannot derive the binutils' prefix from a compiler named *-posix.
set(CMAKE_AR /usr/bin/${LINKVANE_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${LINKVANE_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_NM /usr/bin/${LINKVANE_MINGW_TRIPLE}-gcc-nm-posix CACHE FILEPATH "")
set(CMAKE_OBJDUMP /usr/bin/${LINKVANE_MINGW_TRIPLE}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP /usr/bin/${LINKVANE_MINGW_TRIPLE}-strip CACHE FILEPATH "")
set(PKG_CONFIG_EXECUTABLE /usr/bin/${LINKVANE_MINGW_TRIPLE}-pkg-config CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${LINKVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No package registry or host prefix either (find_package(Qt6) must fail, not find Linux Qt).
set(CMAKE_FIND_USE_PACKAGE_REGISTRY OFF)
set(CMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY OFF)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(LINKVANE_WINEPREFIX "${CMAKE_BINARY_DIR}/wine/prefix" CACHE PATH "Wine prefix of the tests CTest runs")
get_filename_component(_linkvane_scripts "${CMAKE_CURRENT_LIST_DIR}/../scripts" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env "LINKVANE_WINEPREFIX=${LINKVANE_WINEPREFIX}" ${_linkvane_scripts}/wine-run.sh)
