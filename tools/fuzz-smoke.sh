#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang and runs each for a bounded
# time from its checked-in seeds; any finding fails the run. New inputs go to
# a temporary directory, never into the seeds.
#   FUZZ_SECONDS   seconds per target (default 18)
#   FUZZ_BUILD_DIR build directory (default build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-18}"
build="${FUZZ_BUILD_DIR:-build/fuzz}"

echo "== fuzz (build)"
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failed=0
run() {
    local target="$1"
    shift
    echo "== fuzz $target (${seconds} s)"
    mkdir -p "$work/$target"
    if "$build/${target}_fuzzer" "$@" -max_total_time="$seconds" -timeout=10 \
        -artifact_prefix="$build/$target-" "$work/$target" "fuzz/corpus/$target" \
        >"$work/$target.log" 2>&1; then
        grep -E '^Done [0-9]+ runs' "$work/$target.log" || true
    else
        tail -n 60 "$work/$target.log"
        echo "fuzz: $target found a fault; the input is in $build/$target-*" >&2
        failed=1
    fi
}

run scan_text -dict=fuzz/scan_text.dict -max_len=4096
run module_path -max_len=2048
run read_max_text -max_len=1100
exit "$failed"
