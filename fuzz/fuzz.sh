#!/usr/bin/env bash
# Builds the scanner's libFuzzer target (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build/fuzz and runs it.
#
#   fuzz/fuzz.sh              once over the seeds in fuzz/seeds (the test command)
#   fuzz/fuzz.sh SECONDS      fuzzes for that long, growing build/fuzz/corpus
#
# A failing input is kept as build/fuzz/crash-*; replay it with
# build/fuzz/fuzz_scanner FILE.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out/corpus"

sources=("$root/fuzz/fuzz_scanner.cpp" "$root/src/prime/scanner.cpp" "$root/src/prime/primality.cpp"
    "$root/src/settings/config.cpp")
binary="$out/fuzz_scanner"
stale=0
[ -x "$binary" ] || stale=1
for source in "${sources[@]}" "$root"/src/prime/*.h "$root"/src/settings/config.h "$0"; do
    [ "$source" -nt "$binary" ] && stale=1
done
if [ "$stale" = 1 ]; then
    clang++ -std=c++17 -g -O1 -fno-omit-frame-pointer -Wall -Wextra \
        -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I"$root/src" "${sources[@]}" -o "$binary"
fi

cd "$out"
seconds=${1:-0}
if [ "$seconds" = 0 ]; then
    "$binary" -runs=0 "$root/fuzz/seeds" 2>"$out/seeds.log" || {
        cat "$out/seeds.log" >&2
        exit 1
    }
    echo "fuzz: $(ls "$root/fuzz/seeds" | wc -l) seeds passed"
else
    "$binary" -max_len=4096 -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$out/" "$out/corpus" "$root/fuzz/seeds"
fi
