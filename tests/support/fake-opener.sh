#!/bin/sh
# A stand-in for the desktop opener (xdg-open) in tests: it records its call and opens nothing.
# Each call becomes one file in $LINKVANE_OPENER_RECORDS holding the name it was called by, its
# working directory and every argument, each followed by a NUL byte. The file is written under a
# temporary name and then renamed, so a reader never sees half a call.
set -eu
records=${LINKVANE_OPENER_RECORDS:?}
partial=$(mktemp "$records/.partial.XXXXXX")
{
    printf '%s\0' "$(basename "$0")"
    printf '%s\0' "$(pwd -P)"
    for argument in "$@"; do
        printf '%s\0' "$argument"
    done
} >"$partial"
mv "$partial" "$records/call-$(date +%s%N)-$$"
