#!/usr/bin/env bash
# Static checks: clang-tidy and cppcheck on the product's code, clang-format
# and the .editorconfig rules on every tracked file. Needs the sanitize
# build's compile_commands.json (cmake --preset sanitize).
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
sources=(converter/*.cc programs/*/main.cc examples/generate_raw.cc bench/line_copy.cc)

echo "clang-tidy"
clang-tidy -p build/sanitize --quiet "${sources[@]}" 2>/dev/null ||
  status=1

echo "cppcheck"
cppcheck --enable=warning,performance,portability --error-exitcode=1 \
  --inline-suppr --std=c++17 --quiet -I . converter programs examples bench \
  tests/fuzz || status=1

echo "clang-format"
mapfile -t cxx < <(git ls-files '*.cc' '*.h')
clang-format --dry-run --Werror "${cxx[@]}" || status=1

echo "editorconfig"
# Fixtures keep their raw bytes; everything else is plain text with LF.
mapfile -t text < <(git ls-files | grep -vE '^(tests/e2e/|tests/fuzz/corpus/|examples/.*\.raw$)')
for file in "${text[@]}"; do
  [ -L "$file" ] && continue
  if grep -qP '\r' "$file"; then echo "$file: CR byte"; status=1; fi
  if grep -qP '[ \t]+$' "$file"; then echo "$file: trailing blank"; status=1; fi
  if [ -s "$file" ] && [ -n "$(tail -c 1 "$file")" ]; then
    echo "$file: no final newline"; status=1
  fi
  case "$file" in
    *.cc | *.h | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt | *.md | *.json)
      if grep -qP '^\t' "$file"; then echo "$file: tab indent"; status=1; fi ;;
  esac
done

[ "$status" -eq 0 ] && echo "lint clean"
exit "$status"
