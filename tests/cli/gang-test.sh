#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Several programmers on one computer, with three virtual programmers: the list, one
# operation on all of them at once (one of them failing), serial numbers across the gang,
# and a programmer one run holds refused to another run.
#   tests/cli/gang-test.sh KARDO_CLI DATABASE_DIR SOURCE_DIR
set -uo pipefail

cli=$(realpath "$1")
source "$(dirname "$0")/script-checks.sh"
dbdir=$(realpath "$2")
data=$(realpath "$3")/tests/fileio/data
device=ATMEL/AT28C256
file=$data/ihex-holes.hex

work=$(mktemp -d)
holder=
cleanup() {
  [ -n "$holder" ] && kill -KILL "$holder" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp "$dbdir"/KARDO_e.usb "$dbdir"/KARDO_m.usb "$work"/
cd "$work"
mkdir -m 700 run
# A runtime directory of our own: the locks of other tests running at the same time are
# not ours to see.
export XDG_RUNTIME_DIR=$work/run KARDO_LINK=sim KARDO_SETTINGS=$work/KARDO.ini
export KARDO_SIM_PROGRAMMERS=3 KARDO_SIM_IMAGE=$work/chip.img
unset KARDO_SIM_FAULTS KARDO_PROGRAMMER

# run EXPECTED_STATUS ARGS...: kardo-cli's output in out.txt and err.txt.
run() {
  run_cli "$@"
}

# expect FILE EXTENDED-REGEX: FILE has a line matching it.
expect() {
  grep -qE -- "$2" "$1" || fail "no \"$2\" in $1 of: $(tr '\n' '|' <"$1")"
}

# --- the list ------------------------------------------------------------------------------
run 0 programmers
[ "$(grep -cE '^SIM[1-3] +40 +3 +free$' out.txt)" -eq 3 ] || fail "programmers: $(cat out.txt)"

# --- all at once, each chip read back equal to the file ------------------------------------
run 0 program --all "$device" "$file"
expect out.txt "^ 3 passed, 0 failed$"
for n in 1 2 3; do expect out.txt "^SIM$n: Verified OK$"; done
run 0 read --all "$device" back.hex
run 0 dump "$device" "$file" want.raw
for n in 1 2 3; do
  run 0 dump "$device" "back-SIM$n.hex" got.raw
  cmp -s want.raw got.raw || fail "SIM$n: its chip read back differs from $file"
done

# --- one programmer falls silent: the others finish, the run fails -------------------------
KARDO_SIM_FAULTS=SIM2:quiet-after=100 run 1 program --all "$device" "$file" --log prod.jsonl
expect out.txt "^ SIM1 +passed "
expect out.txt "^ SIM2 +FAILED "
expect out.txt "^ SIM3 +passed "
expect out.txt "^ 2 passed, 1 failed$"
expect err.txt "failed on 1 of 3 programmers"
# One production line each; the silent one gave up within the protocol's timeouts, far
# sooner than a programmer that is waited for without end.
python3 - prod.jsonl <<'PY' || fail "production log: $(cat prod.jsonl)"
import json, sys
lines = [json.loads(l) for l in open(sys.argv[1])]
by = {l["programmer"]["name"]: l for l in lines}
assert len(lines) == 3 and sorted(by) == ["SIM1", "SIM2", "SIM3"]
assert [by[n]["result"] for n in ("SIM1", "SIM2", "SIM3")] == ["passed", "failed", "passed"]
assert by["SIM2"]["duration_ms"] < 60000
PY

# --- serial numbers: every chip the next, in the programmers' order; a failed chip's number
# is named and goes to no other chip --------------------------------------------------------
printf '[SOFTWARE\\Orrinsys\\KARDO]\nSerialDigits=int:4\nSerialAddress=int:256\nSerialHex=bool:false\n' >KARDO.ini
KARDO_SIM_FAULTS=SIM3:quiet-after=100 run 1 program --all "$device" "$file" --serial 1000
expect out.txt "^ SIM1 +passed .* 1000$"
expect out.txt "^ SIM2 +passed .* 1001$"
expect out.txt "^ Serial number 1002 went to the failed chip of SIM3"
expect out.txt "^ Next serial number: 1003$"
run 0 read --all "$device" serials.bin
for n in 1 2; do
  [ "$(dd if="serials-SIM$n.bin" bs=1 skip=256 count=4 2>/dev/null)" = "100$((n - 1))" ] ||
    fail "SIM$n: its chip does not hold serial number 100$((n - 1))"
done

# --- a programmer is never shared ----------------------------------------------------------
# The first run stalls on SIM1 (every transfer waits a minute) and holds it until killed.
KARDO_SIM_FAULTS=SIM1:latency=60000 "$cli" --programmer SIM1 read "$device" held.hex \
  </dev/null >/dev/null 2>&1 &
holder=$!
for _ in $(seq 600); do
  "$cli" programmers >list.txt 2>&1
  grep -qE "^SIM1 .*in use by another program \(process $holder\)" list.txt && break
  sleep 0.1
done
expect list.txt "^SIM1 .*in use by another program"
expect list.txt "^SIM2 +40 +3 +free$"
KARDO_PROGRAMMER=SIM1 run 1 read "$device" second.hex
expect err.txt "programmer SIM1 is in use by another program \(process $holder\)"
[ -e second.hex ] && fail "the refused run wrote its file"
# However the holder ends, the programmer is free again.
kill -KILL "$holder"
wait "$holder" 2>/dev/null
holder=
run 0 --programmer SIM1 read "$device" second.hex

[ "$failures" -eq 0 ] || exit 1
echo "gang: list, all at once, a failing member, serial numbers and the lock checked"
