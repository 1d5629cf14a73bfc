#!/bin/sh
# Whole processes on a warm cache, as a user sees them: tqb on a generated
# document beside cat and dd of the same bytes, with /usr/bin/time.
#   bench/process.sh [BUILD_DIR] [ITEMS]      (defaults: build 100000)
# TQB overrides the tqb binary (to compare with an older build). Prints the
# fastest of RUNS runs (default 5) and the peak memory of that run.
set -eu
build=${1:-build}
items=${2:-100000}
runs=${RUNS:-5}
tqb=${TQB:-$build/src/cli/tqb}
dir=$(mktemp -d "${TMPDIR:-/tmp}/tqb-process.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TQB_SETTINGS_FILE="$dir/settings.ini"
doc="$dir/doc.tqb"
printf '\n\n' > "$dir/stdin"  # tqb passwd: no old password, no new one

"$build/bench/tqb_bench" --write "$doc" "$items"
"$tqb" to-json "$doc" > "$dir/doc.json"
bytes=$(wc -c < "$doc")
echo "$items items, $bytes bytes ($(( bytes / 1000000 )) MB); tqb: $tqb; fastest of $runs runs"
printf '%-34s %8s %10s %6s\n' "command" "seconds" "peak KB" "xfile"

# Runs "$@" $runs times; prints the fastest run's time and that run's peak RSS.
measure() {
    label=$1
    shift
    best=""
    for i in $(seq "$runs"); do
        # time's own %e has 10 ms steps, too coarse beside cat.
        start=$(date +%s%N)
        /usr/bin/time -f '%M' -o "$dir/time" "$@" < "$dir/stdin" > /dev/null
        end=$(date +%s%N)
        line="$(( (end - start) / 1000 )) $(tail -n 1 "$dir/time")"
        if [ -z "$best" ] || [ "$(echo "$line $best" | awk '{print ($1 < $3)}')" = 1 ]; then
            best=$line
        fi
    done
    echo "$best" | awk -v label="$label" -v bytes="$bytes" \
        '{ printf "%-34s %8.3f %10d %6.2f\n", label, $1 / 1e6, $2, $2 * 1024 / bytes }'
}

cat "$doc" > /dev/null  # warm the cache
measure "cat FILE" cat "$doc"
measure "tqb info FILE" "$tqb" info "$doc"
measure "tqb to-json FILE" "$tqb" to-json "$doc"
measure "dd FILE to COPY, fsync" dd if="$doc" of="$dir/copy.bin" bs=1M conv=fsync status=none
measure "tqb passwd FILE (read + save)" "$tqb" passwd "$doc"
measure "tqb from-json JSON COPY (save)" "$tqb" from-json "$dir/doc.json" "$dir/copy.tqb"
