# The static libsodium for Windows as the imported target linkvane::sodium, for a build with
# cmake/toolchain-mingw64.cmake:
#   include(cmake/WindowsSodium.cmake)
# LINKVANE_WINDOWS_SODIUM_PREFIX names the prefix scripts/build-sodium-windows.sh made
# (build/windows-deps/libsodium-<version>); when it is empty, configuring runs that script, which
# returns at once when the library is built and otherwise builds it (about 2 min, once per machine).
if(TARGET linkvane::sodium)
    return()
endif()

set(LINKVANE_WINDOWS_SODIUM_PREFIX "" CACHE PATH
    "Prefix of the static libsodium for Windows (empty: run scripts/build-sodium-windows.sh)")
if(NOT LINKVANE_WINDOWS_SODIUM_PREFIX)
    get_filename_component(_linkvane_repo "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
    message(STATUS "Windows libsodium: scripts/build-sodium-windows.sh")
    execute_process(
        COMMAND ${_linkvane_repo}/scripts/build-sodium-windows.sh
        OUTPUT_VARIABLE _linkvane_sodium_prefix
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _linkvane_sodium_result)
    if(NOT _linkvane_sodium_result EQUAL 0 OR NOT IS_DIRECTORY "${_linkvane_sodium_prefix}")
        message(FATAL_ERROR "scripts/build-sodium-windows.sh failed (${_linkvane_sodium_result})")
    endif()
    set(LINKVANE_WINDOWS_SODIUM_PREFIX "${_linkvane_sodium_prefix}" CACHE PATH
        "Prefix of the static libsodium for Windows (empty: run scripts/build-sodium-windows.sh)" FORCE)
endif()

set(_linkvane_sodium_lib "${LINKVANE_WINDOWS_SODIUM_PREFIX}/lib/libsodium.a")
if(NOT EXISTS "${_linkvane_sodium_lib}" OR NOT EXISTS "${LINKVANE_WINDOWS_SODIUM_PREFIX}/include/sodium.h")
    message(FATAL_ERROR "No static libsodium in LINKVANE_WINDOWS_SODIUM_PREFIX=${LINKVANE_WINDOWS_SODIUM_PREFIX}")
endif()
message(STATUS "Windows libsodium: ${LINKVANE_WINDOWS_SODIUM_PREFIX}")

add_library(linkvane::sodium STATIC IMPORTED)
set_target_properties(linkvane::sodium PROPERTIES
    IMPORTED_LOCATION "${_linkvane_sodium_lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${LINKVANE_WINDOWS_SODIUM_PREFIX}/include"
    # Without it the headers declare every function as imported from libsodium.dll.
    INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC
    # Its random numbers come from advapi32 (RtlGenRandom), a system DLL.
    INTERFACE_LINK_LIBRARIES "advapi32")
