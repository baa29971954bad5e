#!/usr/bin/env bash
# Writes the shipped sample inputs into a folder: four days of 10-minute
# records across a year end for ferrow, four days of 15-minute records across
# a leap day for ferrow-g, each with a few damaged lines.
# usage: make_samples.sh GENERATE_RAW OUT_DIR
set -euo pipefail
generate=$1
out=$2
"$generate" --channels 6 --start 2015:363:0 --interval 600 --records 576 \
  --damaged-every 97 --seed 7 >"$out/ferrow_sample.raw"
"$generate" --channels 9 --start 2016:58:0 --interval 900 --records 384 \
  --damaged-every 89 --seed 9 >"$out/ferrow-g_sample.raw"
