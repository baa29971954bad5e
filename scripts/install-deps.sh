#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, plus any
# named on the command line; quick when everything is already there.
# usage: scripts/install-deps.sh [PACKAGE...]
set -euo pipefail
wanted=(cmake ninja-build g++ libgtest-dev libgmock-dev "$@")
missing=()
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null |
    grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
