#!/bin/sh
# Whole processes on a warm cache, as a user sees them: tqb on a generated
# document beside cat, dd and grep of the same bytes, with /usr/bin/time.
#   bench/process.sh [BUILD_DIR] [ITEMS]      (defaults: build 100000)
# TQB overrides the tqb binary and PROGRAM the program's start-up bench
# (tqb_tree_bench --start; to compare with an older build). Each line
# is the median of RUNS runs (default 7) with the spread (slowest / fastest),
# the median CPU time (user + system: less disturbed by other work on a
# shared machine) and the largest peak memory of those runs; the ratios the
# aims are stated in follow the table.
set -eu
build=${1:-build}
items=${2:-100000}
runs=${RUNS:-7}
tqb=${TQB:-$build/src/cli/tqb}
program=${PROGRAM:-$build/bench/tqb_tree_bench}
dir=$(mktemp -d "${TMPDIR:-/tmp}/tqb-process.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TQB_SETTINGS_FILE="$dir/settings.ini"
doc="$dir/doc.tqb"
printf '\n\n' > "$dir/stdin"  # tqb passwd: no old password, no new one; tqb add: an empty note
absent=zqxjvwk                # in no note: tqb find and grep read everything

"$build/bench/tqb_bench" --write "$doc" "$items"
[ "$items" -gt 100000 ] || "$tqb" to-json "$doc" > "$dir/doc.json"
"$tqb" export-text "$doc" "$dir/doc.txt"
cp "$doc" "$dir/edit.tqb"
bytes=$(wc -c < "$doc")
echo "$items items, $bytes bytes ($(( bytes / 1000000 )) MB); tqb: $tqb; median of $runs runs"
printf '%-34s %8s %6s %8s %10s %6s\n' "command" "seconds" "spread" "cpu s" "peak KB" "xfile"

# measure KEY LABEL COMMAND...: runs the command $runs times; prints the
# median time, max/min, the median CPU time and the largest peak RSS; keeps
# the medians for the ratios. A command's exit status does not matter (grep
# and tqb find say 1 when nothing matched).
measure() {
    key=$1
    label=$2
    shift 2
    : > "$dir/times"
    for i in $(seq "$runs"); do
        # time's own %e has 10 ms steps, too coarse beside cat.
        start=$(date +%s%N)
        /usr/bin/time -f '%M %U %S' -o "$dir/time" "$@" < "$dir/stdin" > /dev/null 2>&1 || true
        end=$(date +%s%N)
        echo "$(( (end - start) / 1000 )) $(tail -n 1 "$dir/time")" >> "$dir/times"
    done
    cpu=$(awk '{ print $3 + $4 }' "$dir/times" | sort -n | awk '{ c[NR] = $1 } END { print NR % 2 ? c[(NR + 1) / 2] : (c[NR / 2] + c[NR / 2 + 1]) / 2 }')
    sort -n "$dir/times" | awk -v key="$key" -v label="$label" -v bytes="$bytes" -v cpu="$cpu" -v out="$dir/results" '
        { t[NR] = $1; if ($2 > peak) peak = $2 }
        END {
            median = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2
            printf "%-34s %8.3f %6.2f %8.2f %10d %6.2f\n", label, median / 1e6, t[NR] / t[1], cpu, peak, peak * 1024 / bytes
            print key, median, peak, cpu >> out
        }'
}

cat "$doc" "$dir/doc.txt" > /dev/null  # warm the cache
measure cat "cat FILE" cat "$doc"
measure info "tqb info FILE" "$tqb" info "$doc"
measure grep "grep -c WORD TEXT" grep -c "$absent" "$dir/doc.txt"
measure find "tqb find FILE WORD" "$tqb" find "$doc" "$absent"
measure dd "dd FILE to COPY, fsync" dd if="$doc" of="$dir/copy.bin" bs=1M conv=fsync status=none
measure add "tqb add FILE (read, edit, save)" "$tqb" add "$dir/edit.tqb" --title bench
measure passwd "tqb passwd FILE (read + save)" "$tqb" passwd "$doc"
# JSON holds the whole document several times over in memory: beyond
# 100,000 items it takes minutes and gigabytes, and no aim is stated for it.
if [ "$items" -le 100000 ]; then
    measure tojson "tqb to-json FILE" "$tqb" to-json "$doc"
    measure fromjson "tqb from-json JSON COPY (save)" "$tqb" from-json "$dir/doc.json" "$dir/copy.tqb"
fi
if [ -x "$program" ]; then  # built with the GUI
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    measure empty "program: start to idle, empty" "$program" --start
    measure window "program: start to idle on FILE" "$program" --start "$doc"
fi

echo
awk -v bytes="$bytes" '
    { t[$1] = $2; m[$1] = $3; c[$1] = $4 }
    END {
        print "ratios of the median times (of the CPU times in brackets)"
        printf "%-52s %6.2f  (aim: under 2)\n", "tqb info / cat", t["info"] / t["cat"]
        # grep often takes less CPU than time can tell (10 ms steps)
        cpu = c["grep"] > 0 ? sprintf("[%.2f]", c["find"] / c["grep"]) : "[cpu: grep under 10 ms]"
        printf "%-52s %6.2f  %s  (aim: under 2)\n", "tqb find / grep -c on the exported text", t["find"] / t["grep"], cpu
        printf "%-52s %6.2f  (aim: under 1.2)\n", "save part of tqb add (add - info) / dd + fsync", (t["add"] - t["info"]) / t["dd"]
        printf "%-52s %6.2f\n", "tqb add as a whole / dd + fsync", t["add"] / t["dd"]
        printf "%-52s %6.2f\n", "tqb passwd (read + save) / dd + fsync", t["passwd"] / t["dd"]
        printf "%-52s %6.2f  (aim: under 1.25)\n", "peak memory of tqb find / file", m["find"] * 1024 / bytes
        printf "%-52s %6.2f\n", "peak memory of tqb add / file", m["add"] * 1024 / bytes
        if ("window" in t) {
            printf "%-52s %6.2f  (aim: under 2)\n", "program on FILE / (tqb info + program empty)", t["window"] / (t["info"] + t["empty"])
            printf "%-52s %6.2f  (aim: under 1.25)\n", "peak memory of the program on FILE / file", m["window"] * 1024 / bytes
            printf "%-52s %6.2f\n", "the same, less the empty program peak", (m["window"] - m["empty"]) * 1024 / bytes
        }
    }' "$dir/results"
