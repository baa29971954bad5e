#!/usr/bin/env bash
# Installs the release build into a temporary prefix and checks that the
# installed programs and man pages work; then builds the Debian package,
# checks its contents and, when run as root in CI, installs and removes it.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install build/release --prefix "$prefix" >/dev/null
for program in ferrow ferrow-g; do
  "$prefix/bin/$program" --version | grep -qx "$program [0-9.]*"
  "$prefix/bin/$program" --help | grep -q "^Usage: $program \[OPTION\]... FILE"
  page=$prefix/share/man/man1/$program.1
  # Lint first: a warning fails the check.
  [ -z "$(groff -ww -man -Tutf8 "$page" 2>&1 >/dev/null)" ]
  mandoc -T lint "$page"
  MANPAGER=cat man -l "$page" | grep -q "ferrow, ferrow-g"
done
for path in share/bash-completion/completions/ferrow \
  share/bash-completion/completions/ferrow-g share/doc/ferrow/examples/ferrow.cron \
  share/doc/ferrow/examples/ferrow-station.timer; do
  [ -e "$prefix/$path" ] || { echo "install lacks $path"; exit 1; }
done
# The completion offers the options.
(source "$prefix/share/bash-completion/completions/ferrow"
  COMP_WORDS=(ferrow --rej)
  COMP_CWORD=1
  _ferrow
  [ "${COMPREPLY[*]}" = "--rejects=" ]) || { echo "completion"; exit 1; }
(cd "$work" && "$prefix/bin/ferrow" "$OLDPWD/examples/ferrow_sample.raw" >/dev/null)
[ "$(ls "$work" | wc -l)" -eq 4 ]
echo "install into a prefix: ok"

cmake --workflow --preset package >/dev/null
package=$(ls build/release/ferrow_*.deb)
contents=$(dpkg-deb -c "$package" | awk '{print $NF == "ferrow.1" ? $(NF-2) : $NF}')
for path in ./usr/bin/ferrow ./usr/bin/ferrow-g ./usr/share/man/man1/ferrow.1 \
  ./usr/share/man/man1/ferrow-g.1 ./usr/share/bash-completion/completions/ferrow \
  ./usr/share/doc/ferrow/examples/ferrow.cron; do
  grep -qx "$path" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
echo "package contents: ok"
dpkg-deb -c "$package"

if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$package" >/dev/null
  /usr/bin/ferrow --version
  MANPAGER=cat man ferrow-g | grep -q "ferrow, ferrow-g"
  dpkg -r ferrow >/dev/null
  [ ! -e /usr/bin/ferrow ] && [ ! -e /usr/share/man/man1/ferrow.1 ]
  echo "package installs and removes: ok"
fi
