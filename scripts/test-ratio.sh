#!/usr/bin/env bash
# Prints the non-blank lines under tests/, the non-blank lines of the program
# (every top-level folder of C++ sources except tests/, bench/, fuzz/ and
# build folders) and the ratio of the two. The project keeps it at or under
# a third.
set -eu
cd "$(dirname "$0")/.."
nonblank() { find "$@" -type f -print0 | xargs -0 cat | grep -c '[^[:space:]]'; }
program=()
for dir in */; do
    dir=${dir%/}
    case $dir in tests | bench | fuzz | build* | scripts | data) continue ;; esac
    if find "$dir" -type f \( -name '*.cpp' -o -name '*.h' \) | grep -q .; then program+=("$dir"); fi
done
t=$(nonblank tests)
p=$(nonblank "${program[@]}")
echo "tests: $t non-blank lines (tests/)"
echo "program: $p non-blank lines (${program[*]})"
awk -v t="$t" -v p="$p" 'BEGIN { printf "ratio: %.1f %%\n", 100 * t / p }'
