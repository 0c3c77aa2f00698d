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

include(${CMAKE_CURRENT_LIST_DIR}/WindowsLibrary.cmake)
linkvane_windows_library(LINKVANE_WINDOWS_CURL_PREFIX build-curl-windows.sh libcurl lib/libcurl.a include/curl/curl.h)

add_library(CURL::libcurl STATIC IMPORTED)
set_target_properties(CURL::libcurl PROPERTIES
    IMPORTED_LOCATION "${LINKVANE_WINDOWS_CURL_PREFIX}/lib/libcurl.a"
    INTERFACE_INCLUDE_DIRECTORIES "${LINKVANE_WINDOWS_CURL_PREFIX}/include"
    INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
    # What the static library needs, as its libcurl.pc says (Libs.private); secur32 (SSPI,
    # Schannel) is loaded at run time by curl itself, and IDN (normaliz) is not built in.
    INTERFACE_LINK_LIBRARIES "bcrypt;advapi32;crypt32;ws2_32")
