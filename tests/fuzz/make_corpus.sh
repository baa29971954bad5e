#!/usr/bin/env bash
# Writes the fuzzer's seed corpus: short generated inputs around year ends,
# leap days and damaged lines, plus one line of each edge by hand.
# usage: make_corpus.sh GENERATE_RAW OUT_DIR
set -euo pipefail
generate=$1
out=$2
"$generate" --channels 6 --start 2015:365:86000 --interval 120 --records 8 \
  >"$out/year_end_6ch.raw"
"$generate" --channels 9 --start 2016:59:86200 --interval 60 --records 6 \
  --lf >"$out/leap_day_9ch.raw"
"$generate" --channels 6 --start 2014:145:0 --interval 7 --records 12 \
  --damaged-every 3 --seed 3 >"$out/damaged.raw"
"$generate" --channels 9 --start 2016:366:86390 --interval 3 --records 6 \
  --trailing 0 >"$out/no_trailing.raw"
printf '5,2014,145,1230\r\n6,2014,145,1231,a\r\n7,2014,146,-5,,\n8,2015,366,0,x\n9,2014,145,2400,\0,\r,v\x1ajunk' \
  >"$out/edges.raw"
