# A static library for Windows that a script of scripts/ builds from Debian's source once per
# machine and whose prefix it prints:
#   linkvane_windows_library(CACHE_VARIABLE SCRIPT NAME FILE...)
# When CACHE_VARIABLE is empty, configuring runs scripts/SCRIPT, which returns at once when the
# library is built and otherwise builds it, and keeps the prefix in CACHE_VARIABLE; every FILE
# (relative to the prefix) must be there.
function(linkvane_windows_library cache_variable script name)
    set(doc "Prefix of the static ${name} for Windows (empty: run scripts/${script})")
    set(${cache_variable} "" CACHE PATH "${doc}")
    if(NOT ${cache_variable})
        get_filename_component(repo "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
        message(STATUS "Windows ${name}: scripts/${script}")
        execute_process(
            COMMAND ${repo}/scripts/${script}
            OUTPUT_VARIABLE prefix
            OUTPUT_STRIP_TRAILING_WHITESPACE
            RESULT_VARIABLE result)
        if(NOT result EQUAL 0 OR NOT IS_DIRECTORY "${prefix}")
            message(FATAL_ERROR "scripts/${script} failed (${result})")
        endif()
        set(${cache_variable} "${prefix}" CACHE PATH "${doc}" FORCE)
    endif()
    foreach(file IN LISTS ARGN)
        if(NOT EXISTS "${${cache_variable}}/${file}")
            message(FATAL_ERROR "No static ${name} in ${cache_variable}=${${cache_variable}}")
        endif()
    endforeach()
    message(STATUS "Windows ${name}: ${${cache_variable}}")
endfunction()
