# The static libcurl for Windows (Schannel, HTTP and HTTPS) as the imported target CURL::libcurl,
# for a build with cmake/toolchain-mingw64.cmake:
#   include(cmake/WindowsCurl.cmake)
#   target_link_libraries(app PRIVATE CURL::libcurl)
# LINKVANE_WINDOWS_CURL_PREFIX names the prefix scripts/build-curl-windows.sh made
# (build/windows-deps/curl-<version>); when it is empty, configuring runs that script, which
# returns at once when the library is built and otherwise builds it (about 1.5 min, once per machine).
if(TARGET CURL::libcurl)
    return()
endif()

set(LINKVANE_WINDOWS_CURL_PREFIX "" CACHE PATH
    "Prefix of the static libcurl for Windows (empty: run scripts/build-curl-windows.sh)")
if(NOT LINKVANE_WINDOWS_CURL_PREFIX)
    get_filename_component(_linkvane_repo "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
    message(STATUS "Windows libcurl: scripts/build-curl-windows.sh")
    execute_process(
        COMMAND ${_linkvane_repo}/scripts/build-curl-windows.sh
        OUTPUT_VARIABLE _linkvane_curl_prefix
        OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _linkvane_curl_result)
    if(NOT _linkvane_curl_result EQUAL 0 OR NOT IS_DIRECTORY "${_linkvane_curl_prefix}")
        message(FATAL_ERROR "scripts/build-curl-windows.sh failed (${_linkvane_curl_result})")
    endif()
    set(LINKVANE_WINDOWS_CURL_PREFIX "${_linkvane_curl_prefix}" CACHE PATH
        "Prefix of the static libcurl for Windows (empty: run scripts/build-curl-windows.sh)" FORCE)
endif()

set(_linkvane_curl_lib "${LINKVANE_WINDOWS_CURL_PREFIX}/lib/libcurl.a")
if(NOT EXISTS "${_linkvane_curl_lib}" OR NOT EXISTS "${LINKVANE_WINDOWS_CURL_PREFIX}/include/curl/curl.h")
    message(FATAL_ERROR "No static libcurl in LINKVANE_WINDOWS_CURL_PREFIX=${LINKVANE_WINDOWS_CURL_PREFIX}")
endif()
message(STATUS "Windows libcurl: ${LINKVANE_WINDOWS_CURL_PREFIX}")

add_library(CURL::libcurl STATIC IMPORTED)
set_target_properties(CURL::libcurl PROPERTIES
    IMPORTED_LOCATION "${_linkvane_curl_lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${LINKVANE_WINDOWS_CURL_PREFIX}/include"
    INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
    # What the static library needs, as its libcurl.pc says (Libs.private); secur32 (SSPI,
    # Schannel) is loaded at run time by curl itself, and IDN (normaliz) is not built in.
    INTERFACE_LINK_LIBRARIES "bcrypt;advapi32;crypt32;ws2_32")
