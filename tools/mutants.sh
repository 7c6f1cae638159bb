#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Checks that the test suite catches faults: puts each one-line fault of a list into a scratch copy of the tree,
# rebuilds incrementally, runs the tests, puts the line back, and prints how many faults the tests caught
# (killed/total) and the ones they let through (survivors).
#
# The list (tools/mutants.list) holds one fault per line, four fields separated by TABs:
#   FILE  ORIGINAL  REPLACEMENT  WHAT
# FILE is relative to the tree's root; ORIGINAL must occur exactly once in it and is replaced by REPLACEMENT
# (an empty REPLACEMENT deletes it); WHAT says which class of fault it stands for. Empty lines and lines starting
# with "#" are skipped. A fault whose ORIGINAL is no longer found (or found twice) is "stale": it is reported and
# not counted. A fault that does not build is reported apart and not counted either.
#
# The scratch copy and its build folder are kept between runs, so a second run only rebuilds what changed.
set -euo pipefail

usage() {
    cat <<'EOF'
Usage: tools/mutants.sh [OPTION]...
  -l, --list FILE        the fault list (default: tools/mutants.list)
  -o, --only REGEX       only faults whose FILE matches this extended regular expression, e.g. '^(calc|probe)/'
  -R, --tests REGEX      run only the tests whose ctest name matches (ctest -R)
  -a, --all              also run the slow end-to-end and packaging tests (left out by default)
  -t, --targets "T ..."  build only these targets (default: everything); pair it with --tests
  -c, --configure "ARGS" extra arguments for the scratch build's first configure, e.g. "-DCLOCKDECK_GUI=OFF"
  -s, --scratch DIR      the scratch copy (default: ${TMPDIR:-/tmp}/clockdeck-mutants-$UID)
  -j, --jobs N           build jobs (default: 2)
  -i, --isolate          run the tests in a network namespace of their own (unshare -n, as root), so that the
                         single-instance channel of another Clockdeck cannot meet them
  -h, --help             this text
Exit status: 0 when every counted fault was killed, 1 when some survived, 2 on a usage or set-up error.
EOF
}

root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/tools/mutants.list
only=''
tests=''
exclude='^(e2e_.*|packaging)$'
targets=()
configure=()
scratch=${TMPDIR:-/tmp}/clockdeck-mutants-$UID
jobs=2
wrap=()
while (($#)); do
    case $1 in
    -l | --list) list=$2; shift ;;
    -o | --only) only=$2; shift ;;
    -R | --tests) tests=$2; shift ;;
    -a | --all) exclude='' ;;
    -t | --targets) read -ra targets <<<"$2"; shift ;;
    -c | --configure) read -ra configure <<<"$2"; shift ;;
    -s | --scratch) scratch=$2; shift ;;
    -j | --jobs) jobs=$2; shift ;;
    -i | --isolate) wrap=(unshare -n) ;;
    -h | --help) usage; exit 0 ;;
    *) echo "mutants.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    esac
    shift
done
[[ -f $list ]] || { echo "mutants.sh: no fault list at $list" >&2; exit 2; }
list=$(cd "$(dirname "$list")" && pwd)/$(basename "$list")

# A scratch folder in a shared /tmp could have been planted by another user: it must be ours and private.
mkdir -p -m 0700 "$scratch"
[[ -O $scratch && ! -L $scratch ]] || { echo "mutants.sh: $scratch is not a folder of this user" >&2; exit 2; }
chmod 0700 "$scratch"
build=$scratch/build
log=$scratch/log

# Brings the scratch copy up to the tree: files whose content differs are copied with a fresh time stamp, so the
# build sees them as changed (a file put back after a fault must never look older than the objects built from it).
sync_tree() {
    local file
    while IFS= read -r -d '' file; do
        [[ -f $root/$file ]] || continue
        if ! cmp -s "$root/$file" "$scratch/$file"; then
            mkdir -p "$scratch/$(dirname "$file")"
            cp "$root/$file" "$scratch/$file"
        fi
    done < <(git -C "$root" ls-files -z --cached --others --exclude-standard)
}

build_tree() {
    cmake --build "$build" -j "$jobs" ${targets[@]+--target "${targets[@]}"} >"$log" 2>&1
}

run_tests() {
    local args=(--test-dir "$build" --stop-on-failure --timeout 300)
    [[ -n $tests ]] && args+=(-R "$tests")
    [[ -n $exclude ]] && args+=(-E "$exclude")
    "${wrap[@]}" ctest "${args[@]}" >"$log" 2>&1
}

# The file being changed now, to put back when the run is interrupted.
current=''
put_back() {
    if [[ -n $current ]]; then
        cp "$root/$current" "$scratch/$current"
        current=''
    fi
}
trap 'put_back; exit 130' INT TERM

echo "Scratch copy: $scratch"
sync_tree
if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$scratch" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLOCKDECK_BENCH=OFF \
        ${configure[@]+"${configure[@]}"} >"$log" 2>&1 || { cat "$log" >&2; exit 2; }
fi
build_tree || { cat "$log" >&2; echo "mutants.sh: the unchanged tree does not build" >&2; exit 2; }
run_tests || { cat "$log" >&2; echo "mutants.sh: the tests fail without any fault" >&2; exit 2; }

killed=0
total=0
survivors=()
stale=()
unbuilt=()
number=0
while IFS= read -r -u 3 line || [[ -n $line ]]; do
    number=$((number + 1))
    [[ -z $line || $line == \#* ]] && continue
    # Split by hand: read would merge two TABs around an empty replacement into one.
    fields=${line//[^$'\t']/}
    if ((${#fields} != 3)); then
        echo "mutants.sh: $list:$number: expected four TAB-separated fields" >&2
        exit 2
    fi
    file=${line%%$'\t'*} rest=${line#*$'\t'}
    original=${rest%%$'\t'*} rest=${rest#*$'\t'}
    replacement=${rest%%$'\t'*} what=${rest#*$'\t'}
    [[ -n $only && ! $file =~ $only ]] && continue
    label="$list:$number $file: $what"
    if [[ ! -f $scratch/$file ]]; then
        stale+=("$label (no such file)")
        continue
    fi
    IFS= read -r -d '' content <"$scratch/$file" || true
    rest=${content#*"$original"}
    if [[ -z $original || $rest == "$content" || $rest == *"$original"* ]]; then
        stale+=("$label (text $([[ $rest == "$content" ]] && echo not found || echo found twice))")
        continue
    fi
    current=$file
    printf '%s' "${content%%"$original"*}$replacement$rest" >"$scratch/$file"
    if ! build_tree; then
        unbuilt+=("$label")
        printf '  nobuild   %s\n' "$label"
    elif run_tests; then
        total=$((total + 1))
        survivors+=("$label")
        printf '  SURVIVED  %s\n' "$label"
    else
        total=$((total + 1))
        killed=$((killed + 1))
        printf '  killed    %s (%s)\n' "$label" "$(grep -m1 -oE '[^ ]+ \(Failed\)|[^ ]+ \(Timeout\)|[^ ]+ \(SEGFAULT\)|[^ ]+ \(Subprocess aborted\)' "$log" || echo failed)"
    fi
    put_back
done 3<"$list"
# Leaves the scratch build matching the tree, for the next run and for anyone looking at it.
build_tree || true

echo
echo "Killed $killed/$total"
((${#survivors[@]} == 0)) || printf 'Survived: %s\n' "${survivors[@]}"
((${#stale[@]} == 0)) || printf 'Stale: %s\n' "${stale[@]}"
((${#unbuilt[@]} == 0)) || printf 'Did not build: %s\n' "${unbuilt[@]}"
((killed == total))
