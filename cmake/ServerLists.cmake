# The two server values of the build (LINKVANE_CONTENT_SERVER, LINKVANE_LINK_SERVER) are lists of
# mirrors, tried in order by the program: entries separated by ';', each one of
#   host                 plain HTTP, as "http://host"
#   host:port            plain HTTP on that port
#   http://host[:port][/prefix]  or  https://host[:port][/prefix]
# where a host is a DNS name, an IPv4 address or an IPv6 address in brackets, and the prefix is a
# path that each file's path is appended to. No user name, query or fragment: the program appends
# "/ads/link.txt" and the like to the entry, and a baked-in password would ship to every user.
# A bad entry stops the configure step here rather than giving a program that can reach nothing.

set(_linkvane_label "[a-z0-9]([a-z0-9-]*[a-z0-9])?")
set(_linkvane_host "(${_linkvane_label}(\\.${_linkvane_label})*|\\[[0-9a-f:.]+\\])")
set(_linkvane_authority "${_linkvane_host}(:[0-9]+)?")
set(_linkvane_path "/[a-z0-9._~!$&'()*+,=:@%/-]*")
set(_linkvane_entry_examples
    "for example \"mirror.example\", \"mirror.example:8080\" or \"https://cdn.example/linkvane\"")

# Why `entry` is no server entry, in `out_reason`; empty when it is one.
function(linkvane_server_entry_problem entry out_reason)
    string(TOLOWER "${entry}" lower)
    set(reason "")
    if(lower STREQUAL "")
        set(reason "an empty entry (two ';' together, or one at an end)")
    elseif(lower MATCHES "^[a-z][a-z0-9+.-]*://" AND NOT lower MATCHES "^https?://")
        set(reason "only http:// and https:// addresses are allowed")
    elseif(lower MATCHES "[?#]")
        set(reason "no query or fragment: each file's path is appended to the entry")
    elseif(lower MATCHES "^(https?://)?[^/]*@")
        set(reason "no user name or password in the address")
    elseif(NOT lower MATCHES "^${_linkvane_authority}$"
           AND NOT lower MATCHES "^https?://${_linkvane_authority}(${_linkvane_path})?$")
        set(reason "not host, host:port or an http:// or https:// address with an optional path")
    else()
        string(REGEX REPLACE "%[0-9a-f][0-9a-f]" "" unescaped "${lower}")
        string(REGEX MATCH "^(https?://)?[^/]*:([0-9]+)(/|$)" has_port "${lower}")
        set(port "${CMAKE_MATCH_2}")
        if(unescaped MATCHES "%")
            set(reason "a '%' in the path must start an escape of two hex digits")
        elseif(has_port AND NOT lower MATCHES "^(https?://)?\\[[^]]*\\]$")
            string(LENGTH "${port}" digits)
            if(digits GREATER 5 OR port LESS 1 OR port GREATER 65535)
                set(reason "port ${port} is not between 1 and 65535")
            endif()
        endif()
    endif()
    set(${out_reason} "${reason}" PARENT_SCOPE)
endfunction()

# Stops the configure step when the list in the variable named `variable` holds a bad entry.
function(linkvane_check_server_list variable)
    set(list_value "${${variable}}")
    if(list_value STREQUAL "")
        message(FATAL_ERROR "${variable} is empty: name at least one server, "
                            "${_linkvane_entry_examples}.")
    endif()
    foreach(entry IN LISTS list_value)
        linkvane_server_entry_problem("${entry}" reason)
        if(reason)
            message(FATAL_ERROR "${variable}: bad server entry \"${entry}\": ${reason}. "
                "Each entry of the ';'-separated list is host, host:port or an http:// or "
                "https:// address with an optional path prefix, ${_linkvane_entry_examples}.")
        endif()
    endforeach()
endfunction()
