#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++ source and header of the program, its tools, tests, fuzz targets and
# benchmarks starts with the licence's SPDX line. The sources of test data made by
# outside toolchains stay as those files were built from.
#   tests/packaging/spdx-test.sh SOURCE_DIR
set -uo pipefail
cd "$1" || exit 1
line='// SPDX-License-Identifier: GPL-3.0-or-later'
missing=$(find src tools tests fuzz bench -path '*/data/src' -prune -o \
  \( -name '*.cpp' -o -name '*.h' \) -type f -print | sort |
  while read -r file; do
    [ "$(head -n 1 "$file")" = "$line" ] || echo "$file"
  done)
if [ -n "$missing" ]; then
  echo "FAIL: these files do not start with \"$line\":" >&2
  echo "$missing" >&2
  exit 1
fi
echo "$(find src tools tests fuzz bench -name '*.cpp' -o -name '*.h' | wc -l) sources carry the SPDX line"
