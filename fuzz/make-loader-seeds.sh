#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the seed corpora of the data-file fuzz targets from the files the outside tools
# made for the loader's tests (tests/fileio/data): the head and the tail of each, so
# every seed has the tool's own records and end record but stays small enough to fuzz
# quickly. Run it again after tests/fileio/data/make-test-data.sh. The JEDEC target's
# seeds (corpus/load_jedec) are written by hand: none of those tools makes fuse maps.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
data="$here/../tests/fileio/data"
corpus="$here/corpus"

seed() {  # target file...
  local target=$1; shift
  mkdir -p "$corpus/$target"
  rm -f "$corpus/$target"/*
  for f in "$@"; do
    { head -n 24 "$data/$f"; tail -n 2 "$data/$f"; } >"$corpus/$target/$(basename "$f")"
  done
}

seed load_intel_hex ihex-linear.hex ihex-segment.hex ihex-holes.hex ihex-unordered.hex \
  ihex-lower-crlf.hex ihex-block64.hex avr-ihex.hex avr-eeprom.hex mcs51.ihx
seed load_motorola srec-s1.s19 srec-s2.s28 srec-s3.s37 avr-srec.srec
seed load_inh8m pic16f84a-inhx8m.hex pic16f628a-inhx8m.hex pic12f508-inhx8m.hex pic18f452-inhx32.hex
seed load_inx16 pic16f84a-inhx16.hex

# Binary: four bytes of offset, then the start of a real image.
mkdir -p "$corpus/load_binary"
rm -f "$corpus/load_binary"/*
for f in avr-ihex.expect.bin mcs51.expect.bin payload.bin; do
  { printf '\x00\x00\x00\x00'; head -c 512 "$data/$f"; } >"$corpus/load_binary/${f%.bin}-at-0"
  { printf '\x00\xff\xff\xff'; head -c 512 "$data/$f"; } >"$corpus/load_binary/${f%.bin}-below-0"
done
