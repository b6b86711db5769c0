#!/usr/bin/env bash
# The planted-fault check: do the unit tests notice a plausible mistake in the code?
#   scripts/planted-faults.sh [LIST] [NAME-PATTERN]
# Every fault of LIST (default scripts/planted-faults.txt) is an exact text replacement in one
# source file. Each is applied alone to a scratch copy of the tree (build-faults/tree), the
# unit test programs are rebuilt (build-faults/build) and `ctest -L unit` runs over the tests
# of the faulted layer and of every layer that links it (the others cannot see the change).
# A fault is caught when a test fails. The working tree is never touched.
# Prints one line per fault and the total; the same lines land in build-faults/results.txt.
# DRAVOLT_FAULTS_REV=COMMIT checks that commit's tree instead of the working tree (for a
# "before" count); DRAVOLT_FAULTS_DIR=FOLDER works there instead of build-faults/.
# DRAVOLT_FAULTS_WITHOUT=REGEX leaves the unit tests whose names match out: are the faults of a
# test that might go still caught without it?
set -euo pipefail
cd "$(dirname "$0")/.."
list=${1:-scripts/planted-faults.txt}
only=${2:-}
root=$PWD
work=${DRAVOLT_FAULTS_DIR:-$root/build-faults} # another folder lets two runs go side by side
tree=$work/tree
build=$work/build
log=$work/log.txt

# Brings the scratch copy up to the working tree's (or the commit's) content. Only files whose
# content differs are copied (with a fresh time stamp, so the build sees them); files gone are
# removed.
sync_tree() {
    mkdir -p "$tree"
    local files from=$root
    if [ -n "${DRAVOLT_FAULTS_REV:-}" ]; then
        from=$work/snapshot
        rm -rf "$from" && mkdir -p "$from"
        git archive "$DRAVOLT_FAULTS_REV" | tar -x -C "$from"
        files=$(git ls-tree -r --name-only "$DRAVOLT_FAULTS_REV")
    else
        files=$(git ls-files -co --exclude-standard | grep -vE '^build' || true)
    fi
    while IFS= read -r f; do
        [ -f "$from/$f" ] || continue
        if ! cmp -s "$from/$f" "$tree/$f"; then
            mkdir -p "$tree/$(dirname "$f")"
            cp "$from/$f" "$tree/$f"
        fi
    done <<< "$files"
    (cd "$tree" && find . -type f -not -path './classifier/*' | sed 's#^\./##' | sort) |
        comm -23 - <(sort <<< "$files") | while IFS= read -r gone; do rm -f "$tree/$gone"; done
    mkdir -p "$tree/classifier"
    cmp -s classifier/haarcascade_eye.xml "$tree/classifier/haarcascade_eye.xml" ||
        cp classifier/haarcascade_eye.xml "$tree/classifier/"
}

occurrences() { # FILE: how often $FROM occurs in it
    perl -0777 -ne 'my $n = () = /\Q$ENV{FROM}\E/g; print $n' "$1"
}

# Reads the list into parallel arrays. An entry is a header line "FILE  what goes wrong",
# then "- original text" and "+ replacement text" (a lone "+" replaces by nothing).
files=() whats=() froms=() tos=()
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
    '' | '#'*) ;;
    '- '*) froms+=("${line#- }") ;;
    '+ '*) tos+=("${line#+ }") ;;
    '+') tos+=("") ;;
    *)
        files+=("${line%%  *}")
        whats+=("$(sed -E 's/^[^ ]+ +//' <<< "$line")")
        ;;
    esac
done < "$list"
if [ ${#files[@]} -ne ${#froms[@]} ] || [ ${#files[@]} -ne ${#tos[@]} ]; then
    echo "$list: every fault needs a header line, a '- ' line and a '+ ' line" >&2
    exit 2
fi

sync_tree
# The layers of the tree under test: a change in a layer is seen by its own tests and by those
# of every layer that links it (seenBy). A commit from before the list reads today's.
source scripts/layer-list.sh
if [ -f "$tree/cmake/layers.txt" ]; then read_layers "$tree/cmake/layers.txt"; else read_layers; fi
bad=0
for i in "${!files[@]}"; do
    n=$(FROM=${froms[$i]} occurrences "$tree/${files[$i]}" 2>/dev/null || echo 0)
    if [ "$n" != 1 ]; then
        echo "fault $((i + 1)) (${files[$i]}): the original text occurs $n times, not once" >&2
        bad=1
    fi
done
[ $bad -eq 0 ] || exit 2

restore=""
# Whatever ends the run, the scratch copy gets its file back.
trap '[ -z "$restore" ] || cp "$restore.orig" "$restore"' EXIT

# Builds the unit test programs of the given layers; returns the build's status.
build_tests() {
    local targets=() layer
    for layer in $1; do
        [ -d "$tree/tests/$layer" ] && ls "$tree/tests/$layer/"*Test.cpp > /dev/null 2>&1 &&
            targets+=(--target "dravolt-tests-$layer")
    done
    cmake --build "$build" -j2 "${targets[@]}" >> "$log" 2>&1
}

run_tests() { # LAYERS
    local pattern without=()
    pattern="^($(tr ' ' '|' <<< "$1"))\\."
    [ -z "${DRAVOLT_FAULTS_WITHOUT:-}" ] || without=(-E "$DRAVOLT_FAULTS_WITHOUT")
    ctest --test-dir "$build" -L unit -R "$pattern" "${without[@]}" --no-tests=error >> "$log" 2>&1
}

mkdir -p "$work"
: > "$log"
cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >> "$log" 2>&1
everything="${layers[*]}"
if ! build_tests "$everything" || ! run_tests "$everything"; then
    echo "the unit tests fail without any fault (see $log)" >&2
    exit 1
fi

results=$work/results.txt
: > "$results"
caught=0 total=0
for i in "${!files[@]}"; do
    file=${files[$i]}
    [ -z "$only" ] || grep -qE "$only" <<< "$file ${whats[$i]}" || continue
    layer=$(cut -d/ -f2 <<< "$file")
    target=$tree/$file
    cp "$target" "$target.orig"
    restore=$target
    FROM=${froms[$i]} TO=${tos[$i]} perl -0777 -i -pe 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$target"
    echo "=== fault $((i + 1)): $file: ${whats[$i]}" >> "$log"
    if ! build_tests "${seenBy[$layer]}"; then
        verdict="BROKEN" # does not build: not a fault the tests could judge
    elif run_tests "${seenBy[$layer]}"; then
        verdict="missed"
    else
        verdict="caught"
        caught=$((caught + 1))
    fi
    cp "$target.orig" "$target"
    rm -f "$target.orig"
    restore=""
    [ "$verdict" = BROKEN ] || total=$((total + 1))
    printf '%-7s %2d %-40s %s\n' "$verdict" $((i + 1)) "$file" "${whats[$i]}" | tee -a "$results"
done
echo "caught $caught of $total planted faults" | tee -a "$results"
