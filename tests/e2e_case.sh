#!/usr/bin/env bash
# Runs one end-to-end case against the real programs in a fresh folder.
# usage: e2e_case.sh BIN_DIR CASE_DIR
#
# A case folder holds:
#   command   one run per line: the program's name, then its arguments
#   status    the exit status of each run, one per line
#   stdout    everything the runs print, in order
#   stderr    everything the runs print on standard error (optional: without
#             it, standard error must stay empty)
#   stdin     what every run reads on standard input (optional)
#   before/   files laid in the working folder first (optional)
#   after/    every file the runs create or change, byte for byte (optional)
# Any other file left in the folder, or any file of before/ changed, fails.
set -uo pipefail
bin_dir=$(cd "$1" && pwd)
case_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
log=$(mktemp -d)
trap 'rm -rf "$work" "$log"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

[ -d "$case_dir/before" ] && cp -a "$case_dir/before/." "$work/"

: >"$log/stdout"
: >"$log/stderr"
statuses=()
stdin=/dev/null
[ -f "$case_dir/stdin" ] && stdin=$case_dir/stdin
while read -r program arguments; do
  [ -n "$program" ] || continue
  # Word splitting of the arguments is wanted: a case may pass none or two.
  # shellcheck disable=SC2086
  (cd "$work" && "$bin_dir/$program" $arguments <"$stdin") \
    >>"$log/stdout" 2>>"$log/stderr"
  statuses+=("$?")
done <"$case_dir/command"

printf '%s\n' "${statuses[@]}" | cmp -s - "$case_dir/status" ||
  fail "status: got ${statuses[*]}, want $(tr '\n' ' ' <"$case_dir/status")"
cmp -s "$log/stdout" "$case_dir/stdout" ||
  fail "stdout differs:$(diff "$case_dir/stdout" "$log/stdout" | head -20)"
if [ -f "$case_dir/stderr" ]; then
  cmp -s "$log/stderr" "$case_dir/stderr" ||
    fail "stderr differs:$(diff "$case_dir/stderr" "$log/stderr" | head -20)"
elif [ -s "$log/stderr" ]; then
  fail "stderr not empty: $(head -c 500 "$log/stderr")"
fi

# Every file in the folder must be expected, or laid there and unchanged.
while IFS= read -r -d '' entry; do
  name=${entry#./}
  if [ -e "$case_dir/after/$name" ]; then
    cmp -s "$work/$name" "$case_dir/after/$name" || fail "$name differs"
  elif [ -L "$case_dir/before/$name" ]; then
    [ "$(readlink "$work/$name")" = "$(readlink "$case_dir/before/$name")" ] ||
      fail "link $name changed"
  elif [ -e "$case_dir/before/$name" ]; then
    cmp -s "$work/$name" "$case_dir/before/$name" || fail "$name changed"
  else
    fail "unexpected file $name"
  fi
done < <(cd "$work" && find . ! -type d -print0)

if [ -d "$case_dir/after" ]; then
  while IFS= read -r -d '' entry; do
    name=${entry#./}
    [ -e "$work/$name" ] || fail "missing file $name"
  done < <(cd "$case_dir/after" && find . -type f -print0)
fi

[ "$failures" -eq 0 ] || exit 1
echo "ok"
