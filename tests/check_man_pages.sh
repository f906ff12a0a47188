#!/bin/sh
# The manual pages render without a warning and name every message the programs write.
if ! command -v man >/dev/null 2>&1; then
  echo "man is not installed: the manual pages are not checked"
  exit 77
fi
status=0
for page in "$@"; do
  warnings=$(LC_ALL=C MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    printf '%s renders with warnings:\n%s\n' "$page" "$warnings"
    status=1
  fi
  text=$(LC_ALL=C MANWIDTH=200 man -l "$page" 2>/dev/null)
  for message in "input_filename" "Input file should be HEX file." "can not open input file" \
                 "can not create output file" "can not read input file" "can not write output file" \
                 "ROM ADDRESS WIDTH? (enter 0 for using default value 13):" "is too large, at most 64" "is too small, at least 1" "press Enter to go on" \
                 "needs -w and -o" \
                 "does not fit the address width" "or --crop leaves such words out" "words beyond the address width" \
                 "which cannot start a record" "stands where a hex digit should be" "wrong checksum" \
                 "the file ends inside a record" "was given before" "--strict makes warnings errors" "unknown option" "invalid address width" "--version" \
                 "invalid data width" "the file has no end record" "the file gives no word for the ROM" \
                 "it is the input file" "the name does not end in an Intel HEX extension" "invalid base address" \
                 "lies below the base address" "more bits than the data width" \
                 "no word of the file lies within the address width" "no answer on standard input" \
                 "not an Intel HEX file: it holds no record" "not an Intel HEX file: it starts with" \
                 "as a Motorola S-record file does" "as an ELF file does" "as a UTF-16 text file does" \
                 "bytes below the base address" "is allowed with one input file only" "invalid fill word"; do
    case $text in
      *"$message"*) ;;
      *) echo "$page does not name \"$message\""; status=1 ;;
    esac
  done
done
exit $status
