#!/usr/bin/env bash
# Makes the vy.bdb files that tst_store reads, without the program: the plaintext laid out by hand (a 3000-byte
# header, then records of six fields), zero-filled to whole blocks and enciphered with the openssl command line.
# Run it again after changing it; the files are the same every time (electronic codebook, fixed key).
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")"
key=6b657837766f6c6434616d3900000000 # "kex7vold4am9" and four zero bytes
F='9\x00'                            # field separator
R='2\x005\x005\x00'                  # record separator

spaces() { printf "%$1s" ''; }
# header USER PASSWORD TRAINING: user and password with their separators in 52 bytes, the training text in 2948.
header() { printf "%s$F%s$F" "$1" "$2"; spaces $((48 - ${#1} - ${#2})); printf %s "$3"; spaces $((2948 - ${#3})); }
# record FLAG NAME URL ID PASSWORD THUMBNAIL
record() { printf "%s$F%s$F%s$F%s$F%s$F%s$R" "$@"; }
# encipher FILE: standard input, zero-filled, enciphered into FILE.
encipher() {
  local plain
  plain=$(mktemp)
  cat >"$plain"
  truncate -s $((($(stat -c %s "$plain") + 15) / 16 * 16)) "$plain"
  openssl enc -aes-128-ecb -nopad -K "$key" -in "$plain" -out "$1"
  rm "$plain"
}

# Every byte but NUL, in order.
high=$(for b in $(seq 1 255); do printf "\\$(printf %03o "$b")"; done)

# A wallet as the program writes it: user and password ending in separator-like characters, an empty profile, a
# profile with every byte of the code page, and fields whose only byte of 0x80..0x9F lies at the end of eight bytes
# or in fewer than eight.
{
  header alice9 s3cret2 '120 80 95 % 130 70 90 % '
  record 1 Bank https://bank.example/login alice@example.org pw9 bank.png
  record 0 '' '' '' '' ''
  record 0 "$high" u2 $'\x809' $'2 5 5 x\x80' t.png
} | encipher vy.bdb

# Records the reader must skip or take apart with care; only "first" has a true flag.
{
  header u p ''
  record 1 first u i p t
  printf "0${F}five$F$F$F$R"                   # five fields: skipped
  printf "0${F}seven$F$F$F$F$F$R"              # seven: skipped
  printf "0${F}ten$F$F$F$F$F$F$F$F$R"          # ten: skipped
  printf "$R"                                  # an empty piece: skipped
  printf "11${F}a2\x005\x00b2\x005x5\x00c$F$F$F$F$R" # halves of a record separator and near misses in a name
  printf "True$F\x00x$F$F$F$F\x00$R"           # NULs right after separators
  printf "\x00${F}nul flag$F$F$F$F$R"          # a record starting with NUL
  record 9 99 9 9 9 22                         # nines before field separators, twos before the record separator
  printf "%s$F" -1 last '' '' ''; printf t     # unterminated: the last field runs into the fill bytes
} | encipher odd.bdb

# Files that cannot be read: kept aside on the next save.
printf '' >empty.bdb                           # nothing to keep: simply replaced
printf 'twenty bytes of junk' >junk-20.bdb     # not whole blocks
head -c 4000 /dev/zero | tr '\0' a >plain-4000.bdb
header u p '' | head -c 2992 | encipher short-header.bdb
{ printf "user$F"; spaces 2994; } | encipher one-separator.bdb
{ printf "u${F}p"; spaces 47; printf "$F"; spaces 2947; } | encipher separator-at-52.bdb # crosses byte 52
