# Runs the build's check of one value alone, for tests/config/build-values.sh:
#   cmake -DSOURCE_DIR=... -DVARIABLE=LINKVANE_LINK_SERVER -DLINKVANE_LINK_SERVER=VALUE -P check-value.cmake
include(${SOURCE_DIR}/cmake/ServerLists.cmake)
include(${SOURCE_DIR}/cmake/SigningKey.cmake)
cmake_minimum_required(VERSION 3.25)
if(VARIABLE STREQUAL "LINKVANE_SIGNING_KEY")
    linkvane_check_signing_key(${VARIABLE})
else()
    linkvane_check_server_list(${VARIABLE})
endif()
