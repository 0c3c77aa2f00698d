# The static libsodium for Windows as the imported target linkvane::sodium, for a build with
# cmake/toolchain-mingw64.cmake:
#   include(cmake/WindowsSodium.cmake)
# LINKVANE_WINDOWS_SODIUM_PREFIX names the prefix scripts/build-sodium-windows.sh made
# (build/windows-deps/libsodium-<version>); when it is empty, configuring runs that script, which
# returns at once when the library is built and otherwise builds it (about 2 min, once per machine).
if(TARGET linkvane::sodium)
    return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/WindowsLibrary.cmake)
linkvane_windows_library(LINKVANE_WINDOWS_SODIUM_PREFIX build-sodium-windows.sh libsodium lib/libsodium.a include/sodium.h)

add_library(linkvane::sodium STATIC IMPORTED)
set_target_properties(linkvane::sodium PROPERTIES
    IMPORTED_LOCATION "${LINKVANE_WINDOWS_SODIUM_PREFIX}/lib/libsodium.a"
    INTERFACE_INCLUDE_DIRECTORIES "${LINKVANE_WINDOWS_SODIUM_PREFIX}/include"
    # Without it the headers declare every function as imported from libsodium.dll.
    INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC
    # Its random numbers come from advapi32 (RtlGenRandom), a system DLL.
    INTERFACE_LINK_LIBRARIES "advapi32")
