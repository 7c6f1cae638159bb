#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Installs the build into a scratch folder and builds the Debian package, then checks the installed tree, the
# desktop entry and AppStream metadata under their validators, and the package's files and dependencies.
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
run_or_exit() { # run_or_exit DESCRIPTION COMMAND...: a step the later checks need
    "${@:2}" >"$work/out" 2>&1 || { cat "$work/out" >&2; echo "FAIL: $1" >&2; exit 1; }
}

# The files both the installed tree and the package must hold, below /usr, and nothing else.
expected_files() {
    printf '%s\n' bin/clockdeck bin/clockdeck-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
        share/icons/hicolor/scalable/apps/$id.svg share/man/man1/clockdeck.1.gz share/man/man1/clockdeck-cli.1.gz \
        share/doc/clockdeck/about.html share/bash-completion/completions/clockdeck-cli
    for size in 32 48 64 128 256; do
        echo share/icons/hicolor/${size}x${size}/apps/$id.png
    done
}
compare_files() { # compare_files WHAT < LIST: a sorted file list against expected_files (not in a pipe: it counts)
    diff <(expected_files | sort) - >"$work/diff" || { fail "$1 differs (< expected, > found):"; cat "$work/diff" >&2; }
}

# --- Installed tree
usr=$work/root/usr
DESTDIR=$work/root run_or_exit "cmake --install" cmake --install "$build" --prefix /usr
compare_files "the installed tree" < <(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
for program in clockdeck clockdeck-cli; do
    [[ -x $usr/bin/$program ]] || fail "/usr/bin/$program is not executable"
done

# --- Desktop entry and AppStream metadata
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" >"$work/out" 2>&1 || fail "desktop-file-validate: $(cat "$work/out")"
appstreamcli validate --no-net "$metainfo" >"$work/out" 2>&1 || fail "appstreamcli validate: $(cat "$work/out")"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[[ -x $usr/bin/$exec_name ]] || fail "Exec=$exec_name is not an installed program"
icon_name=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $usr/share/icons/hicolor/scalable/apps/$icon_name.svg ]] || fail "Icon=$icon_name is not in the hicolor theme"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $id.desktop"

# --- Debian package
run_or_exit "cpack -G DEB" env -C "$work" cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake"
debs=("$work"/deb/clockdeck_*_"$(dpkg --print-architecture)".deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "FAIL: expected one package, found: $(ls "$work/deb")" >&2; exit 1; }
deb=${debs[0]}
[[ $(dpkg-deb -f "$deb" Package) == clockdeck ]] || fail "Package: $(dpkg-deb -f "$deb" Package)"
compare_files "the package's file list" < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)

# Depends, from dpkg-shlibdeps: the Qt libraries the window links and the C and C++ runtimes, each met here.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 'libstdc\+\+6' 'libqt6core6(t64)?' 'libqt6gui6(t64)?' 'libqt6widgets6(t64)?'; do
    grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
    satisfied=0
    IFS='|' read -ra alternatives <<<"$clause"
    for alternative in "${alternatives[@]}"; do
        read -r name op version <<<"$(sed -E 's/^ *([^ (]+) *(\((..?) *([^)]*)\))?.*/\1 \3 \4/' <<<"$alternative")"
        installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || continue
        [[ -z $op ]] || dpkg --compare-versions "$installed" "$op" "$version" && satisfied=1
    done
    ((satisfied)) || fail "dependency not met on this Debian: $clause"
done

((failures == 0)) || { echo "$failures packaging check(s) failed" >&2; exit 1; }
echo "packaging checks passed: $(basename "$deb")"
