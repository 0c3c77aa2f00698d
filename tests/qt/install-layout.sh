#!/usr/bin/env bash
# Installs a build tree into a scratch directory, as the package build does, and checks what
# lintian does not (scripts/lint-package.sh checks Exec and the icons' sizes): exactly the expected
# files, a valid menu entry naming the installed icon, the Persian name, and the licence.
#   tests/qt/install-layout.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail

readonly cmake=$1 build_dir=$2 source_dir=$3
readonly icon_sizes=(16 24 32 48 64 128 256)
# لینکوین in UTF-8, letter for letter: a Farsi yeh and keheh, not the Arabic ones that look alike.
readonly persian_name=$'\xd9\x84\xdb\x8c\xd9\x86\xda\xa9\xd9\x88\xdb\x8c\xd9\x86'

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The value of KEY in the desktop entry (the first line "KEY=...").
entry_value() { sed -n "s/^$1=//p" "$desktop_entry" | head -n 1; }

DESTDIR=$stage "$cmake" --install "$build_dir" --prefix /usr >/dev/null

# Exactly these files: a test, the demo server or the static library slipping into the install
# would ship in the package.
expected=(usr/bin/linkvane usr/share/applications/linkvane.desktop usr/share/doc/linkvane/copyright
          usr/share/doc/linkvane/changelog.gz usr/share/man/man1/linkvane.1.gz
          usr/share/metainfo/example.linkvane.Linkvane.metainfo.xml)
for size in "${icon_sizes[@]}"; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/linkvane.png"); done
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$stage" && find . ! -type d -printf '%P\n' | sort) >&2; then
    fail "the installed files are not the expected ones (< expected, > installed)"
fi

[ -x "$stage/usr/bin/linkvane" ] || fail "usr/bin/linkvane is not executable"

readonly desktop_entry=$stage/usr/share/applications/linkvane.desktop
validation=$(desktop-file-validate "$desktop_entry" 2>&1) || fail "desktop-file-validate rejects the entry: $validation"
[ -z "$validation" ] || fail "desktop-file-validate: $validation"
[ -f "$stage/usr/share/icons/hicolor/48x48/apps/$(entry_value Icon).png" ] ||
    fail "Icon=$(entry_value Icon) names no installed icon"
[ "$(entry_value 'Name\[fa\]')" = "$persian_name" ] || fail "Name[fa] is not $persian_name letter for letter"

cmp -s "$source_dir/LICENSE" "$stage/usr/share/doc/linkvane/copyright" || fail "copyright is not LICENSE"
echo "install layout: ${#expected[@]} files as expected"
