# Runs the build's server list check alone, for tests/config/server-lists.sh:
#   cmake -DSOURCE_DIR=... -DLINKVANE_LINK_SERVER=LIST -P check-server-list.cmake
include(${SOURCE_DIR}/cmake/ServerLists.cmake)
linkvane_check_server_list(LINKVANE_LINK_SERVER)
message(STATUS "server list accepted")
