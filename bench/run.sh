#!/usr/bin/env bash
# Times ferrow and ferrow-g against cat, dd and an awk program doing the same
# daily split, on generated one-second data, and measures peak memory and
# the rate when the day changes on every line. Writes build/bench/results.md.
#
#   bash bench/run.sh [SIZE_MIB]     (default 512)
#
# Inputs are kept between runs in build/bench (several GiB); daily files are
# kept between timed runs and emptied untimed, so that the numbers measure
# the converter and not the file system creating and dropping files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
size_mib=${1:-512}
runs=${BENCH_RUNS:-7}
bash scripts/install-deps.sh hyperfine mawk time
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
bin=$root/build/release
work=$root/build/bench
mkdir -p "$work"
cd "$work"

H6='Timestamp, Time zone (hr), Ambient temperature (C), Ambient pressure (kPa), Inside temperature (C), Humidity (%), V1 (mV), V2 (mV), V3 (mV), V4 (mV), V5 (mV), V6 (mV)'
H9='Timestamp, Time zone (hr), Ambient temperature (C), Ambient pressure (kPa), Ambient humidity (%), Internal temperature (C), Internal humidity (%), V1 (mV), V2 (mV), V3(mV), V4 (mV), V5 (mV), V6 (mV), V7 (mV), V8 (mV), V9 (mV)'

# generate NAME CHANNELS START MIB: one record a second, CR LF, two trailing
# fields, a damaged line now and then; made once and kept.
generate() {
  [ -s "$1" ] && return
  echo "generating $1"
  "$bin/examples/generate_raw" --channels "$2" --start "$3" --interval 1 \
    --bytes $(($4 * 1048576)) --damaged-every 100003 --seed 42 >"$1"
}
# The six-channel input crosses a year end, the nine-channel one a leap day.
generate in6.raw 6 2015:362:0 "$size_mib"
generate in9.raw 9 2016:50:0 "$size_mib"
generate small6.raw 6 2015:362:0 64
generate large6.raw 6 2015:362:0 1024
if [ ! -s switch.raw ]; then
  mawk 'BEGIN { for (n = 0; n < 1000000; n++)
    printf "%d,2014,%d,1200,-7,21.5,101.3,22.0,45.0,1,2,3,4,5,6,12.6\r\n",
      n % 60, 145 + n % 2 }' >switch.raw
fi

# The awk program must write the very files the converter writes.
same_as_awk() {
  local program=$1 input=$2 serial=$3 values=$4 header=$5
  rm -rf check_c check_a && mkdir check_c check_a
  (cd check_c && "$bin/$program" "../$input" >/dev/null)
  (cd check_a && mawk -F, -v serial="$serial" -v values="$values" \
    -v header="$header" -f "$root/bench/daily_split.awk" "../$input")
  diff -rq check_c check_a >/dev/null || {
    echo "awk and $program disagree on $input"
    exit 1
  }
  echo "awk writes the same $(ls check_c | wc -l) daily files as $program"
  rm -rf check_c check_a
}
same_as_awk ferrow in6.raw 107 11 "$H6"
same_as_awk ferrow-g in9.raw 1057 15 "$H9"

mkdir -p out6 out9 outa outs outst outn
touch copy
(cd out6 && "$bin/ferrow" ../in6.raw >/dev/null)
(cd out9 && "$bin/ferrow-g" ../in9.raw >/dev/null)
(cd outs && "$bin/ferrow" ../switch.raw >/dev/null)
empty() { echo "sh -c 'for f in $*; do : >\"\$f\"; done'"; }
(cd outst && "$bin/ferrow" --state=state ../in6.raw >/dev/null)
rm -f outn/state && (cd outn && "$bin/ferrow" --state=state ../in6.raw >/dev/null)

timed() {  # timed RUNS CSV HYPERFINE_ARGUMENTS...
  local count=$1 csv=$2
  shift 2
  # Its warnings about outliers are expected on a shared machine.
  hyperfine --style none --warmup 1 --runs "$count" --export-csv "$csv" "$@" \
    2>/dev/null
}
timed "$runs" t6.csv \
  --prepare "$(empty copy)" -n cat "cat in6.raw > copy" \
  --prepare "$(empty copy)" -n dd "dd if=in6.raw of=copy bs=1M conv=notrunc status=none" \
  --prepare "$(empty copy)" -n line_copy "$bin/line_copy in6.raw copy" \
  --prepare "$(empty 'out6/*.csv')" -n ferrow "cd out6 && $bin/ferrow ../in6.raw" \
  --prepare "rm -f outst/state && $(empty 'outst/*.csv')" -n state \
  "cd outst && $bin/ferrow --state=state ../in6.raw"
# The whole input converted already: a run finds nothing new.
timed 20 tn.csv -n nothing_new "cd outn && $bin/ferrow --state=state ../in6.raw"
timed "$runs" t9.csv \
  --prepare "$(empty copy)" -n cat "cat in9.raw > copy" \
  --prepare "$(empty copy)" -n dd "dd if=in9.raw of=copy bs=1M conv=notrunc status=none" \
  --prepare "$(empty 'out9/*.csv')" -n ferrow-g "cd out9 && $bin/ferrow-g ../in9.raw"
(cd outa && mawk -F, -v serial=107 -v values=11 -v header="$H6" \
  -f "$root/bench/daily_split.awk" ../in6.raw)
timed 3 ta.csv \
  --prepare "$(empty 'outa/*.csv')" -n mawk \
  "cd outa && mawk -F, -v serial=107 -v values=11 -v header='$H6' -f $root/bench/daily_split.awk ../in6.raw"
timed "$runs" ts.csv \
  --prepare "$(empty 'outs/*.csv')" -n switch "cd outs && $bin/ferrow ../switch.raw"

median() { awk -F, -v n="$2" '$1 == n { print $4 }' "$1"; }  # seconds
peak_kib() {
  rm -rf rss && mkdir rss
  (cd rss && /usr/bin/time -f %M "$bin/ferrow" "../$1" 2>&1 >/dev/null)
  rm -rf rss
}
cat6=$(median t6.csv cat); dd6=$(median t6.csv dd); f6=$(median t6.csv ferrow)
copy6=$(median t6.csv line_copy)
cat9=$(median t9.csv cat); dd9=$(median t9.csv dd); f9=$(median t9.csv ferrow-g)
awk6=$(median ta.csv mawk); sw=$(median ts.csv switch)
st6=$(median t6.csv state); none6=$(median tn.csv nothing_new)
rss_small=$(peak_kib small6.raw); rss_large=$(peak_kib large6.raw)

{
  echo "Input: $size_mib MiB of one-second records per profile; medians of $runs runs ($(date -u +%Y-%m-%d), $(nproc) cores)."
  echo
  echo "| | cat | dd bs=1M | converter | converter / cat | converter / dd | mawk / converter |"
  echo "|---|---|---|---|---|---|---|"
  awk -v c="$cat6" -v d="$dd6" -v f="$f6" -v a="$awk6" 'BEGIN {
    printf "| ferrow | %.3f s | %.3f s | %.3f s | %.2f | %.2f | %.1f |\n", c, d, f, f / c, f / d, a / f }'
  awk -v c="$cat9" -v d="$dd9" -v f="$f9" 'BEGIN {
    printf "| ferrow-g | %.3f s | %.3f s | %.3f s | %.2f | %.2f | |\n", c, d, f, f / c, f / d }'
  echo
  awk -v c="$cat6" -v d="$dd6" -v l="$copy6" 'BEGIN {
    printf "- line_copy (find each line end, write the line back; the floor for any line-by-line converter): %.3f s, %.2f x cat, %.2f x dd\n", l, l / c, l / d }'
  awk -v f="$f6" -v s="$st6" -v n="$none6" 'BEGIN {
    printf "- ferrow --state, whole input, every daily file synced: %.3f s, %.2f x the plain run\n", s, s / f
    printf "- ferrow --state finding nothing new: %.1f ms\n", n * 1000 }'
  awk -v a="$awk6" -v s="$sw" -v r1="$rss_small" -v r2="$rss_large" 'BEGIN {
    printf "- mawk doing the same split: %.2f s\n", a
    printf "- day changing on every line, daily files present: %.0f records/s\n", 1000000 / s
    printf "- peak resident memory: %.2f MiB at 64 MiB of input, %.2f MiB at 1 GiB\n", r1 / 1024, r2 / 1024 }'
  echo
  echo "Micro-benchmarks (Google Benchmark):"
  echo
  echo '```'
  "$bin/micro_bench" --benchmark_min_time=0.2 2>/dev/null | grep '^BM_'
  echo '```'
} >results.md
cat results.md
