#!/usr/bin/env bash
# Runs the fuzz target of the sanitize build for a bounded time, starting
# from the shipped seeds; a failing input is kept in build/fuzz-artifacts.
# usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/fuzz/corpus/* "$corpus/"
mkdir -p build/fuzz-artifacts
build/sanitize/tests/convert_fuzzer -max_total_time="$seconds" -max_len=8192 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$PWD/build/fuzz-artifacts/" "$corpus" 2>&1 |
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)|ERROR|invariant|SUMMARY'
echo "fuzzing clean for $seconds s"
