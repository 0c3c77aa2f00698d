#!/usr/bin/env bash
# Builds the core's libFuzzer targets (preset fuzz: clang, AddressSanitizer and UBSan, in
# build/fuzz) and runs each for a fixed time, from its seeds in tests/fuzz/corpus/NAME and what
# earlier runs found (build/fuzz/corpus/NAME). A crash or a broken promise stops the run and leaves
# the input as build/fuzz/crash-* (replay it: build/fuzz/tests/fuzz/fuzz_NAME FILE).
#   scripts/fuzz.sh [SECONDS]   (15 s for each target unless given; CI runs the default)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}

scripts/install-deps.sh build fuzz
cmake --preset fuzz
cmake --build --preset fuzz -j "$(nproc)"
for seeds in tests/fuzz/corpus/*/; do
    name=$(basename "$seeds")
    found=build/fuzz/corpus/$name
    mkdir -p "$found"
    echo "fuzz: $name for $seconds s"
    "build/fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/ "$found" "$seeds"
done
