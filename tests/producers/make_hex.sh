#!/bin/sh
# Writes odd.bin, 1001 bytes, and the HEX files that common tools make of it, for the round-trip tests:
# objcopy (Debian package binutils), also linked high, srec_cat with blocks of 16, 32 and 255 bytes (srecord), and the
# intelhex package with 255-byte records (python3-intelhex). Odd lengths end or split records on a low
# byte. Also an 8051 program as SDCC writes it, and a big-endian ARM program. The files are committed;
# run this to remake them.
set -e
# Debian's own python3, which python3-intelhex extends.
cd "$(dirname "$0")"
/usr/bin/python3 -c "
import sys
state = 1
data = bytearray()
for _ in range(1001):
    state = (state * 1103515245 + 12345) % 2**31
    data.append(state >> 16 & 0xFF)
open('odd.bin', 'wb').write(data)
"
objcopy -I binary -O ihex odd.bin odd_objcopy.hex
# The same image linked high across a 64 KiB boundary, as a Cortex-M flash image: an extended linear
# address record stands between the bytes of the word at 0801FFFF.
objcopy -I binary -O ihex --change-addresses 0x0800FE01 odd.bin odd_objcopy_high.hex
for size in 16 32 255; do
  srec_cat odd.bin -binary -o odd_srec_cat_$size.hex -intel -obs=$size
done
/usr/bin/python3 -c "
from intelhex import IntelHex
image = IntelHex()
image.loadbin('odd.bin')
image.write_hex_file('odd_intelhex_255.hex', byte_count=255)
"
# An 8051 program as SDCC links it (Debian package sdcc): records out of address order, of odd lengths.
work=$(mktemp -d)
cp blink_8051.c "$work"
(cd "$work" && sdcc -mmcs51 blink_8051.c)
cp "$work"/blink_8051.ihx blink_8051_sdcc.hex
# A big-endian ARM program linked at its flash (gcc-arm-none-eabi), and its binary, read high byte first.
arm-none-eabi-gcc -mbig-endian -Os -nostdlib -Wl,-Ttext=0x08000000 -o "$work"/arm.elf counter_arm_be.c
arm-none-eabi-objcopy -O ihex "$work"/arm.elf counter_arm_be.hex && arm-none-eabi-objcopy -O binary "$work"/arm.elf counter_arm_be.bin
rm -rf "$work"
