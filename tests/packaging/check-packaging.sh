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
usr=$work/root/usr
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
must() { "${@:2}" >"$work/out" 2>&1 || { cat "$work/out" >&2; echo "FAIL: $1" >&2; exit 1; }; }

# The files both the installed tree and the package hold below /usr, and nothing else; stdin is the found list.
compare_files() {
    diff <({ printf '%s\n' bin/clockdeck bin/clockdeck-cli share/applications/$id.desktop \
        share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg share/man/man1/clockdeck.1.gz \
        share/man/man1/clockdeck-cli.1.gz share/doc/clockdeck/about.html share/doc/clockdeck/copyright \
        share/doc/clockdeck/changelog.gz share/bash-completion/completions/clockdeck-cli
        for size in 16 22 24 32 48 64 128 256; do echo "share/icons/hicolor/${size}x$size/apps/$id.png"; done
    } | sort) - \
        >"$work/diff" || { fail "$1 differs (< expected, > found):"; cat "$work/diff" >&2; }
}

DESTDIR=$work/root must "cmake --install" cmake --install "$build" --prefix /usr
compare_files "the installed tree" < <(cd "$usr" && find . -type f -o -type l | sed 's|^\./||' | sort)
desktop=$usr/share/applications/$id.desktop
metainfo=$usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" >"$work/out" 2>&1 || fail "desktop-file-validate: $(cat "$work/out")"
appstreamcli validate --no-net "$metainfo" >"$work/out" 2>&1 || fail "appstreamcli validate: $(cat "$work/out")"
[[ -x $usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop") ]] || fail "Exec= names no installed program"
[[ -f $usr/share/icons/hicolor/scalable/apps/$(sed -n 's/^Icon=//p' "$desktop").svg ]] || fail "Icon= is no icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launches no $id.desktop"
# The screenshot's URL names a file of the source tree, so it is published with the sources.
shot=$(sed -n 's|.*<image type="source"[^>]*>https://tarnwick.net/clockdeck/source/\(.*\)</image>.*|\1|p' "$metainfo")
[[ -n $shot && -f $(dirname "$0")/../../$shot ]] || fail "the metainfo's screenshot is no file of the sources: '$shot'"
grep -q '<control>keyboard</control>' "$metainfo" || fail "metainfo does not say the keyboard controls it"
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    "$usr/share/doc/clockdeck/copyright" || fail "the copyright file is not in Debian's machine-readable format"

must "cpack -G DEB" env -C "$work" cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake"
deb=$(echo "$work"/deb/clockdeck_*_"$(dpkg --print-architecture)".deb)
[[ -f $deb ]] || { echo "FAIL: expected one package, found: $(ls "$work/deb")" >&2; exit 1; }
compare_files "the package's file list" < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort)
# Depends, from dpkg-shlibdeps: the Qt libraries and the C and C++ runtimes, each one met on this Debian.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 'libstdc\+\+6' 'libqt6core6(t64)?' 'libqt6gui6(t64)?' 'libqt6widgets6(t64)?'; do
    grep -Eq "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
apt-get -s -o Debug::NoLocking=1 install "$deb" >"$work/out" 2>&1 || fail "Depends not met here: $(tail -5 "$work/out")"
[[ $(dpkg-deb -f "$deb" Suggests) == *qt6-wayland* ]] || fail "Suggests lacks qt6-wayland"
# Debian's package checker: no error; its warnings are printed, and the README's "Installing" says which are left.
command -v lintian >/dev/null || { echo "FAIL: lintian is not installed (tools/deps.sh installs it)" >&2; exit 1; }
lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 ||
    { cat "$work/lintian" >&2; fail "lintian reports errors"; }
grep '^W: ' "$work/lintian" >&2

((failures == 0)) || { echo "$failures packaging check(s) failed" >&2; exit 1; }
echo "packaging checks passed: $(basename "$deb")"
