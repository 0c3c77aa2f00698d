# Sourced by the scripts that build Windows libraries from Debian's own sources: fetches one Debian
# source package through a private source list and unpacks it with Debian's patches applied. Not a
# program. The caller defines log() and die().
#   linkvane_debian_source PACKAGE WORK
# sets source_version (the Debian version) and source_dir (WORK/src/PACKAGE, unpacked). The private
# list holds deb-src lines made from the machine's own apt sources of its release; lists and caches
# live under WORK, so the system's apt configuration and state are left as they are.

# deb-src lines for the sources of this release (its suite, -updates, -security, ...) from the
# machine's own apt configuration, in either format (one-line .list, deb822 .sources).
linkvane_deb_src_lines() {
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || die "no VERSION_CODENAME in /etc/os-release"
    {
        [ ! -f /etc/apt/sources.list ] || cat /etc/apt/sources.list
        for f in /etc/apt/sources.list.d/*.list; do [ ! -f "$f" ] || cat "$f"; done
    } | awk -v codename="$codename" '
        { sub(/#.*/, "") }
        $1 == "deb" {
            opts = ""; i = 2
            if ($2 ~ /^\[/) { opts = $2; i = 3; while (opts !~ /\]$/ && i <= NF) { opts = opts " " $i; i++ } }
            uri = $i; suite = $(i + 1); comps = ""
            for (j = i + 2; j <= NF; j++) comps = comps " " $j
            if (suite ~ "^" codename "(-[a-z]+)?/?$") print "deb-src", opts, uri, suite comps
        }'
    for f in /etc/apt/sources.list.d/*.sources; do [ ! -f "$f" ] || { cat "$f"; echo; }; done | awk -v codename="$codename" '
        function flush(   n, i, j, us, ss, opt) {
            if (types ~ /(^| )deb( |$)/ && enabled != "no") {
                opt = signed != "" ? "[signed-by=" signed "] " : ""
                n = split(uris, us, " "); split(suites, ss, " ")
                for (i = 1; i <= n; i++) for (j in ss)
                    if (ss[j] ~ "^" codename "(-[a-z]+)?$") print "deb-src " opt us[i], ss[j], comps
            }
            types = uris = suites = comps = signed = enabled = ""
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { next }
        {
            key = tolower($1); sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
            if (key == "types") types = val; else if (key == "uris") uris = val
            else if (key == "suites") suites = val; else if (key == "components") comps = val
            else if (key == "signed-by") signed = val; else if (key == "enabled") enabled = tolower(val)
        }
        END { flush() }'
}

linkvane_debian_source() {
    local package=$1 work=$2
    rm -rf "$work"
    mkdir -p "$work/apt/lists/partial" "$work/apt/cache" "$work/src"
    linkvane_deb_src_lines | sort -u >"$work/apt/sources.list"
    [ -s "$work/apt/sources.list" ] || die "no apt source for this release found in /etc/apt"
    log "private deb-src list: $(awk '{ print $(NF-1) }' "$work/apt/sources.list" | xargs)"
    local apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=-
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")
    apt-get "${apt_private[@]}" -q update >"$work/apt-update.log" 2>&1 ||
        { cat "$work/apt-update.log" >&2; die "apt-get update of the private source list failed"; }

    # The candidate source: the .dsc apt would fetch names the Debian version.
    local dsc
    dsc=$(apt-get "${apt_private[@]}" source --print-uris --only-source "$package" 2>/dev/null |
        awk -v name="${package}_" 'index($2, name) == 1 && $2 ~ /\.dsc$/ { print $2; exit }')
    [ -n "$dsc" ] || die "apt-get source finds no $package source"
    source_version=${dsc#"${package}_"}
    source_version=${source_version%.dsc}

    # Download as the calling user: apt's _apt sandbox could not write into the work tree.
    (cd "$work/src" && apt-get "${apt_private[@]}" -o APT::Sandbox::User="$(id -un)" -q source \
        --download-only --only-source "$package=$source_version" >"$work/apt-source.log" 2>&1) ||
        { cat "$work/apt-source.log" >&2; die "apt-get source $package failed"; }
    source_dir=$work/src/$package
    dpkg-source -x "$work/src/$dsc" "$source_dir" >"$work/dpkg-source.log" 2>&1 ||
        { cat "$work/dpkg-source.log" >&2; die "dpkg-source -x failed"; }
}

# The prefix build/windows-deps/PACKAGE-<version> that this script version built, holding FILE
# (a path in the prefix), if any (the newest Debian version first). The caller sets deps,
# stamp_name and stamp_text.
linkvane_built_prefix() {
    local dir
    for dir in $(ls -d "$deps/$1"-*/ 2>/dev/null | sort -rV); do
        dir=${dir%/}
        if [ -f "$dir/$stamp_name" ] && [ "$(cat "$dir/$stamp_name")" = "$stamp_text" ] &&
            [ -f "$dir/$2" ]; then
            echo "$dir"
            return 0
        fi
    done
    return 1
}

# How every Windows build from Debian's source starts: when this script version built PACKAGE
# already, prints its prefix (or the folder SHOWN in it) and ends the script; otherwise takes the
# package's lock (two configures of the Windows build may start the same build together),
# installs what the build needs, fetches the source and sets work, src, version and prefix.
#   linkvane_windows_library_start PACKAGE FILE [SHOWN]
linkvane_windows_library_start() {
    local found
    if found=$(linkvane_built_prefix "$1" "$2"); then echo "$found${3:+/$3}"; exit 0; fi
    mkdir -p "$deps"
    exec 9>"$deps/.lock-$1"
    flock 9
    if found=$(linkvane_built_prefix "$1" "$2"); then echo "$found${3:+/$3}"; exit 0; fi
    SECONDS=0
    scripts/install-deps.sh windows >&2
    work=$deps/work-$1
    linkvane_debian_source "$1" "$work"
    version=$source_version src=$source_dir prefix=$deps/$1-$source_version
    log "$1 $version from Debian -> $prefix"
}
