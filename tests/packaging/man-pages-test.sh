#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages as the build configured them: each heading carries a full date that
# parses and the project's version, and man formats the page without a warning.
#   tests/packaging/man-pages-test.sh PAGES_DIR VERSION
set -uo pipefail
pages=$1
version=$2

if ! command -v man >/dev/null; then
  echo "FAIL: man is needed and missing (./scripts/install-deps man-db)" >&2
  exit 1
fi

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

for page in kardo.1 kardo-cli.1 kardo-db.1; do
  file=$pages/$page
  [ -f "$file" ] || { fail "$file is missing"; continue; }
  heading=$(grep -m 1 '^\.TH ' "$file")
  # .TH NAME SECTION "DATE" "SOURCE" "MANUAL"
  date=$(sed -nE 's/^\.TH [^ ]+ 1 "([^"]*)".*/\1/p' <<<"$heading")
  source=$(sed -nE 's/^\.TH [^ ]+ 1 "[^"]*" "([^"]*)".*/\1/p' <<<"$heading")
  [[ "$date" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ ]] && date -d "$date" >/dev/null 2>&1 ||
    fail "$page: the date \"$date\" of \"$heading\" is not a full date"
  [ "$source" = "KARDO $version" ] || fail "$page: \"$source\" is not \"KARDO $version\""
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: man warns: $warnings"
done

[ "$failures" -eq 0 ] || exit 1
echo "3 manual pages: dates, versions and formatting checked"
