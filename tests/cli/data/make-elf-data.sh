#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the data files of the ELF reader tests with the toolchains that write such
# files, so that the reader is checked against the linker's idea of where each byte
# goes and never against our own. The tests only read the committed results; run this
# again only to change or add a file. Every run makes the same bytes from the same tool
# versions (versions.txt says which were used).
#
#   avr-fuses.elf              src/avr-fuses.c linked by avr-gcc -mmcu=atmega328p -Os:
#                              code, initialised .data (loaded after .text), .eeprom,
#                              .fuse (three bytes), .lock and .signature
#   avr-fuses-flash.hex        its program memory, avr-objcopy -O ihex -R .eeprom
#                              -R .fuse -R .lock -R .signature
#   avr-fuses-eeprom.hex       its EEPROM, avr-objcopy -j .eeprom
#                              --change-section-lma .eeprom=0 -O ihex
#   avr-fuses-flash.expect.bin srec_cat's reading of each hex file from address 0 to
#   avr-fuses-eeprom.expect.bin  its last byte (0xFF in any hole)
#   avr-fuses.fuses.txt        the fuse and lock bytes as avr-objdump -s shows the .fuse
#                              and .lock sections: "fuse <index> <value>" lines, one per
#                              byte from 0x820000 on, and "lock <value>"
#   atmega8-chaser.elf         ../../fileio/data/src/atmega8-chaser.c built as
#                              make-test-data.sh builds atmega8-ihex.hex; the script
#                              fails unless avr-objcopy makes that very hex file from it
#   mcs51-sections.elf         ../../fileio/data/mcs51.ihx (sdcc's own output) turned into
#                              ELF sections by objcopy -I ihex -O elf32-little, its
#                              type then set to an executable and its machine to the
#                              8051: an executable with sections and no program headers
#   x86-64-object.o            src/host-tiny.c compiled by the host gcc -c: an ELF for
#                              another machine (and not linked)
#   versions.txt               the tool versions that made all of the above
#
# No 8051 ELF from sdcc itself: sdcc (4.2) writes ELF for its hc08, s08 and stm8 ports
# only; for mcs51 it ignores --out-fmt-elf with a warning, and its 8051 linker has no
# ELF output. mcs51-sections.elf stands in for one.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
export LC_ALL=C
fileio=../../fileio/data

# --- tools ---------------------------------------------------------------------------
packages=(srecord gcc-avr avr-libc binutils-avr binutils gcc)
"$here/../../../scripts/install-deps" "${packages[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Start from nothing, so that a file this script no longer makes does not linger.
rm -f ./*.elf ./*.o ./*.hex ./*.bin ./*.txt

fail() {
  echo "make-elf-data: $*" >&2
  exit 1
}

# expect_bin HEX: srec_cat's image of HEX from 0 to its last byte, holes 0xFF.
expect_bin() {
  local hex=$1
  srec_cat "$hex" -intel -fill 0xFF 0 -over "(" "$hex" -intel ")" -o "${hex%.hex}.expect.bin" \
    -binary
  [ -s "${hex%.hex}.expect.bin" ] || fail "$hex holds no data"
}

# --- the ATmega328P program with fuses -----------------------------------------------
avr-gcc -mmcu=atmega328p -Os -Wall -Wextra -Werror -o avr-fuses.elf src/avr-fuses.c
chmod 644 avr-fuses.elf
avr-objcopy -O ihex -R .eeprom -R .fuse -R .lock -R .signature avr-fuses.elf \
  avr-fuses-flash.hex
avr-objcopy -j .eeprom --change-section-lma .eeprom=0 -O ihex avr-fuses.elf \
  avr-fuses-eeprom.hex
expect_bin avr-fuses-flash.hex
expect_bin avr-fuses-eeprom.hex

# avr-objdump -s prints each section as lines of "<address> <up to 16 bytes in groups
# of 4> <text>"; the fuses must start at 0x820000 and the lock byte be at 0x830000.
avr-objdump -s -j .fuse -j .lock avr-fuses.elf | awk '
  function fail(msg) { print "make-elf-data: " msg > "/dev/stderr"; bad = 1; exit 1 }
  /^Contents of section / { section = $4; sub(/:$/, "", section); next }
  section != "" && $1 ~ /^[0-9a-f]+$/ {
    hex = ""
    for (i = 2; i <= NF && $i ~ /^[0-9a-f]+$/ && length($i) % 2 == 0 && length($i) <= 8; i++)
      hex = hex $i
    if (section == ".fuse") {
      if ($1 != "820000" || fuses > 0) fail(".fuse is not one line from 0x820000")
      for (j = 1; j <= length(hex); j += 2) printf "fuse %d 0x%s\n", fuses++, toupper(substr(hex, j, 2))
    } else if (section == ".lock") {
      if ($1 != "830000" || length(hex) != 2) fail(".lock is not one byte at 0x830000")
      printf "lock 0x%s\n", toupper(hex); locks++
    }
  }
  END { if (!bad && (fuses != 3 || locks != 1)) fail("expected three fuse bytes and a lock byte") }
' >avr-fuses.fuses.txt

# --- the ATmega8 program of the loader tests -----------------------------------------
avr-gcc -mmcu=atmega8 -Os -Wall -Wextra -Werror -o atmega8-chaser.elf \
  "$fileio/src/atmega8-chaser.c"
chmod 644 atmega8-chaser.elf
avr-objcopy -O ihex -R .eeprom atmega8-chaser.elf "$work/atmega8-ihex.hex"
cmp -s "$work/atmega8-ihex.hex" "$fileio/atmega8-ihex.hex" ||
  fail "atmega8-chaser.elf does not give $fileio/atmega8-ihex.hex"

# --- an 8051 executable without program headers -------------------------------------
objcopy -I ihex -O elf32-little "$fileio/mcs51.ihx" "$work/mcs51.o"
cp "$work/mcs51.o" mcs51-sections.elf
# e_type (offset 16) ET_EXEC, e_machine (offset 18) EM_8051 = 165, both little-endian
printf '\002\000\245\000' | dd of=mcs51-sections.elf bs=1 seek=16 conv=notrunc status=none
chmod 644 mcs51-sections.elf
[ "$(readelf -h mcs51-sections.elf | awk '/Number of program headers/ { print $NF }')" = 0 ] ||
  fail "mcs51-sections.elf has program headers"
# Read back by objcopy, it must still hold exactly the bytes of sdcc's file.
objcopy -I elf32-little -O ihex mcs51-sections.elf "$work/mcs51-back.hex"
srec_cat -disable-sequence-warnings "$fileio/mcs51.ihx" -intel -o "$work/sdcc.bin" -binary
srec_cat "$work/mcs51-back.hex" -intel -o "$work/back.bin" -binary
cmp -s "$work/sdcc.bin" "$work/back.bin" || fail "mcs51-sections.elf lost bytes of mcs51.ihx"

# --- an ELF for another machine ------------------------------------------------------
gcc -Os -fno-asynchronous-unwind-tables -c src/host-tiny.c -o x86-64-object.o
[ "$(stat -c %s x86-64-object.o)" -lt 4096 ] || fail "x86-64-object.o is not small"

# --- versions ------------------------------------------------------------------------
{
  echo "srec_cat $(srec_cat -version | awk 'NR == 1 { print $3 }')"
  avr-gcc --version | head -n 1
  avr-objcopy --version | head -n 1
  objcopy --version | head -n 1
  gcc --version | head -n 1
  dpkg-query -W -f='${Package} ${Version}\n' "${packages[@]}"
} >versions.txt

du -sh "$here"
