#!/usr/bin/env bash
# Builds and runs the whole test suite twice, a normal build and one with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a short fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Every test forces the offscreen platform but the quick-capture test, which
# needs a real X server: give it one where xvfb-run is there (it skips with a
# message elsewhere).
xvfb=()
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
"${xvfb[@]}" ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTQB_SANITIZE=ON -DTQB_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" \
    "${xvfb[@]}" ctest --test-dir build-asan --output-on-failure -j"$jobs"

# The fuzz target keeps building, and a short run over the seeds passes its checks.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DTQB_BUILD_FUZZ=ON -DTQB_SANITIZE=ON \
    -DTQB_BUILD_GUI=OFF -DTQB_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$jobs" --target fuzz_document_reader
mkdir -p build-fuzz/corpus
build-fuzz/fuzz/fuzz_document_reader -runs=20000 -max_len=4096 build-fuzz/corpus tests/data/seeds
