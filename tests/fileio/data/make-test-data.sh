#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the data files of the file loader tests with tools nobody here wrote, so that
# the loader is checked against other people's idea of each format. The tests only read
# the committed results; run this again only to change or add a file. Every run makes
# the same bytes from the same tool versions (versions.txt says which were used).
#
# Byte-organised files. Each FILE has FILE-without-extension.expect.bin beside it: the
# image srec_cat itself reads out of FILE, blank (0xFF) where FILE has no data, N bytes
# long ("srec_cat FILE -intel|-motorola -fill 0xFF 0 N -o NAME.expect.bin -binary").
# expect.txt lists them, one line each: "<file> <ihex|srec> <N in hex>".
#   payload.bin            128 KiB of fixed-seed pseudo-random bytes, the data of
#                          every srec_cat file below
#   ihex-linear.hex        0x00000-0x13FFF, crosses 64 KiB: extended linear address
#                          records (04), a start linear address record (05); N 0x14000
#   ihex-segment.hex       0x00000-0x03FFF, 0x0C000-0x13FFF, 0x1E000-0x1FFFF with
#                          extended segment address records (02) and a start segment
#                          address record (03); N 0x20000
#   ihex-holes.hex         0x0000-0x00FF, 0x1000-0x10FF, 0x7F00-0x7FFF, 16-bit
#                          addresses only (no 04 record); N 0x8000
#   ihex-unordered.hex     0x0000-0x0FFF and 0x2000-0x27FF, the data records shuffled
#                          (a fixed permutation), the end record last; N 0x3000
#   ihex-lower-crlf.hex    0x0000-0x0BFF, lower-case hex digits, CR LF line ends;
#                          N 0x1000 (the last 0x400 bytes blank)
#   ihex-block64.hex       0x0000-0x1FFF, every data record 64 bytes long; N 0x2000
#   srec-s1.s19            0x0000-0x17FF: S0 header with our text, S1 records, S5
#                          count, S9 start address; N 0x2000
#   srec-s2.s28            0x0F000-0x10FFF: S0, S2 records across 64 KiB, S5, S8;
#                          N 0x11000
#   srec-s3.s37            0x10000-0x11FFF: S0, S3 records, S5 and no termination
#                          record (srec_cat writes none without a start address);
#                          N 0x12000
#   srec-s1-bare.s19       0x0000-0x17FF as srec_cat writes S-records by default:
#                          S0, S1, S5 and no termination record; N 0x2000
#   srec-s2-bare.s28       0x0F000-0x10FFF the same way with S2 records; N 0x11000
#   avr-ihex.hex           src/avr-blink.c for the ATmega328P, flash only, from
#                          avr-objcopy -O ihex -R .eeprom; N 0x8000
#   avr-srec.srec          the same flash from avr-objcopy -O srec; N 0x8000
#   avr-eeprom.hex         its EEPROM section alone, moved to address 0; N 0x400
#   atmega8-ihex.hex       src/atmega8-chaser.c for the ATmega8, from avr-objcopy -O
#                          ihex; N 0x2000 (the device operation tests program it)
#   mcs51.ihx              src/mcs51-counter.c as sdcc -mmcs51 writes it (records not
#                          in address order); N 0x2000
#
# PIC files from gpasm. Each NAME.hex has NAME.lst (gpasm's listing, the date and time
# in its page headings left out so that every run gives the same file), NAME.dump
# (gpasm -m, the assembler's own dump of the memory it filled) and NAME.expect, one item
# a line after a first line "# part <name> <pic12|pic14|pic16>":
#   <code|config|id|eeprom> <address> <value>
# with word addresses and word values on 12- and 14-bit parts (eeprom: the byte) and
# byte addresses and byte values on PIC18 parts, all in hex with 0x.
# In the INHX8M and INHX32 files the record address is the byte address: twice the word
# address on 12- and 14-bit parts, low byte first (so config word 0x2007 is at 0x400E
# and EEPROM word 0x2100, written as 00xx, at 0x4200); INHX16 counts words.
#   pic16f84a-inhx8m.hex   src/pic16f84a.asm as INHX8M: code, __CONFIG, __IDLOCS, de
#   pic16f84a-inhx16.hex   the same source as INHX16 (word addresses, words high byte
#                          first)
#   pic16f628a-inhx8m.hex  src/pic16f628a.asm as INHX8M: a second block at 0x300, the
#                          last program word (0x7FF) used, EEPROM data
#   pic12f508-inhx8m.hex   src/pic12f508.asm as INHX8M: 12-bit, config word 0xFFF,
#                          ID at 0x200, no EEPROM
#   pic18f452-inhx32.hex   src/pic18f452.asm as INHX32: code up to 0x7FFF, eight ID
#                          bytes at 0x200000, CONFIG at 0x300000.., EEPROM at 0xF00000
#   pic16f877a-inhx8m.hex  src/pic16f877a.asm as INHX8M: 4 KiB of code, configuration,
#                          ID and EEPROM data
#
# Files whose expectation is srec_cat's reading alone (NAME.s37: one S3 record for each
# byte srec_cat reads, at the file's own byte address), as gpasm's listing cannot state
# them:
#   pic16f877a-block15.hex pic16f877a-inhx8m.hex re-blocked by srec_cat into records of
#                          15 bytes, so that every other record starts at an odd byte
#                          address
#   pic16f628a-oddee.hex   src/pic16f628a-oddee.asm as INHX8M: a de after an org inside
#                          the EEPROM area, which gpasm writes from an odd byte address
# The expectations are the listing's: every code, ID, EEPROM and __CONFIG placement is
# read from the LOC and OBJECT CODE columns of NAME.lst. gpasm lists nothing for the
# PIC18 CONFIG directive, so those bytes alone come from NAME.dump. The script fails
# unless the listing and the dump agree on every address, and unless srec_cat reads
# the same bytes out of NAME.hex: the expectation is the assembler's own placement,
# never something our loader code computed.
#
#   versions.txt           the tool versions that made all of the above
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
export LC_ALL=C

# --- tools ---------------------------------------------------------------------------
packages=(srecord gputils sdcc gcc-avr avr-libc binutils-avr)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Start from nothing, so that a file this script no longer makes does not linger.
rm -f ./*.bin ./*.hex ./*.ihx ./*.s19 ./*.s28 ./*.s37 ./*.srec ./*.lst ./*.dump \
  ./*.expect expect.txt versions.txt

fail() {
  echo "make-test-data: $*" >&2
  exit 1
}

# --- the pseudo-random payload -------------------------------------------------------
# The minimal standard generator x = x * 16807 mod (2^31 - 1) with a fixed seed; each
# byte is the top 8 of the 31 bits. Every product stays below 2^53, so any awk computes
# it exactly in its doubles.
awk -v n=131072 -v seed=20240601 'BEGIN {
  x = seed
  for (i = 0; i < n; i++) {
    x = (x * 16807) % 2147483647
    printf "%02X", int(x / 8388608)
    if (i % 32 == 31) printf "\n"
  }
}' | basenc --base16 -d >payload.bin
[ "$(stat -c %s payload.bin)" -eq 131072 ] || fail "payload.bin has the wrong size"

# --- srec_cat files ------------------------------------------------------------------
pay() { # pay FROM TO: the payload's bytes FROM..TO-1 at their own addresses
  printf '%s\n' payload.bin -binary -crop "$1" "$2"
}

mapfile -t in <<<"$(pay 0 0x14000)"
srec_cat "${in[@]}" -execution-start-address 0x00000100 -o ihex-linear.hex -intel

mapfile -t in <<<"$(pay 0 0x4000; pay 0xC000 0x14000; pay 0x1E000 0x20000)"
srec_cat "${in[@]}" -execution-start-address 0x00000100 -o ihex-segment.hex -intel \
  -address-length=3

mapfile -t in <<<"$(pay 0 0x100; pay 0x1000 0x1100; pay 0x7F00 0x8000)"
srec_cat "${in[@]}" -o ihex-holes.hex -intel -address-length=2

# The data records of an ordered file, taken in the order i * 77 mod n (77 shares no
# factor with the 192 records, so each is taken once); the end record stays last.
mapfile -t in <<<"$(pay 0 0x1000; pay 0x2000 0x2800)"
srec_cat "${in[@]}" -o "$work/ordered.hex" -intel -address-length=2
awk '
  substr($0, 8, 2) == "00" { data[n++] = $0; next }
  { rest[m++] = $0 }
  END {
    if (n != 192) { print "expected 192 data records, got " n > "/dev/stderr"; exit 1 }
    for (i = 0; i < n; i++) print data[(i * 77) % n]
    for (i = 0; i < m; i++) print rest[i]
  }' "$work/ordered.hex" >ihex-unordered.hex
cmp -s "$work/ordered.hex" ihex-unordered.hex && fail "ihex-unordered.hex is still in order"

mapfile -t in <<<"$(pay 0 0xC00)"
srec_cat "${in[@]}" -o - -intel | tr 'A-F' 'a-f' | sed 's/$/\r/' >ihex-lower-crlf.hex

mapfile -t in <<<"$(pay 0 0x2000)"
srec_cat "${in[@]}" -o ihex-block64.hex -intel -Output_Block_Size 64
awk 'substr($0, 8, 2) == "00" && substr($0, 2, 2) != "40" { bad = 1 } END { exit bad }' \
  ihex-block64.hex || fail "ihex-block64.hex has a data record that is not 64 bytes long"

mapfile -t in <<<"$(pay 0 0x1800)"
srec_cat "${in[@]}" -execution-start-address 0 -o srec-s1.s19 -motorola \
  -header "KARDO loader test" -enable=data-count

mapfile -t in <<<"$(pay 0xF000 0x11000)"
srec_cat "${in[@]}" -execution-start-address 0x0000F000 -o srec-s2.s28 -motorola \
  -address-length=3

mapfile -t in <<<"$(pay 0x10000 0x12000)"
srec_cat "${in[@]}" -o srec-s3.s37 -motorola -address-length=4

mapfile -t in <<<"$(pay 0 0x1800)"
srec_cat "${in[@]}" -o srec-s1-bare.s19 -motorola
mapfile -t in <<<"$(pay 0xF000 0x11000)"
srec_cat "${in[@]}" -o srec-s2-bare.s28 -motorola -address-length=3
grep -q '^S[789]' srec-s1-bare.s19 srec-s2-bare.s28 && fail "srec_cat wrote a termination record"

# --- the AVR program -----------------------------------------------------------------
avr-gcc -mmcu=atmega328p -Os -Wall -Wextra -Werror -o "$work/avr-blink.elf" src/avr-blink.c
# avr-objcopy writes the output file's name into the S0 record: keep it a plain name.
(cd "$work" && avr-objcopy -O srec -R .eeprom avr-blink.elf avr-srec.srec)
mv "$work/avr-srec.srec" .
chmod 644 avr-srec.srec
avr-objcopy -O ihex -R .eeprom "$work/avr-blink.elf" avr-ihex.hex
avr-objcopy -O ihex -j .eeprom --change-section-lma .eeprom=0 "$work/avr-blink.elf" \
  avr-eeprom.hex

avr-gcc -mmcu=atmega8 -Os -Wall -Wextra -Werror -o "$work/atmega8-chaser.elf" \
  src/atmega8-chaser.c
avr-objcopy -O ihex -R .eeprom "$work/atmega8-chaser.elf" atmega8-ihex.hex

# --- the 8051 program ----------------------------------------------------------------
cp src/mcs51-counter.c "$work/"
(cd "$work" && sdcc -mmcs51 mcs51-counter.c >/dev/null)
cp "$work/mcs51-counter.ihx" mcs51.ihx

# --- expected images of the byte-organised files -------------------------------------
expect_image() { # expect_image FILE ihex|srec N
  local file=$1 format=$2 size=$3 base=${1%.*} opt
  case $format in
    ihex) opt=-intel ;;
    srec) opt=-motorola ;;
  esac
  srec_cat -disable-sequence-warnings "$file" "$opt" -fill 0xFF 0 "$size" \
    -o "$base.expect.bin" -binary
  [ "$(stat -c %s "$base.expect.bin")" -eq $((size)) ] ||
    fail "$file has data at or above $size"
  echo "$file $format $size" >>expect.txt
}
expect_image ihex-linear.hex ihex 0x14000
expect_image ihex-segment.hex ihex 0x20000
expect_image ihex-holes.hex ihex 0x8000
expect_image ihex-unordered.hex ihex 0x3000
expect_image ihex-lower-crlf.hex ihex 0x1000
expect_image ihex-block64.hex ihex 0x2000
expect_image srec-s1.s19 srec 0x2000
expect_image srec-s2.s28 srec 0x11000
expect_image srec-s3.s37 srec 0x12000
expect_image srec-s1-bare.s19 srec 0x2000
expect_image srec-s2-bare.s28 srec 0x11000
expect_image avr-ihex.hex ihex 0x8000
expect_image atmega8-ihex.hex ihex 0x2000
expect_image avr-srec.srec srec 0x8000
expect_image avr-eeprom.hex ihex 0x400
expect_image mcs51.ihx ihex 0x2000

# The srec_cat files hold the payload itself: their images must be the payload's bytes
# where they have data and blank elsewhere, as srec_cat makes the image straight from
# payload.bin.
from_payload() { # from_payload FILE N FROM TO [FROM TO ...]
  local file=$1 size=$2 in=()
  shift 2
  while [ $# -gt 0 ]; do
    in+=(payload.bin -binary -crop "$1" "$2")
    shift 2
  done
  srec_cat "${in[@]}" -o - -intel |
    srec_cat - -intel -fill 0xFF 0 "$size" -o "$work/image.bin" -binary
  cmp -s "$work/image.bin" "${file%.*}.expect.bin" ||
    fail "$file does not hold the payload it was made from"
}
from_payload ihex-linear.hex 0x14000 0 0x14000
from_payload ihex-segment.hex 0x20000 0 0x4000 0xC000 0x14000 0x1E000 0x20000
from_payload ihex-holes.hex 0x8000 0 0x100 0x1000 0x1100 0x7F00 0x8000
from_payload ihex-unordered.hex 0x3000 0 0x1000 0x2000 0x2800
from_payload ihex-lower-crlf.hex 0x1000 0 0xC00
from_payload ihex-block64.hex 0x2000 0 0x2000
from_payload srec-s1.s19 0x2000 0 0x1800
from_payload srec-s2.s28 0x11000 0xF000 0x11000
from_payload srec-s3.s37 0x12000 0x10000 0x12000
from_payload srec-s1-bare.s19 0x2000 0 0x1800
from_payload srec-s2-bare.s28 0x11000 0xF000 0x11000

# --- PIC files -----------------------------------------------------------------------
# pic_expect PART NAME: the expectation of NAME.hex from NAME.lst, with the areas of the
# part as gpasm itself describes them (gpasm -s), checked against NAME.dump.
#
# How gpasm 1.4.0 lays these out, as read from its output:
#  - the listing's LOC column is in words on 12- and 14-bit parts and in bytes on PIC18;
#    OBJECT CODE holds 4-digit words (PIC18: stored low byte first) or, for de, 2-digit
#    bytes; a line's further words go on the following lines with LOC left blank, and
#    a page heading may come between them;
#  - on 14-bit parts de writes each EEPROM byte as the word 00xx and lists those words
#    as byte pairs (xx 00), and in the EEPROM region both the listing and the dump count
#    LOC from the region's start in those bytes, two per EEPROM byte: the de line after
#    "2100 10 00" is listed at 2102 and holds word 0x2101;
#  - the dump (-m) shows eight words or sixteen bytes a line in the same units;
#  - PIC18 CONFIG lines have no LOC or OBJECT CODE in the listing;
#  - an org inside the 14-bit EEPROM region is taken as a distance in those bytes too:
#    org 0x2110 lands on word 0x2108. The sources therefore keep their EEPROM data in
#    one run from 0x2100.
pic_expect() {
  local part=$1 name=$2
  gpasm -s -p "$part" >"$work/$name.props"
  awk -v part="$part" '
    function fail(msg) {
      printf "make-test-data: %s: %s:%d: %s\n", part, FILENAME, FNR, msg > "/dev/stderr"
      failed = 1
      exit 1
    }
    function hexval(s,   i, c, v) {
      s = toupper(s)
      gsub(/ /, "", s)
      sub(/^0X/, "", s)
      if (s == "") fail("empty hex number")
      v = 0
      for (i = 1; i <= length(s); i++) {
        c = index("0123456789ABCDEF", substr(s, i, 1))
        if (c == 0) fail("not a hex number: " s)
        v = v * 16 + c - 1
      }
      return v
    }
    function area(a) {
      if (a < progsize) return "code"
      if (a >= idlo && a <= idhi) return "id"
      if (a >= cfglo && a <= cfghi) return "config"
      if (a >= eelo && a <= eehi && eehi >= 0) return "eeprom"
      return ""
    }
    function put(src, a, v) {
      if (area(a) == "") fail(sprintf("0x%X is outside the memory of the part", a))
      if (src == "L") lst[a] = v; else dmp[a] = v
    }
    # One OBJECT CODE or dump token at the address held in at (units as the LOC column).
    function token(src, t,   v, off, w) {
      if (t ~ /^-+$/) { at += (length(t) == 4 && family != "pic16") ? 1 : length(t) / 2; return }
      v = hexval(t)
      if (length(t) == 4) {
        if (family == "pic16") { put(src, at, v % 256); put(src, at + 1, int(v / 256)); at += 2 }
        else { put(src, at, v); at += 1 }
      } else if (length(t) == 2) {
        if (family == "pic16") { put(src, at, v); at += 1; return }
        off = at - eelo
        if (eehi < 0 || off < 0) fail(sprintf("listed bytes at 0x%X outside the EEPROM", at))
        w = eelo + int(off / 2)
        if (off % 2 == 0) low[src, w] = v
        else if (v != 0) fail(sprintf("EEPROM word 0x%X has a high byte 0x%02X", w, v))
        else if (!((src, w) in low)) fail(sprintf("EEPROM word 0x%X has no low byte", w))
        else put(src, w, low[src, w])
        at += 1
      } else fail("unexpected object code token " t)
    }
    BEGIN { eelo = eehi = -1 }   # no data EEPROM unless gpasm -s names one
    FNR == 1 { fileno++ }
    # gpasm -s: the class and memory areas of the part.
    fileno == 1 && /^Class/ {
      if ($3 == "PIC12") family = "pic12"
      else if ($3 == "PIC14") family = "pic14"
      else if ($3 == "PIC16E") family = "pic16"
      else fail("unexpected class " $3)
    }
    fileno == 1 && /^Program Size/ { progsize = $4 + 0 }
    fileno == 1 && /^Idlocs Range/ { idlo = hexval($4); idhi = hexval($6) }
    fileno == 1 && /^Config  / { cfglo = cfghi = hexval($3) }
    fileno == 1 && /^Config Range/ { cfglo = hexval($4); cfghi = hexval($6) }
    fileno == 1 && /^EEPROM Range/ { eelo = hexval($4); eehi = hexval($6) }
    fileno == 1 { next }
    fileno == 2 && FNR == 1 {
      if (family == "" || progsize == 0 || idhi == 0 || cfghi == 0)
        fail("gpasm -s did not describe the part")
    }
    # The listing, from the first column heading to the symbol table.
    # A page heading (form feed and title, blank lines, column headings) may fall
    # between a listing line and its further lines: it leaves cont as it is.
    fileno == 2 && /^LOC +OBJECT CODE/ { incode = 1; next }
    fileno == 2 && $0 == "SYMBOL TABLE" { incode = 0; done = 1 }
    fileno == 2 && (!incode || done) { next }
    fileno == 2 && (/^\f/ || /^ *$/ || /^  VALUE *$/) { next }
    fileno == 2 {
      loc = substr($0, 1, 6); obj = substr($0, 8, 14)
      if (loc ~ /^[0-9A-F][0-9A-F][0-9A-F][0-9A-F]([0-9A-F][0-9A-F]| +)$/ &&
          substr($0, 7, 1) == " " && substr($0, 23, 5) ~ /^[0-9][0-9][0-9][0-9][0-9]$/) {
        at = hexval(loc); cont = 0
      } else if (cont && loc == "      " && substr($0, 7, 1) == " " &&
                 obj ~ /[0-9A-F]/ && substr($0, 22) ~ /^ *$/) {
        # a further line of the same listing line: at carries on
      } else { cont = 0; next }
      n = split(obj, t, " ")
      for (i = 1; i <= n; i++) token("L", t[i])
      cont = n > 0
      next
    }
    # The memory dump.
    fileno == 3 && /^[0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F]  / {
      at = hexval(substr($0, 1, 8))
      if (substr($0, 13, 1) == " ") for (i = 0; i < 16; i++) token("D", substr($0, 11 + 3 * i, 2))
      else for (i = 0; i < 8; i++) token("D", substr($0, 11 + 6 * i, 4))
      next
    }
    fileno == 3 && NF > 0 { fail("unexpected dump line") }
    END {
      if (failed) exit 1
      if (fileno != 3) { print "make-test-data: " part ": missing input" > "/dev/stderr"; exit 1 }
      for (a in lst) if (!(a in dmp) || dmp[a] != lst[a]) {
        printf "make-test-data: %s: listing and dump differ at 0x%X\n", part, a > "/dev/stderr"; exit 1
      }
      for (a in dmp) if (!(a in lst)) {
        if (area(a + 0) != "config" || family != "pic16") {
          printf "make-test-data: %s: 0x%X is in the dump only\n", part, a > "/dev/stderr"; exit 1
        }
        lst[a] = dmp[a]
      }
      aw = family == "pic16" ? 6 : 4
      for (a in lst) {
        ar = area(a + 0)
        vw = (family == "pic16" || ar == "eeprom") ? 2 : 4
        printf "%d\t%s 0x%0*X 0x%0*X\n", a, ar, aw, a, vw, lst[a]
      }
    }' "$work/$name.props" "$name.lst" "$name.dump" >"$work/$name.items"
  local family
  family=$(awk '/^Class/ { print $3 }' "$work/$name.props")
  case $family in
    PIC12) family=pic12 ;;
    PIC14) family=pic14 ;;
    PIC16E) family=pic16 ;;
  esac
  {
    local chip=${part#p}
    echo "# part PIC${chip^^} $family"
    sort -n "$work/$name.items" | cut -f2
  } >"$name.expect"
}

# pic_build PART SOURCE FORMAT NAME: assemble src/SOURCE into NAME.hex and NAME.lst,
# NAME.dump, NAME.expect.
pic_build() {
  local part=$1 source=$2 format=$3 name=$4
  # gpasm prints its messages and the memory dump on standard output: keep the dump,
  # pass the rest on.
  (cd src && gpasm -a "$format" -m -o "$work/$name.hex" "$source") >"$work/$name.out" ||
    { cat "$work/$name.out" >&2; fail "gpasm failed on $source"; }
  grep -v -E "^[0-9A-F]{8}  " "$work/$name.out" >&2 || true
  grep -E "^[0-9A-F]{8}  " "$work/$name.out" >"$name.dump"
  cp "$work/$name.hex" "$name.hex"
  # Leave out the date and time of the page headings, keep everything else.
  sed -E '/^\f?gpasm-/ s/ +[0-9]{1,2}-[0-9]{1,2}-[0-9]{4} +[0-9]{1,2}:[0-9]{2}:[0-9]{2}//' \
    "$work/$name.lst" >"$name.lst"
  pic_expect "$part" "$name"
  pic_check_hex "$format" "$name"
}

# pic_check_hex FORMAT NAME: srec_cat's reading of NAME.hex must hold exactly the bytes of
# NAME.expect (12- and 14-bit words as two bytes at twice the word address, low byte
# first; srec_cat reads INHX16 words into the same layout). This checks the expectation
# a second way; it is not where the expectation comes from.
pic_check_hex() {
  local format=$1 name=$2 opt=-intel
  [ "$format" = inhx16 ] && opt=-Intel_HeX_16
  srec_cat "$name.hex" "$opt" -o "$work/$name.bytes" -motorola -address-length=4 \
    -Output_Block_Size 1 -disable=header -disable=data-count -disable=exec-start-address
  awk -v name="$name" '
    function hexval(s,   i, v) {
      v = 0
      for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789ABCDEF", substr(s, i, 1)) - 1
      return v
    }
    FNR == 1 { fileno++ }
    fileno == 1 && FNR == 1 { family = $4; next }
    fileno == 1 {
      a = hexval(substr($2, 3)); v = hexval(substr($3, 3))
      if (family == "pic16") want[a] = v
      else { want[2 * a] = v % 256; want[2 * a + 1] = int(v / 256) }
      next
    }
    substr($0, 1, 4) == "S306" { have[hexval(substr($0, 5, 8))] = hexval(substr($0, 13, 2)); next }
    { print "make-test-data: " name ": unexpected srec_cat line " $0 > "/dev/stderr"; bad = 1 }
    END {
      for (a in want) if (!(a in have) || have[a] != want[a]) bad = 1
      for (a in have) if (!(a in want)) bad = 1
      if (bad) print "make-test-data: " name ".hex does not hold what " name ".expect says" > "/dev/stderr"
      exit bad
    }' "$name.expect" "$work/$name.bytes"
}
pic_build p16f84a pic16f84a.asm inhx8m pic16f84a-inhx8m
pic_build p16f84a pic16f84a.asm inhx16 pic16f84a-inhx16
pic_build p16f628a pic16f628a.asm inhx8m pic16f628a-inhx8m
pic_build p12f508 pic12f508.asm inhx8m pic12f508-inhx8m
pic_build p18f452 pic18f452.asm inhx32 pic18f452-inhx32
pic_build p16f877a pic16f877a.asm inhx8m pic16f877a-inhx8m
cmp -s pic16f84a-inhx8m.expect pic16f84a-inhx16.expect ||
  fail "the two assemblies of pic16f84a.asm place different things"

# srec_bytes NAME: NAME.s37, srec_cat's reading of NAME.hex a byte a record.
srec_bytes() {
  srec_cat "$1.hex" -intel -o "$1.s37" -motorola -address-length=4 -Output_Block_Size 1 \
    -disable=header -disable=data-count -disable=exec-start-address
}
srec_cat pic16f877a-inhx8m.hex -intel -o pic16f877a-block15.hex -intel -address-length=2 \
  -Output_Block_Size 15
grep -q '^:0F[0-9A-F]\{3\}[13579BDF]00' pic16f877a-block15.hex ||
  fail "pic16f877a-block15.hex has no record at an odd address"
srec_bytes pic16f877a-block15
(cd src && gpasm -a inhx8m -o "$work/pic16f628a-oddee.hex" pic16f628a-oddee.asm) >/dev/null ||
  fail "gpasm failed on pic16f628a-oddee.asm"
cp "$work/pic16f628a-oddee.hex" .
grep -q '^:01427F0099' pic16f628a-oddee.hex ||
  fail "gpasm no longer writes the EEPROM byte from an odd address"
srec_bytes pic16f628a-oddee

# --- versions ------------------------------------------------------------------------
{
  echo "srec_cat $(srec_cat -version | awk 'NR == 1 { print $3 }')"
  gpasm -v 2>&1
  sdcc -v | awk 'NR == 1 { print "sdcc", $(NF - 2), $(NF - 1) }'
  avr-gcc --version | head -n 1
  avr-objcopy --version | head -n 1
  dpkg-query -W -f='${Package} ${Version}\n' "${packages[@]}"
} >versions.txt

du -sh "$here"
