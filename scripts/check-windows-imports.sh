#!/usr/bin/env bash
# Fails unless every DLL a Windows executable imports ships with Windows itself: no mingw runtime
# (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll), no libcurl, no Qt, no UCRT forwarders
# (api-ms-win-crt-*: Debian's mingw-w64 targets msvcrt.dll, present on every Windows).
#   scripts/check-windows-imports.sh EXE_OR_DLL...
# Prints each file's imports; the status is 1 when any file imports something else.
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 EXE_OR_DLL..." >&2; exit 2; }
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "check-windows-imports: no $objdump (scripts/install-deps.sh windows)" >&2; exit 2; }

# Windows system DLLs (lower case): what the static C++ runtime and libcurl (Schannel, Win32
# threads) import, and what the Win32 front end may use (windows, common controls, OLE pictures,
# the shell, themes, Active Accessibility).
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll
    comctl32.dll comdlg32.dll uxtheme.dll winmm.dll version.dll msvcrt.dll ws2_32.dll crypt32.dll
    secur32.dll bcrypt.dll iphlpapi.dll normaliz.dll oleacc.dll "
allowed=$(tr -s ' \n' '  ' <<<"$allowed")

status=0
for file in "$@"; do
    dlls=$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p') ||
        { echo "check-windows-imports: $file: not a PE file" >&2; status=1; continue; }
    bad=()
    while read -r dll; do
        [ -n "$dll" ] || continue
        case $allowed in *" ${dll,,} "*) ;; *) bad+=("$dll") ;; esac
    done <<<"$dlls"
    echo "$(basename "$file") imports: $(xargs <<<"$dlls")"
    if [ ${#bad[@]} -gt 0 ]; then
        echo "check-windows-imports: FAIL: $file imports DLLs that do not ship with Windows: ${bad[*]}" >&2
        status=1
    fi
done
exit $status
