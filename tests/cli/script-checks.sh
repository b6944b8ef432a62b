# SPDX-License-Identifier: GPL-3.0-or-later
# What the kardo-cli script tests share, sourced after they set $cli: a count of the
# checks that failed, and one way to run kardo-cli and check how it ended.

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run_cli EXPECTED_STATUS ARGS...: runs kardo-cli with no input, keeps its output in
# out.txt and err.txt, and checks the exit status; a wrong one fails, shows both outputs
# and returns 1.
run_cli() {
  local want=$1
  shift
  "$cli" "$@" </dev/null >out.txt 2>err.txt
  local got=$?
  if [ "$got" -ne "$want" ]; then
    fail "kardo-cli $* exited $got, not $want"
    sed 's/^/    out: /' out.txt >&2
    sed 's/^/    err: /' err.txt >&2
    return 1
  fi
  return 0
}
