#!/bin/sh
# Opening and saving an encrypted document beside the same document without
# password, as whole tqb processes on a warm cache. The key derivation (a
# fixed cost per open, whatever the size) is timed apart on a document with
# no items and taken off before the ratio.
#   bench/crypto_process.sh [BUILD_DIR] [ITEMS]      (defaults: build 100000)
set -eu
build=${1:-build}
items=${2:-100000}
runs=${RUNS:-5}
tqb=${TQB:-$build/src/cli/tqb}
dir=$(mktemp -d "${TMPDIR:-/tmp}/tqb-crypto.XXXXXX")
trap 'rm -rf "$dir"' EXIT
export TQB_SETTINGS_FILE="$dir/settings.ini"
printf '\n' > "$dir/none1"
printf '\n\n' > "$dir/none2"
printf 'bench pass\n' > "$dir/pass1"
printf 'bench pass\nbench pass\n' > "$dir/pass2"

"$build/bench/tqb_bench" --write "$dir/plain.tqb" "$items"
cp "$dir/plain.tqb" "$dir/sealed.tqb"
printf '\nbench pass\n' | "$tqb" passwd "$dir/sealed.tqb" --encrypt
"$tqb" new "$dir/tiny-plain.tqb" < /dev/null
cp "$dir/tiny-plain.tqb" "$dir/tiny-sealed.tqb"
printf '\nbench pass\n' | "$tqb" passwd "$dir/tiny-sealed.tqb" --encrypt
"$tqb" info "$dir/sealed.tqb" | grep protection
echo "$items items: plain $(wc -c < "$dir/plain.tqb") bytes, encrypted $(wc -c < "$dir/sealed.tqb") bytes; fastest of $runs runs"

# Prints the fastest of $runs runs of "$@" with stdin from $1, in seconds.
fastest() {
    input=$1
    shift
    best=""
    for i in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" < "$input" > /dev/null || true  # find exits 1: nothing found
        end=$(date +%s%N)
        t=$(( (end - start) / 1000 ))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    echo "$best" | awk '{ printf "%.3f", $1 / 1e6 }'
}

open() { "$tqb" find "$1" "no such words anywhere" --password-stdin; }
save() { "$tqb" passwd "$1"; }

cat "$dir/plain.tqb" "$dir/sealed.tqb" > /dev/null  # warm the cache
tiny_plain=$(fastest "$dir/none1" open "$dir/tiny-plain.tqb")
tiny_sealed=$(fastest "$dir/pass1" open "$dir/tiny-sealed.tqb")
kdf=$(echo "$tiny_sealed $tiny_plain" | awk '{ printf "%.3f", $1 - $2 }')
open_plain=$(fastest "$dir/none1" open "$dir/plain.tqb")
open_sealed=$(fastest "$dir/pass1" open "$dir/sealed.tqb")
save_plain=$(fastest "$dir/none2" save "$dir/plain.tqb")
save_sealed=$(fastest "$dir/pass2" save "$dir/sealed.tqb")

printf '%-40s %8s\n' "" "seconds"
printf '%-40s %8s\n' "open, no items, plain" "$tiny_plain"
printf '%-40s %8s\n' "open, no items, encrypted" "$tiny_sealed"
printf '%-40s %8s\n' "  key derivation (the difference)" "$kdf"
report() {
    echo "$2 $3 $kdf" | awk -v label="$1" '{
        rest = $2 - $3
        printf "%-40s %8.3f\n%-40s %8.3f\n%-40s %8.3f   %.2fx plain\n", label ", plain", $1, label ", encrypted", $2,
               "  encrypted without the key derivation", rest, rest / $1 }'
}
report "open (tqb find)" "$open_plain" "$open_sealed"
report "read + save (tqb passwd)" "$save_plain" "$save_sealed"
