#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Installs the build into a scratch folder and builds the Debian package, then checks both as a packager would:
# the installed tree, the desktop entry and AppStream metadata under their validators, the manual page against
# the programs' own options, and the package's control fields, dependencies and file list.
# Usage: check-packaging.sh BUILD_DIR
set -uo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
id=net.tarnwick.Clockdeck
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if ! "$@" >"$work/out" 2>&1; then
        fail "$what"
        sed 's/^/    /' "$work/out" >&2
    fi
}

# The files both the installed tree and the package must hold, below the prefix.
expected_files() {
    echo bin/clockdeck
    echo bin/clockdeck-cli
    echo share/applications/$id.desktop
    echo share/metainfo/$id.metainfo.xml
    echo share/icons/hicolor/scalable/apps/$id.svg
    for size in 32 48 64 128 256; do
        echo share/icons/hicolor/${size}x${size}/apps/$id.png
    done
    echo share/man/man1/clockdeck.1.gz
    echo share/man/man1/clockdeck-cli.1.gz
    echo share/doc/clockdeck/about.html
}

# --- Installed tree
root=$work/root
if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
usr=$root/usr
while read -r f; do
    [[ -f $usr/$f ]] || fail "not installed: /usr/$f"
done < <(expected_files)
for program in clockdeck clockdeck-cli; do
    [[ -x $usr/bin/$program ]] || fail "/usr/bin/$program is not executable"
done
unexpected=$(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort | comm -23 - <(expected_files | sort))
[[ -z $unexpected ]] || fail "installed files nobody asked for: $unexpected"

# Each PNG is as large as the folder it sits in says.
for size in 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    [[ -f $png ]] || continue
    file -b "$png" | grep -q "PNG image data, $size x $size," || fail "$png is not a $size x $size PNG: $(file -b "$png")"
done

# --- Desktop entry and AppStream metadata
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
check "desktop-file-validate" desktop-file-validate "$desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $usr/bin/$exec_name ]] || fail "Exec=$exec_name is not an installed program"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $usr/share/icons/hicolor/scalable/apps/$icon_name.svg ]] || fail "Icon=$icon_name is not in the hicolor theme"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"

# --- Manual page: renders without warnings and names every option the programs' --help texts list
man_page=$usr/share/man/man1/clockdeck.1.gz
if [[ -f $man_page ]]; then
    gzip -dc "$man_page" >"$work/clockdeck.1"
    if command -v groff >/dev/null; then
        groff -man -Tutf8 -ww -z "$work/clockdeck.1" >"$work/groff.log" 2>&1
        [[ ! -s $work/groff.log ]] || fail "the manual page has groff warnings: $(cat "$work/groff.log")"
    fi
    [[ $(gzip -dc "$usr/share/man/man1/clockdeck-cli.1.gz") == ".so man1/clockdeck.1" ]] ||
        fail "clockdeck-cli.1 does not point to clockdeck.1"
    options=$(for program in clockdeck clockdeck-cli; do
        env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --help | grep -o -- '--[a-z][a-z-]*'
    done | sort -u)
    [[ $(wc -w <<<"$options") -ge 5 ]] || fail "the programs' --help texts list too few options: $options"
    for option in $options; do
        grep -q -- "${option//-/\\\\-}" "$work/clockdeck.1" || fail "the manual page does not describe $option"
    done
fi

# --- Debian package
if ! (cd "$work" && cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack -G DEB" >&2
    exit 1
fi
debs=("$work"/deb/clockdeck_*.deb)
if [[ ${#debs[@]} -ne 1 || ! -f ${debs[0]} ]]; then
    echo "FAIL: expected one clockdeck_*.deb, found: $(ls "$work/deb")" >&2
    exit 1
fi
deb=${debs[0]}
[[ $(basename "$deb") == clockdeck_*_$(dpkg --print-architecture).deb ]] || fail "odd package file name $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == clockdeck ]] || fail "Package: $(field Package)"
[[ $(field Section) == utils ]] || fail "Section: $(field Section)"
[[ $(field Maintainer) == *@* ]] || fail "Maintainer has no address: $(field Maintainer)"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture: $(field Architecture)"
long_lines=$(field Description | awk 'length > 80')
[[ -z $long_lines ]] || fail "Description lines longer than 80 columns: $long_lines"
[[ $(field Description | wc -l) -ge 3 ]] || fail "Description has no long text: $(field Description)"

# Depends comes from dpkg-shlibdeps: the Qt libraries the window links, the C and C++ runtimes, each
# satisfied by what this Debian has installed.
depends=$(field Depends)
for lib in libc6 'libstdc\+\+6' 'libqt6core6(t64)?' 'libqt6gui6(t64)?' 'libqt6widgets6(t64)?'; do
    grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
    clause=${clause# }
    satisfied=0
    IFS='|' read -ra alternatives <<<"$clause"
    for alternative in "${alternatives[@]}"; do
        read -r name op version <<<"$(sed -E 's/^ *([^ (]+) *(\((..?) *([^)]*)\))?.*/\1 \3 \4/' <<<"$alternative")"
        installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || continue
        if [[ -z $op ]] || dpkg --compare-versions "$installed" "$op" "$version"; then
            satisfied=1
        fi
    done
    ((satisfied)) || fail "dependency not met on this Debian: $clause"
done

# The package holds exactly the installed tree, below /usr.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$work/deb-files"
if ! diff <(expected_files | sort) "$work/deb-files" >"$work/deb-diff"; then
    fail "package files differ from the expected tree (< expected, > in the package):"
    cat "$work/deb-diff" >&2
fi
# Stripped programs still run.
dpkg-deb -x "$deb" "$work/unpacked"
"$work/unpacked/usr/bin/clockdeck-cli" --version | grep -q '^clockdeck-cli ' || fail "the packaged clockdeck-cli does not run"

if ((failures > 0)); then
    echo "$failures packaging check(s) failed" >&2
    exit 1
fi
echo "packaging checks passed: $(basename "$deb")"
