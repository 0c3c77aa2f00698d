# The build's signing key (LINKVANE_SIGNING_KEY): empty, or the public key of the publisher of the
# downloaded files in the format of the `minisign` tool, the base64 line of its minisign.pub
# ("RW..."): 56 base64 characters of 42 bytes, the algorithm "Ed", an 8-byte key id and a 32-byte
# Ed25519 key. Base64 of 42 bytes has no padding, and its first two characters "RW" hold the
# algorithm's "Ed" (the third, 'Q'/'R'/'S'/'T', also holds two bits of the key id).
# A bad value stops the configure step here rather than giving a program that refuses every file.

# Why `value` is no minisign public key, in `out_reason`; empty when it is one.
function(linkvane_signing_key_problem value out_reason)
    string(LENGTH "${value}" length)
    set(reason "")
    if(value MATCHES "^untrusted comment:")
        set(reason "that is the comment line of minisign.pub; give its second line, the key itself")
    elseif(NOT length EQUAL 56)
        set(reason "it has ${length} characters, a minisign public key has 56")
    elseif(NOT value MATCHES "^[A-Za-z0-9+/]+$")
        set(reason "it is not base64 (only A-Z, a-z, 0-9, + and /)")
    elseif(NOT value MATCHES "^RW[QRST]")
        set(reason "it does not start with \"RW\": not an Ed25519 minisign key")
    endif()
    set(${out_reason} "${reason}" PARENT_SCOPE)
endfunction()

# Stops the configure step when the variable named `variable` is set but holds no minisign key.
function(linkvane_check_signing_key variable)
    set(value "${${variable}}")
    if(value STREQUAL "")
        return()
    endif()
    linkvane_signing_key_problem("${value}" reason)
    if(reason)
        message(FATAL_ERROR "${variable} is not a minisign public key: ${reason}. Give the "
            "second line of minisign.pub (made with `minisign -G`): 56 characters starting with "
            "\"RW\". Leave it empty to take downloaded files unsigned.")
    endif()
endfunction()
