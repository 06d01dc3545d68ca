#!/usr/bin/env bash
# Builds everything and runs the whole test suite: unit, GUI and end-to-end
# tests, the unit tests again under address and undefined-behaviour
# sanitizers, and each fuzzer for a short while, starting from every input
# kept for it.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages $VANTROPE_BUILD_PACKAGES $VANTROPE_DISPLAY_PACKAGES $VANTROPE_FUZZ_PACKAGES

jobs=$(nproc)
fuzz_seconds=${VANTROPE_FUZZ_SECONDS:-20}

echo "== Build and run the tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== Unit tests under address and undefined-behaviour sanitizers"
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
    -DVANTROPE_SANITIZE=ON -DVANTROPE_GUI=OFF -DVANTROPE_BENCH=OFF >/dev/null
cmake --build build-sanitize -j"$jobs" --target unit_tests
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

echo "== Fuzzers, ${fuzz_seconds}s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVANTROPE_FUZZ=ON -DVANTROPE_SANITIZE=ON -DVANTROPE_GUI=OFF -DVANTROPE_BENCH=OFF >/dev/null
for src in fuzz/fuzz_*.cpp; do
    [ -e "$src" ] || continue
    name=$(basename "$src" .cpp)
    cmake --build build-fuzz -j"$jobs" --target "$name"
    corpus_name=${name#fuzz_}
    work=$(mktemp -d)
    mkdir "$work/corpus"
    for kept in "fuzz/corpus/$corpus_name" "fuzz/regressions/$corpus_name"; do
        if [ -d "$kept" ]; then cp -r "$kept/." "$work/corpus/"; fi
    done
    # The MD2 reader starts from the real models of the shared test data.
    if [ "$corpus_name" = md2 ]; then cp "${VANTROPE_TESTDATA:-../shared/testdata}"/md2/*.md2 "$work/corpus/" 2>/dev/null || true; fi
    # The song reader starts from small songs written for the run.
    if [ "$corpus_name" = song ]; then build/song_seeds "$work/corpus"; fi
    echo "-- $name"
    if ! "build-fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=65536 -print_final_stats=1 \
            -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
        tail -n 60 "$work/log"
        echo "$name found a problem (input kept in $work); once it is mended, add the input" \
            "to fuzz/regressions/$corpus_name/ so every later run tries it first" >&2
        exit 1
    fi
    grep -E "^(Done|stat::number_of_executed_units)" "$work/log" || tail -n 2 "$work/log"
    rm -rf "$work"
done
echo "== All tests passed"
