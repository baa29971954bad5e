#!/usr/bin/env bash
# Tests of --state on the real program: growing, unchanged and changed
# inputs, damaged state files, and the crash test: an input grows in
# chunks, lines split across them; after each chunk the run is killed at
# the k-th write, fsync, ftruncate or rename, for every k it reaches, then
# run again unharmed. Every daily file and the reject file must then be
# byte for byte what one plain run over the input so far writes.
# usage: incremental_tests.sh BIN_DIR TEST_NAME
source "$(dirname "$0")/script_test_lib.sh" "$1"
kill_points=0

VALUES='-7,21.5,101.3,22.0,45.0,1,2,3,4,5,6'

# The input: three days, rejected lines among them.
make_input() {
  local n
  for ((n = 0; n < 240; n++)); do
    printf '%d,2016,%d,%04d,%s\r\n' "$((n % 60))" "$((59 + n / 80))" \
      "$((n % 1440))" "$VALUES"
    ((n % 37 == 5)) && printf 'damaged line %d\r\n' "$n"
  done
}

# Everything the runs leave that a user keeps, one file per line with its
# checksum; the state file's own temporary files are left out.
snapshot() {
  (cd "$1" && find . -type f ! -name 'state*' -print0 | sort -z |
    xargs -0 -r sha256sum)
}

# reference DIR: one plain run over the finished lines of grow.raw.
reference() {
  rm -rf "$1" && mkdir "$1"
  local size
  size=$(perl -0777 -ne 'print rindex($_, "\n") + 1' grow.raw)
  head -c "$size" grow.raw >"$1.raw"
  (cd "$1" && "$ferrow" --rejects=rejects.raw "../$1.raw" >/dev/null)
  rm -f "$1.raw"
}

run_state() {
  (cd "$1" && "$ferrow" --state=state --rejects=rejects.raw ../grow.raw) \
    >/dev/null 2>&1
}

# killed_status DIR CALL K ARGS...: runs the program in DIR under strace,
# killed at the K-th CALL, and prints its exit status (137 when killed).
killed_status() {
  local dir=$1 call=$2 k=$3
  shift 3
  (cd "$dir" && { strace -f -o /dev/null -e inject="$call":signal=KILL:when="$k" \
    "$ferrow" "$@" >/dev/null 2>&1; echo $?; } 2>/dev/null)
}

# expect_refused DIR WHAT PATTERN: a --state run over grow.raw in DIR exits
# 1 with a message matching PATTERN and changes no file.
expect_refused() {
  local dir=$1 what=$2 pattern=$3 before out
  before=$(snapshot "$dir")
  out=$(cd "$dir" && "$ferrow" --state=state ../grow.raw)
  [ $? -eq 1 ] || fail "$what: not refused"
  grep -q "$pattern" <<<"$out" || fail "$what: message [$out]"
  [ "$(snapshot "$dir")" = "$before" ] || fail "$what: files changed"
}

# A clean run after a kill at the k-th call of one kind; returns 1 once the
# run finishes before reaching it.
kill_and_recover() {
  local call=$1 k=$2 base=$3
  rm -rf killed && cp -a "$base" killed
  [ "$(killed_status killed "$call" "$k" --state=state \
    --rejects=rejects.raw ../grow.raw)" -eq 137 ] || return 1
  kill_points=$((kill_points + 1))
  run_state killed || fail "$call #$k: the run after the kill failed"
  [ "$(snapshot killed)" = "$(snapshot reference)" ] ||
    fail "$call #$k at chunk $chunk: files differ from one plain run"
  # And nothing is converted twice by a further run.
  run_state killed
  [ "$(snapshot killed)" = "$(snapshot reference)" ] ||
    fail "$call #$k at chunk $chunk: a further run changed the files"
  return 0
}

test_kill_everywhere() {
  make_input >full.raw
  local total chunk=0 offset=0 step call k
  total=$(wc -c <full.raw)
  : >grow.raw
  mkdir base
  # Chunk sizes that cut lines anywhere, a CR from its LF included.
  for step in 1 700 2001 3333 1 5000 9999 "$total"; do
    chunk=$((chunk + 1))
    tail -c +"$((offset + 1))" full.raw | head -c "$step" >>grow.raw
    offset=$(wc -c <grow.raw)
    reference reference
    for call in write fsync ftruncate rename; do
      for ((k = 1; ; k++)); do
        kill_and_recover "$call" "$k" base || break
      done
    done
    run_state base || fail "chunk $chunk: the plain incremental run failed"
    [ "$(snapshot base)" = "$(snapshot reference)" ] ||
      fail "chunk $chunk: incremental files differ from one plain run"
    [ "$offset" -ge "$total" ] && break
  done
  echo "kill points: $kill_points"
  [ "$kill_points" -gt 50 ] || fail "too few kill points: $kill_points"
}

# Killed mid-run, then another run appends to the same day before the
# next --state run: the undo must not cut those rows, so it refuses and
# leaves every file as it is.
test_other_rows_kept() {
  make_input >grow.raw
  mkdir run
  [ "$(killed_status run fsync 5 --state=state ../grow.raw)" -eq 137 ] ||
    fail "the run was not killed"
  printf '59,2016,59,2359,other run\r\n' >other.raw
  (cd run && "$ferrow" ../other.raw >/dev/null)
  expect_refused run "the undo" \
    "^Error: Unable to undo the run cut short in .*2016-02-28_ZORL_Raw_Data_SN107.csv"
  grep -q 'other run' run/2016-02-28_ZORL_Raw_Data_SN107.csv || fail "rows cut"
}

# A daily file cut in the middle of its last row, as a writer killed
# mid-write leaves it: the next row starts on a line of its own, in both
# modes.
test_torn_tail() {
  local mode name=2016-02-28_ZORL_Raw_Data_SN107.csv
  printf '1,2016,59,0000,%s\r\n2,2016,59,0000,%s\r\n' "$VALUES" "$VALUES" >a.raw
  printf '3,2016,59,0000,%s\r\n' "$VALUES" >b.raw
  for mode in plain state; do
    rm -rf "$mode" && mkdir "$mode"
    (cd "$mode" && "$ferrow" ../a.raw >/dev/null)
    truncate -s -20 "$mode/$name"
    local torn
    torn=$(cat "$mode/$name")
    if [ "$mode" = plain ]; then
      (cd "$mode" && "$ferrow" ../b.raw >/dev/null)
    else
      (cd "$mode" && "$ferrow" --state=state ../b.raw >/dev/null)
    fi
    [ "$(cat "$mode/$name")" = "$torn"$'\r\n'"2016-02-28 00:00:03,$VALUES"$'\r' ] ||
      fail "$mode: a row was glued to the cut-off one"
  done
}

# Two runs over an input grown between them, a line split by the growth,
# then a run that finds nothing new and writes nothing at all.
test_growing_input() {
  make_input >full.raw
  head -c 5000 full.raw >grow.raw
  mkdir inc
  run_state inc || fail "first run"
  local state_before
  state_before=$(cat inc/state)
  [ "$(tail -c 1 grow.raw)" != $'\n' ] || fail "the first part should end mid-line"
  cp full.raw grow.raw
  run_state inc || fail "second run"
  [ "$(cat inc/state)" != "$state_before" ] || fail "position not saved"
  reference reference
  [ "$(snapshot inc)" = "$(snapshot reference)" ] || fail "files differ"
  local stamp
  stamp=$(stat -c %Y.%s inc/* | tr '\n' ' ')
  sleep 1
  expect 0 "Processing ../grow.raw . . ." \
    bash -c "cd inc && '$ferrow' --state=state --rejects=rejects.raw ../grow.raw"
  [ "$(stat -c %Y.%s inc/* | tr '\n' ' ')" = "$stamp" ] ||
    fail "a run with nothing new wrote"
}

# An input that is not the one the state was made from is refused, with
# nothing written: cut shorter, replaced, edited before the position.
test_changed_input() {
  make_input >grow.raw
  mkdir inc
  run_state inc || fail "first run"
  local size change
  size=$(wc -c <grow.raw)
  cp grow.raw good.raw
  for change in shorter replaced edited_start edited_window; do
    cp good.raw grow.raw
    case $change in
      shorter) truncate -s -10 grow.raw ;;
      replaced) make_input | sed 's/^1,/9,/' >grow.raw ;;
      edited_start) printf 'X' | dd of=grow.raw bs=1 seek=1 conv=notrunc 2>/dev/null ;;
      edited_window) printf 'X' | dd of=grow.raw bs=1 seek=$((size - 100)) conv=notrunc 2>/dev/null ;;
    esac
    printf '1,2016,62,0000,%s\r\n' "$VALUES" >>grow.raw
    expect_refused inc "$change" \
      "^Error: The input file ../grow.raw .* the position $size saved in the state file state: .* delete state to convert the input from its start.$"
  done
}

# A state file that is not one, or is the other program's, is refused.
test_bad_state() {
  printf '1,2016,62,0000,%s\r\n' "$VALUES" >in.raw
  printf 'ferrow state 1\nprogram ferrow\nposition twelve\n' >corrupt
  expect 1 "Error: The state file corrupt cannot be read: line 3 is not as this program writes it." \
    "$ferrow" --state=corrupt in.raw
  "$ferrow-g" --state=other in.raw >/dev/null || fail "ferrow-g run"
  expect 1 "Error: The state file other belongs to ferrow-g, not ferrow." \
    "$ferrow" --state=other in.raw
  [ -z "$(ls ./*SN107.csv 2>/dev/null)" ] || fail "a daily file appeared"
}

"test_$2"
finish
