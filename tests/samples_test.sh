#!/usr/bin/env bash
# The shipped samples are exactly what the generator makes of them today.
# usage: samples_test.sh GENERATE_RAW EXAMPLES_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$2/make_samples.sh" "$1" "$work"
for sample in ferrow_sample.raw ferrow-g_sample.raw; do
  cmp "$work/$sample" "$2/$sample"
done
echo "samples match the generator"
