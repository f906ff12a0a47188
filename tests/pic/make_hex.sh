#!/bin/sh
# Assembles the PIC programs into the HEX files that the round-trip tests convert, with the PIC
# assembler of the Debian package gputils. The HEX files are committed; run this to remake them.
set -e
cd "$(dirname "$0")"
gpasm -q -a inhx8m -o classic_inhx8m.hex classic.asm
gpasm -q -a inhx32 -o classic_inhx32.hex classic.asm
gpasm -q -a inhx32 -o enhanced_inhx32.hex enhanced.asm
gpasm -q -a inhx8m -o two_words_inhx8m.hex two_words.asm
rm -f ./*.cod ./*.lst
