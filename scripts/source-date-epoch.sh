# Sourced by the packaging scripts: exports SOURCE_DATE_EPOCH, the one date written into the
# Debian package and the Windows installer, as the last commit's time unless it is set already.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$(dirname "${BASH_SOURCE[0]}")" log -1 --format=%ct 2>/dev/null) || {
        echo "SOURCE_DATE_EPOCH is not set and there is no git history to take it from" >&2
        exit 2
    }
fi
[[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] || { echo "SOURCE_DATE_EPOCH is not a number: $SOURCE_DATE_EPOCH" >&2; exit 2; }
export SOURCE_DATE_EPOCH
