#!/usr/bin/env bash
# Fault tests against the real programs: failing writes, unreadable and
# hostile input, day switching on every line, and concurrent runs.
# usage: fault_tests.sh BIN_DIR TEST_NAME
source "$(dirname "$0")/script_test_lib.sh" "$1"

HEADER='Timestamp, Time zone (hr), Ambient temperature (C), Ambient pressure (kPa), Inside temperature (C), Humidity (%), V1 (mV), V2 (mV), V3 (mV), V4 (mV), V5 (mV), V6 (mV)'
VALUES='-7,21.5,101.3,22.0,45.0,1,2,3,4,5,6'

# records DAY FIRST COUNT: COUNT records of 2014's day DAY, seconds from FIRST.
records() {
  local day=$1 first=$2 count=$3 n
  for ((n = first; n < first + count; n++)); do
    printf '%d,2014,%d,1200,%s\r\n' "$n" "$day" "$VALUES"
  done
}

# is_whole_rows FILE: the file ends at a row boundary (or is empty).
is_whole_rows() {
  [ ! -s "$1" ] || [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ]
}

name_of() { echo "2014-05-$1_ZORL_Raw_Data_SN107.csv"; }

# A file-size limit hit part-way: the file of the day before is whole, the
# day being written holds whole rows only, and the run says so.
test_write_limit() {
  { records 145 0 10; records 146 0 20000; } >in.raw
  mkdir reference && (cd reference && "$ferrow" ../in.raw >/dev/null)
  expect 1 "Processing in.raw . . .
Error: Unable to write daily file $(name_of 26): File too large." \
    bash -c "ulimit -f 256 && exec '$ferrow' in.raw"
  cmp "$(name_of 25)" "reference/$(name_of 25)" || fail "day before changed"
  is_whole_rows "$(name_of 26)" || fail "half a row left behind"
  cmp -s -n "$(stat -c %s "$(name_of 26)")" "$(name_of 26)" \
    "reference/$(name_of 26)" || fail "rows written are not the input's"
}

# Appending to a file that already holds data, past the limit: the file is
# left exactly as it was.
test_write_limit_keeps_old_data() {
  { printf '%s\r\n' "$HEADER"; records 145 0 100 | sed 's/^/x/'; } >"$(name_of 25)"
  cp "$(name_of 25)" before.csv
  records 145 0 20000 >in.raw
  expect 1 "Processing in.raw . . .
Error: Unable to write daily file $(name_of 25): File too large." \
    bash -c "ulimit -f 256 && exec '$ferrow' in.raw"
  cmp "$(name_of 25)" before.csv || fail "existing data rewritten"
}

# Lines of megabytes: those the reader can hold are records like any other,
# longer ones are skipped whole, and nothing of them turns into a record.
test_megabyte_lines() {
  local big
  big=$(head -c 1000000 /dev/zero | tr '\0' 'v')
  {
    records 145 1 1
    printf '2,2014,145,1200,'
    head -c 3000000 /dev/zero | tr '\0' '7'
    printf '\r\n'
    head -c 2500000 /dev/zero | tr '\0' '\n' | tr '\n' ','
    printf '\n'
    printf '3,2014,145,1200,%s\r\n' "$big"
    records 145 4 1
  } >in.raw
  expect 0 "Processing in.raw . . ." "$ferrow" in.raw
  {
    printf '%s\r\n' "$HEADER"
    printf '2014-05-25 12:00:01,%s\r\n' "$VALUES"
    printf '2014-05-25 12:00:03,%s,,,,,,,,,,\r\n' "$big"
    printf '2014-05-25 12:00:04,%s\r\n' "$VALUES"
  } >expected.csv
  cmp "$(name_of 25)" expected.csv || fail "long lines mishandled"
}

# Lines too long to hold are kept whole in the reject file, streamed rather
# than held: the file is byte for byte the lines that gave no row.
test_long_lines_rejected() {
  {
    records 145 1 1
    printf '2,2014,145,1200,'
    head -c 3000000 /dev/zero | tr '\0' '7'
    printf '\r\n'
    printf 'short\n'
    head -c 2500000 /dev/zero | tr '\0' 'x'
  } >in.raw
  expect 0 "Processing in.raw . . ." "$ferrow" --rejects=rejects.raw in.raw
  { tail -n +2 in.raw; printf '\n'; } >expected.raw
  cmp rejects.raw expected.raw || fail "reject file is not the rejected lines"
  [ "$(grep -c '^2014-05-25' "$(name_of 25)")" -eq 1 ] || fail "rows"
}

# A reject file that cannot be written fails the run, named; the rows are
# written all the same.
test_rejects_full() {
  { records 145 0 2; printf 'bad\n'; records 145 2 1; } >in.raw
  expect 1 "Processing in.raw . . .
Error: Unable to write reject file /dev/full: No space left on device." \
    "$ferrow" --rejects=/dev/full in.raw
  [ "$(grep -c '^2014-05-25' "$(name_of 25)")" -eq 3 ] || fail "rows lost"
}

# A directory deeper than any fixed name buffer: nothing cuts its path.
test_long_directory() {
  local dir=d n
  for ((n = 0; n < 40; n++)); do dir=$dir/directory_$n; done
  mkdir -p "$dir"
  records 145 0 1 >in.raw
  expect 0 "Processing in.raw . . ." "$ferrow" -C "$dir" in.raw
  [ "$(grep -c '^2014-05-25' "$dir/$(name_of 25)")" -eq 1 ] || fail "row"
}

# Messages that cannot be written make the run fail, though the daily files
# are complete: a script reading the status must not take it for success.
test_stdout_full() {
  records 145 0 3 >in.raw
  "$ferrow" in.raw >/dev/full
  [ $? -eq 1 ] || fail "status with standard output full"
  [ "$(grep -c '^2014-05-25 12:00:0[0-2],' "$(name_of 25)")" -eq 3 ] ||
    fail "rows missing"
}

# Only CR bytes, or one long line of them, make no daily file.
test_only_crs() {
  head -c 3000000 /dev/zero | tr '\0' '\r' >in.raw
  expect 0 "Processing in.raw . . ." "$ferrow" in.raw
  [ -z "$(ls ./*.csv 2>/dev/null)" ] || fail "a daily file appeared"
}

# The day changes on every line, cycling through more days than may stay
# open: every row lands and each file has one header, whether the oldest day
# is closed for room or because the process has run out of descriptors
# (only two are left for daily files under the tight limit).
test_switch_every_line() {
  local n day limit
  for ((n = 0; n < 30000; n++)); do
    printf '%d,2014,%d,1200,%s\n' "$((n % 60))" "$((145 + n % 6))" "$VALUES"
  done >in.raw
  for limit in 1024 6; do
    mkdir "limit$limit"
    expect 0 "Processing ../in.raw . . ." \
      bash -c "cd limit$limit && ulimit -n $limit && exec '$ferrow' ../in.raw"
    for day in 25 26 27 28 29 30; do
      local file
      file=limit$limit/$(name_of $day)
      [ "$(grep -c '^Timestamp' "$file")" -eq 1 ] || fail "headers in $file"
      [ "$(grep -c "^2014-05-$day 12:00:" "$file")" -eq 5000 ] ||
        fail "rows lost in $file"
    done
  done
}

# Several runs at once over the same days: each file gets exactly one
# header, first, every row stays whole, and each run's rows keep their order.
test_concurrent_runs() {
  local round run day
  # Large enough that the runs overlap for many milliseconds.
  for run in 1 2 3 4; do
    awk -v run="$run" -v values="$VALUES" 'BEGIN {
      for (n = 0; n < 60000; n++)
        printf "%d,2014,%d,1200,run%d,%06d,%s\n", n % 60, 145 + int(n / 20000),
          run, n, values
    }' >"in$run.raw"
  done
  for ((round = 0; round < 10; round++)); do
    rm -f ./*.csv
    printf 'in%d.raw\n' 1 2 3 4 | xargs -P4 -n1 "$ferrow" >/dev/null ||
      fail "a run failed in round $round"
    for day in 25 26 27; do
      local file
      file=$(name_of $day)
      [ "$(head -n 1 "$file")" = "$HEADER"$'\r' ] || fail "round $round: header of $day"
      [ "$(grep -c '^Timestamp' "$file")" -eq 1 ] || fail "round $round: headers in $day"
      # Two values past the profile's eleven are cut off.
      [ "$(grep -c '^2014-05-.. 12:00:[0-9][0-9],run[1-4],[0-9]\{6\},-7,21.5,101.3,22.0,45.0,1,2,3,4'$'\r''$' "$file")" -eq 80000 ] ||
        fail "round $round: broken or lost rows in $day"
      for run in 1 2 3 4; do
        grep "run$run," "$file" | cut -d, -f3 | sort -c 2>/dev/null ||
          fail "round $round: run $run out of order in $day"
      done
    done
  done
}

"test_$2"
finish
