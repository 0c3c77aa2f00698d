#!/bin/sh
# A stand-in for the desktop opener (xdg-open) in tests: it records its call and opens nothing,
# as one file in $LINKVANE_OPENER_RECORDS holding the name it was called by, its working directory
# and every argument, each followed by a NUL byte. Written under a temporary name and renamed, so
# a reader never sees half a call.
set -eu
partial=$(mktemp "${LINKVANE_OPENER_RECORDS:?}/.partial.XXXXXX")
printf '%s\0' "$(basename "$0")" "$(pwd -P)" "$@" >"$partial"
mv "$partial" "$LINKVANE_OPENER_RECORDS/call-$(date +%s%N)-$$"
