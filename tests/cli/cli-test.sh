#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the built kardo-cli as a user would: against the virtual programmer with a chip
# kept in a file between runs, on the loader's files made by other people's tools, and
# with every kind of bad input. srec_cat is the oracle for the byte-organised files.
#   tests/cli/cli-test.sh KARDO_CLI DATABASE_DIR SOURCE_DIR VERSION
set -uo pipefail

cli=$(realpath "$1")
source "$(dirname "$0")/script-checks.sh"
dbdir=$(realpath "$2")
source=$(realpath "$3")
version=$4
data=$source/tests/fileio/data
elfdata=$source/tests/cli/data

for tool in srec_cat cmp; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAIL: $tool is needed and missing (./scripts/install-deps srecord)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$dbdir"/KARDO_e.usb "$dbdir"/KARDO_m.usb "$work"/
cd "$work"
export KARDO_LINK=sim
unset KARDO_SIM_IMAGE
export KARDO_SETTINGS="$work/KARDO.ini"
unset KARDO_SIM_FAULTS

# run EXPECTED_STATUS ARGS...: run_cli, with a chip file for each device, as a bench
# keeps a chip of each part: a chip file of another device is never written over.
run() {
  local device=${3:-none}
  KARDO_SIM_IMAGE=${KARDO_SIM_IMAGE:-$work/chip-${device//\//_}.img} run_cli "$@"
}

# expect FILE TEXT: FILE has a line containing TEXT.
expect() {
  grep -qF -- "$2" "$1" || fail "no \"$2\" in $1 of: $(tr '\n' '|' <"$1")"
}

# same_bytes A B N: the first N bytes of A and B are equal.
same_bytes() {
  cmp -n "$(($3))" "$1" "$2" >/dev/null || fail "$1 and $2 differ in their first $3 bytes"
}

# --version: the version the package carries, and nothing else.
run 0 --version && [ "$(cat out.txt)" = "kardo-cli $version" ] ||
  fail "kardo-cli --version printed \"$(cat out.txt)\", not \"kardo-cli $version\""

# --- program, verify and read back, for the three families --------------------------------
# round_trip DEVICE FILE READ_BACK READ_LINE [OPTIONS]: the chip holds what was programmed,
# and the file read back loads into the same buffer as the file that was programmed.
round_trip() {
  local device=$1 file=$2 back=$3 line=$4
  shift 4
  run 0 program "$device" "$file" "$@" && expect out.txt " Parameters sent OK"
  run 0 verify "$device" "$file" "$@"
  run 0 read "$device" "$back" "$@" && expect out.txt "$line"
  run 0 dump "$device" "$file" want.raw && run 0 dump "$device" "$back" got.raw &&
    cmp want.raw got.raw >/dev/null || fail "$device: $back read back differs from $file"
}

round_trip ATMEL/AT28C256 "$data/ihex-holes.hex" eeprom-back.hex " Read Completed"
srec_cat eeprom-back.hex -intel -fill 0xFF 0 0x8000 -o eeprom-back.bin -binary
same_bytes eeprom-back.bin "$data/ihex-holes.expect.bin" 0x8000

round_trip MICROCHIP/PIC16F84A "$data/pic16f84a-inhx8m.hex" pic-back.hex " Config Bytes Read"

round_trip ATMEL/ATmega8 "$data/atmega8-ihex.hex" avr-back.hex " Read Completed" --fuses E1:D9:FF:FF
srec_cat avr-back.hex -intel -fill 0xFF 0 0x2000 -o avr-back.bin -binary
same_bytes avr-back.bin "$data/atmega8-ihex.expect.bin" 0x2000

# The ELF avr-gcc linked programs the flash its avr-objcopy hex holds.
run 0 erase ATMEL/ATmega8
run 0 program ATMEL/ATmega8 "$elfdata/atmega8-chaser.elf" --fuses E1:D9:FF:FF
run 0 verify ATMEL/ATmega8 "$data/atmega8-ihex.hex"
expect out.txt " Code Area Verified OK"

# An AVR ELF brings its own fuse and lock bytes, and its EEPROM lands after the code,
# where no step programs it: refused, unless --allow-truncate programs the rest.
run 1 program ATMEL/ATmega328P "$elfdata/avr-fuses.elf" && expect err.txt "data EEPROM bytes 0x8000 to 0x8009"
run 1 program ATMEL/ATmega8 "$elfdata/avr-fuses.elf" --fuses E1:D9:FF:FF && expect err.txt ".eeprom section"
run 0 program ATMEL/ATmega328P "$elfdata/avr-fuses.elf" --allow-truncate &&
  expect out.txt " Fusebits Programmed" && expect err.txt "left out"
run 0 dump ATMEL/ATmega328P "$elfdata/avr-fuses.elf" avr-elf.raw
same_bytes avr-elf.raw "$elfdata/avr-fuses-flash.expect.bin" 316
dd if=avr-elf.raw of=avr-elf-eeprom.raw bs=1 skip=$((0x8000)) count=10 2>/dev/null
same_bytes avr-elf-eeprom.raw "$elfdata/avr-fuses-eeprom.expect.bin" 10
run 1 checksum ATMEL/ATmega8 "$elfdata/x86-64-object.o" --in-format elf && expect err.txt "machine 62"

# A chip that reads back wrong at one address fails the verify with the compare line.
run 0 program ATMEL/AT28C256 "$data/ihex-holes.hex"
KARDO_SIM_FAULTS=corrupt=0x1A3 run 1 verify ATMEL/AT28C256 "$data/ihex-holes.hex"
expect out.txt "Compare Error @ 0x001A3"
expect err.txt "failed"

# A serial number goes where the window's settings put it; the settings stay as they were.
printf '[SOFTWARE\\Orrinsys\\KARDO]\nSerialDigits=int:4\nSerialAddress=int:256\nSerialHex=bool:false\n' >KARDO.ini
cp KARDO.ini KARDO.ini.before
run 0 program ATMEL/AT28C256 "$data/ihex-holes.hex" --serial 42 && expect out.txt " Serial Number 0042 @ 0x100"
run 0 read ATMEL/AT28C256 serial-back.bin
[ "$(dd if=serial-back.bin bs=1 skip=256 count=4 2>/dev/null)" = "0042" ] || fail "serial number not on the chip"
cmp KARDO.ini KARDO.ini.before >/dev/null || fail "the settings changed"
run 2 verify ATMEL/AT28C256 "$data/ihex-holes.hex" --serial 42

# A chip file of another device is kept as it is, and the command says so.
run 0 program ATMEL/AT28C256 "$data/ihex-holes.hex"
cp "$work/chip-ATMEL_AT28C256.img" kept.img
KARDO_SIM_IMAGE="$work/chip-ATMEL_AT28C256.img" run 0 read ATMEL/AT28C64B other.bin &&
  expect err.txt "holds a chip of AT28C256, not of AT28C64B; it is left as it is"
cmp kept.img "$work/chip-ATMEL_AT28C256.img" >/dev/null || fail "the chip file of another device changed"

# --- faults of the programmer --------------------------------------------------------------
run 0 erase ATMEL/ATmega8 && run 0 blank ATMEL/ATmega8
KARDO_SIM_FAULTS=not-blank run 1 blank ATMEL/ATmega8
KARDO_SIM_FAULTS=quiet-after=100 run 1 program ATMEL/AT28C256 "$data/ihex-holes.hex"
KARDO_SIM_FAULTS=break-after=4096 run 1 program ATMEL/AT28C256 "$data/ihex-holes.hex"
KARDO_SIM_FAULTS=wrong-chip run 1 read ATMEL/ATmega8 && expect err.txt "CHIP_ID Error"
KARDO_SIM_FAULTS=wrong-chip run 0 read ATMEL/ATmega8 --id-check off
KARDO_SIM_FAULTS=loud run 2 read ATMEL/ATmega8 && expect err.txt "\"loud\" is not a fault"
run 1 read ATMEL/ATmega8 --link ftdi && expect err.txt "no programmer found"

# --- convert and dump against srec_cat -----------------------------------------------------
while read -r name kind size; do
  file=$data/$name
  stem=${name%.*}
  run 0 dump ATMEL/AT28C010 "$file" "$stem.raw" && same_bytes "$stem.raw" "$data/$stem.expect.bin" "$size"
  for out in srec:s37 ihex:hex bin:bin; do
    run 0 convert ATMEL/AT28C010 "$file" "$stem.${out#*:}" --range "0:$(printf '%X' $((size - 1)))" ||
      continue
    case ${out%%:*} in
      srec) srec_cat "$stem.s37" -motorola -fill 0xFF 0 "$size" -o "$stem.cmp" -binary 2>/dev/null ;;
      ihex) srec_cat "$stem.hex" -intel -fill 0xFF 0 "$size" -o "$stem.cmp" -binary ;;
      bin) cp "$stem.bin" "$stem.cmp" ;;
    esac
    same_bytes "$stem.cmp" "$data/$stem.expect.bin" "$size"
  done
done <"$data/expect.txt"

# The checksum of the window, whole process, for a file and for the erased buffer.
run 0 checksum ATMEL/AT28C256 && [ "$(tail -n 1 out.txt)" = "8000" ] || fail "erased AT28C256 checksum"
run 0 checksum atmel/at28c256 "$data/ihex-holes.hex" && expect out.txt " File "

# --- bad input: a usage error is 2, a failed file or operation 1, each with its reason ------
run 2 info NOBODY/NOTHING && expect err.txt "unknown device"
run 2 frobnicate && expect err.txt "unknown command"
run 2 checksum ATMEL/AT28C256 --bogus && expect err.txt "unknown option --bogus"
run 2 convert ATMEL/AT28C256 "$data/ihex-holes.hex" x.out --out-format elf
run 2 convert ATMEL/AT28C256 "$data/ihex-holes.hex" x.out --in-format pdf && expect err.txt "unknown format"
run 2 program ATMEL/AT28C256
run 2 read ATMEL/AT28C256 x.hex --range 0:FFFFFFF && expect err.txt "lies beyond the buffer"
grep -q "Parameters sent" out.txt && fail "a read with a range it cannot write reached the programmer"
run 2 blank ATMEL/AT28C256 && expect err.txt "does not offer a blank check"
run 2 program ATMEL/ATmega8 "$data/atmega8-ihex.hex" && expect err.txt "--fuses"
run 1 checksum ATMEL/AT28C256 "$work/missing.hex" && expect err.txt "cannot read"
# A file that cannot be written says why, in the system's words.
run 1 convert ATMEL/AT28C256 "$data/ihex-holes.hex" nodir/out.hex &&
  expect err.txt "cannot write nodir/out.hex: No such file or directory"
run 1 dump ATMEL/AT28C256 "$data/ihex-holes.hex" nodir/out.raw &&
  expect err.txt "cannot write nodir/out.raw: No such file or directory"
printf ':10000000FFFF\n' >truncated.hex
run 1 checksum ATMEL/AT28C256 truncated.hex && expect err.txt "could not be loaded"
printf ':1000000Z\n' >nothex.hex
run 1 checksum ATMEL/AT28C256 nothex.hex && expect err.txt "is not a valid integer value"
printf 'garbage' >notelf.elf
run 1 checksum ATMEL/ATmega8 notelf.elf
run 2 devices --db-dir "$work/nowhere" && expect err.txt "--db-dir"
# The database is found where --db-dir says, whatever the current directory.
(cd / && "$cli" devices --db-dir "$work" </dev/null >"$work/out.txt") || fail "devices --db-dir"
expect out.txt "MICROCHIP/PIC16F84A"
# Installed as cmake --install lays it out, it finds its database in share/kardo beside
# bin/, started from anywhere; with none there it names every place it looked.
mkdir -p "$work/prefix/bin" "$work/prefix/share/kardo"
cp "$cli" "$work/prefix/bin/kardo-cli"
(cd / && "$work/prefix/bin/kardo-cli" devices </dev/null >"$work/out.txt" 2>"$work/err.txt") &&
  fail "an installed kardo-cli without a database succeeded"
expect err.txt "$work/prefix/share/kardo"
cp "$work/KARDO_m.usb" "$work/prefix/share/kardo/"
(cd / && "$work/prefix/bin/kardo-cli" devices </dev/null >"$work/out.txt") ||
  fail "devices from an installed kardo-cli"
expect out.txt "MICROCHIP/PIC16F84A"

# --- no false success ---------------------------------------------------------------------
# Data the device cannot take is refused before the chip is touched; --allow-truncate takes
# what fits, and says what it left out.
srec_cat -generate 0 0x20000 -repeat-string KARDO -o big.hex -intel
run 1 program ATMEL/AT28C256 big.hex && expect err.txt "above the device's last address 0x7FFF"
grep -q "Parameters sent" out.txt && fail "a file bigger than the device reached the programmer"
run 0 program ATMEL/AT28C256 big.hex --allow-truncate && expect err.txt "left out, not programmed"
run 1 verify ATMEL/AT28C256 "$data/ihex-holes.hex" --offset 7FF0 && expect err.txt "not be verified"
run 2 erase ATMEL/AT28C256 --allow-truncate
# A step the device does not have is a usage error, not a write over the code read.
run 2 read ATMEL/ATmega8 steps.hex --steps 09 && expect err.txt "offers only the steps 41"
# A link that breaks part-way through a read ends with the line of what failed.
KARDO_SIM_FAULTS=break-after=3000 run 1 read ATMEL/ATmega8 && expect out.txt " Error with"
# An erase the chip does not confirm fails with its line.
KARDO_SIM_FAULTS=erase-fails run 1 erase ATMEL/ATmega8 && expect out.txt " ERASE Error"
# A database file cut short: what it holds is listed, and the command fails naming it.
mkdir -p cutdb
cp KARDO_e.usb cutdb/
head -c 6000 KARDO_m.usb >cutdb/KARDO_m.usb
run 1 devices --db-dir cutdb && expect err.txt "KARDO_m.usb is cut short"
expect out.txt "ATMEL/AT28C256"
last=$("$cli" devices --type micro </dev/null | tail -n 1 | cut -d' ' -f1)
run 1 info "$last" --db-dir cutdb && expect err.txt "KARDO_m.usb is cut short"

# Without a terminal, standard error carries no progress bar.
run 0 program ATMEL/AT28C256 "$data/ihex-holes.hex"
[ -s err.txt ] && fail "program wrote to standard error without a terminal: $(cat err.txt)"

# --- names, searches, conventions -------------------------------------------------------
run 0 info AT28C256 && expect out.txt '"AT28C256"'
run 2 info AT28C265 && expect err.txt "did you mean AT28C256"
run 0 devices 877 && expect out.txt "MICROCHIP/PIC16F877A"
run 0 devices 'pic18f4?8*' && expect out.txt "MICROCHIP/PIC18F458"
run 0 devices --family m && expect out.txt "ATMEL/ATmega8 "
# Another name of a part is listed, and says which part it is counted as.
run 0 devices atmega8a && expect out.txt "ATMEL/ATmega8A               M  0x2000  = ATMEL/ATmega8"
run 0 --db-dir "$work" devices && expect out.txt "ATMEL/AT28C256"
run 0 --link sim --db-dir="$work" checksum AT28C256
"$cli" checksum at28c256 - <"$data/ihex-holes.hex" >out.txt 2>err.txt || fail "checksum from standard input"
[ "$(tail -n 1 out.txt)" = "$("$cli" checksum AT28C256 "$data/ihex-holes.hex" | tail -n 1)" ] ||
  fail "standard input gave another checksum than the file"
# The content decides the format; a name that says otherwise gets a note.
cp "$data/srec-s1.s19" srec-named.hex
run 0 checksum AT28C256 srec-named.hex && expect err.txt "holds srec, not the ihex"
cp "$elfdata/atmega8-chaser.elf" elf-named.bin
run 0 dump ATMEL/ATmega8 elf-named.bin elf.raw && expect err.txt "holds elf"
run 0 dump ATMEL/ATmega8 "$elfdata/atmega8-chaser.elf" elf-ref.raw && cmp -s elf.raw elf-ref.raw ||
  fail "an ELF named .bin did not load as ELF"
"$cli" convert AT28C256 "$data/ihex-holes.hex" - --out-format srec >stdout.s19 2>err.txt ||
  fail "convert to standard output"
srec_cat stdout.s19 -motorola -o stdout.bin -binary 2>srec.err || fail "srec_cat on standard output"
[ -s srec.err ] && fail "srec_cat warned about what we wrote: $(cat srec.err)"
grep -q "Loaded" stdout.s19 && fail "log lines mixed into the file on standard output"

# --- JSON for scripts -------------------------------------------------------------------
if command -v python3 >/dev/null; then
  json_check() { # json_check FILE PYTHON-EXPRESSION-ON-OBJECTS
    python3 -c "import json,sys; o=[json.loads(l) for l in open(sys.argv[1])]; sys.exit(0 if ($2) else 1)" "$1" ||
      fail "JSON check $2 on $(cat "$1")"
  }
  run 0 devices 28C256 --json && json_check out.txt "len(o) > 1 and all('name' in x and 'family' in x for x in o)"
  run 0 info AT28C256 --json && json_check out.txt "o[0]['record']['Name'] == '\"AT28C256\"'"
  run 0 checksum AT28C256 "$data/ihex-holes.hex" --json &&
    json_check out.txt "len(o) == 1 and o[0]['checksum'] and o[0]['log']"
  run 0 program AT28C256 "$data/ihex-holes.hex" --json &&
    json_check out.txt "len(o) == 1 and o[0]['result'] == 'passed' and o[0]['operation'] == 'program' and o[0]['errors'] == 0 and 'duration_ms' in o[0] and o[0]['checksum'] and o[0]['log']"
  KARDO_SIM_FAULTS=wrong-chip run 1 read ATMEL/ATmega8 --json &&
    json_check out.txt "o[0]['result'] == 'failed' and o[0]['errors'] > 0"
  expect err.txt "--id-check off"
else
  fail "python3 is needed for the JSON checks"
fi

# --- the production log -------------------------------------------------------------------
rm -f production.jsonl
"$cli" program AT28C256 "$data/ihex-holes.hex" --log production.jsonl >/dev/null 2>&1 &
"$cli" program AT28C256 "$data/ihex-holes.hex" --log production.jsonl >/dev/null 2>&1 &
wait
[ "$(wc -l <production.jsonl)" -eq 2 ] || fail "two runs did not append two lines"
sum=$(sha256sum "$data/ihex-holes.hex" | cut -d' ' -f1)
python3 -c "
import json, sys
for line in open('production.jsonl'):
    o = json.loads(line)
    assert o['sha256'] == sys.argv[1], o
    assert o['device'] == 'ATMEL/AT28C256' and o['operation'] == 'program', o
    assert o['result'] in ('passed', 'failed') and 'time' in o and 'host' in o, o
    assert 'model' in o['programmer'] and 'firmware' in o['programmer'], o
" "$sum" || fail "the production log lines: $(cat production.jsonl)"

# --- program --repeat ---------------------------------------------------------------------
run 2 program AT28C256 "$data/ihex-holes.hex" --repeat && expect err.txt "needs a terminal"
if command -v script >/dev/null; then
  rm -f repeat.jsonl
  printf '\n\nq\n' | script -qec "'$cli' program AT28C256 '$data/ihex-holes.hex' --repeat --serial 1 --log repeat.jsonl" /dev/null >repeat.txt 2>&1 ||
    fail "program --repeat failed: $(tr '\r\n' '  ' <repeat.txt)"
  grep -q "Programmed: 3 passed, 0 failed" repeat.txt || fail "no summary of three chips: $(cat repeat.txt)"
  python3 -c "
import json
serials = [json.loads(l)['serial'] for l in open('repeat.jsonl')]
assert serials == [1, 2, 3], serials
" || fail "the three chips did not get serial numbers 1, 2, 3"
else
  fail "script (bsdutils) is needed for the --repeat check"
fi

# Every command explains itself.
for command in devices info convert dump checksum blank read program verify erase; do
  run 0 "$command" --help && expect out.txt "usage: kardo-cli $command"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "kardo-cli: every check passed"
