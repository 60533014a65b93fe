#!/usr/bin/env bash
# Builds the libFuzzer target of the portable version reader with clang
# (address and undefined-behaviour sanitizers) and runs it for a bounded time.
# Usage: scripts/fuzz.sh [SECONDS]   (default 120)
# Needs clang and libclang-rt-14-dev (scripts/bootstrap.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
out=build/fuzz
mkdir -p "$out/corpus" "$out/artifacts"

clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Werror -I. \
  tests/fuzz/version_reader_fuzzer.cpp platform/portable/pe_version_reader.cpp \
  -o "$out/version_reader_fuzzer"

# New inputs go to the build folder; the committed seeds stay as they are.
"$out/version_reader_fuzzer" "$out/corpus" tests/fuzz/corpus \
  -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$out/artifacts/"
