# Shared by the shell tests that run the real programs: sourced with the
# programs' folder as $1; each test then runs in a fresh work folder.
set -uo pipefail
bin_dir=$(cd "$1" && pwd)
ferrow=$bin_dir/ferrow
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# expect STATUS STDOUT_TEXT COMMAND...: runs a command in the work folder.
expect() {
  local want_status=$1 want_out=$2
  shift 2
  local out status
  out=$("$@" 2>&1)
  status=$?
  [ "$status" -eq "$want_status" ] || fail "$*: status $status, want $want_status"
  [ "$out" = "$want_out" ] || fail "$*: printed [$out], want [$want_out]"
}

# finish: the test's verdict as the exit status.
finish() {
  [ "$failures" -eq 0 ] || exit 1
  echo "ok"
}
