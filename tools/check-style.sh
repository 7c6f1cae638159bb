#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Checks the C++ sources against the one brace rule (.clang-tidy: every if, else, for and while body is a braced
# block) and the format (.clang-format). With --fix, adds the missing braces and formats the files instead.
# Usage: tools/check-style.sh [--fix] [BUILD-FOLDER]   (default build/dev; it needs compile_commands.json)
# Exit status: 0 when everything conforms (or was fixed), 1 when something does not.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
fix=false
if [[ ${1-} == --fix ]]; then
    fix=true
    shift
fi
build=${1:-$root/build/dev}
if [[ ! -f $build/compile_commands.json ]]; then
    echo "check-style: no $build/compile_commands.json (configure first: cmake --preset dev)" >&2
    exit 1
fi
cd "$root"
checks='-*,readability-braces-around-statements'
headers="^$root/(base|calc|probe|load|report|cli|shell|tests|tools)/.*\\.h$"
status=0

while IFS= read -r file; do
    # The fuzz targets are built only with clang and have no entry in the dev build's compile commands.
    extra=()
    if ! grep -q "\"file\": \"[^\"]*/$file\"" "$build/compile_commands.json"; then
        extra=(-- -std=c++20 -I. -Itests)
    fi
    if $fix; then
        clang-tidy -p "$build" --quiet -checks="$checks" --header-filter="$headers" --fix "$file" "${extra[@]}" \
            >/dev/null 2>&1 || true
    else
        found=$(clang-tidy -p "$build" --quiet -checks="$checks" --header-filter="$headers" "$file" "${extra[@]}" \
            2>/dev/null || true)
        if [[ $found == *readability-braces-around-statements* ]]; then
            echo "check-style: $file: a body without braces" >&2
            status=1
        fi
    fi
done < <(git ls-files '*.cpp')

while IFS= read -r file; do
    if $fix; then
        clang-format -i "$file"
    elif ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "check-style: $file: not formatted as .clang-format says" >&2
        status=1
    fi
done < <(git ls-files '*.cpp' '*.h')
exit $status
