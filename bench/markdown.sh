#!/bin/sh
# The generated document (100,000 items by default) as a Markdown folder and
# back, as a user runs it, beside cp -r of the folder written:
#   bench/markdown.sh [BUILD_DIR] [ITEMS]
# Each line is the fastest of RUNS runs (default 3). TMPDIR says where the
# folders go (the disk the user would export to; tmpfs measures the code alone).
set -eu
build=${1:-build}
items=${2:-100000}
runs=${RUNS:-3}
tqb=${TQB:-$build/src/cli/tqb}
dir=$(mktemp -d "${TMPDIR:-/tmp}/tqb-markdown.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TQB_SETTINGS_FILE="$dir/settings.ini"
doc="$dir/doc.tqb"

"$build/bench/tqb_bench" --write "$doc" "$items" > /dev/null
"$tqb" export-md "$doc" "$dir/md"
files=$(find "$dir/md" -type f | wc -l)
kb=$(du -sk "$dir/md" | cut -f1)
echo "$items items: $files files, $kb KB of Markdown; fastest of $runs runs"

# Runs "$@" $runs times, with "prepare" run untimed before each; prints the fastest.
best=0
measure() {
    label=$1
    prepare=$2
    shift 2
    best=""
    for i in $(seq "$runs"); do
        sh -c "$prepare"
        sync
        start=$(date +%s%N)
        "$@" > /dev/null
        end=$(date +%s%N)
        t=$(( (end - start) / 1000 ))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    printf '%-44s %8.3f s\n' "$label" "$(echo "$best" | awk '{print $1 / 1e6}')"
}

measure "cp -r of the folder" "rm -rf '$dir/copy'" cp -r "$dir/md" "$dir/copy"
cp_time=$best
measure "tqb export-md (with its sync)" "rm -rf '$dir/out'" "$tqb" export-md "$doc" "$dir/out"
export_time=$best
measure "cp -r, then sync" "rm -rf '$dir/copy'" sh -c "cp -r '$dir/md' '$dir/copy' && sync"
cp_sync_time=$best
measure "tqb import-md into a new document" "rm -f '$dir/in.tqb'" "$tqb" import-md "$dir/in.tqb" "$dir/md"
import_time=$best
awk -v e="$export_time" -v i="$import_time" -v c="$cp_time" -v s="$cp_sync_time" 'BEGIN {
    printf "export / cp -r %.2fx, export / (cp -r + sync) %.2fx, import / cp -r %.2fx\n", e / c, e / s, i / c }'
