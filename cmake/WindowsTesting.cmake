# Testing the Windows build under Wine (with cmake/toolchain-mingw64.cmake): the CTest fixture
# "wine": the tests wine_session_start and wine_session_stop run scripts/wine-session.sh start / stop
# around every test marked with linkvane_wine_test(NAME...), so that Wine's server and services are
# started once, not once per test, and hold no test's output open (CTest would wait for them).
include_guard(GLOBAL)
get_filename_component(_linkvane_repo "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

# The prefix of the emulator (cmake/toolchain-mingw64.cmake sets it for the build tree).
set(_linkvane_wine_env)
if(LINKVANE_WINEPREFIX)
    set(_linkvane_wine_env /usr/bin/env "LINKVANE_WINEPREFIX=${LINKVANE_WINEPREFIX}")
endif()
add_test(NAME wine_session_start COMMAND ${_linkvane_wine_env} ${_linkvane_repo}/scripts/wine-session.sh start)
add_test(NAME wine_session_stop COMMAND ${_linkvane_wine_env} ${_linkvane_repo}/scripts/wine-session.sh stop)
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

# Marks tests that run under Wine: they need the session, and get a time-out and a known locale.
function(linkvane_wine_test)
    set_tests_properties(${ARGN} PROPERTIES
        FIXTURES_REQUIRED wine
        ENVIRONMENT "LC_ALL=C.UTF-8"
        TIMEOUT 300)
endfunction()
