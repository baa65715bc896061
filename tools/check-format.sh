#!/usr/bin/env bash
# Fails, naming the files, when a C++ source of the tree is not as
# .clang-format writes it. With --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
# One run over every file; each difference is reported as "file:line:col: error: ...".
if ! report=$(clang-format --dry-run --Werror "${sources[@]}" 2>&1); then
  echo "Not formatted (tools/check-format.sh --fix formats them):" >&2
  grep -o '^[^:]*:[0-9]*:[0-9]*: error' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/  /' >&2
  exit 1
fi
echo "All ${#sources[@]} C++ sources are formatted."
