#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan/, runs the whole suite there, then runs each fuzz target for a short while
# (FUZZ_SECONDS each, 30 by default) starting from its seeds in fuzz/corpus/, no single
# allocation allowed past 512 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_CXX_FLAGS="$flags" -DVORELLE_FUZZ=ON >/dev/null
cmake --build build-asan -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
seconds=${FUZZ_SECONDS:-30}
for target in build-asan/fuzz/*Fuzz; do
  name=$(basename "$target")
  corpus=$(mktemp -d)
  cp fuzz/corpus/"$name"/* "$corpus"/
  echo "fuzzing $name for $seconds s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
            -artifact_prefix=build-asan/"$name"- "$corpus" 2>&1 | tail -n 40
  rm -rf "$corpus"
done
