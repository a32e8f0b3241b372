#!/usr/bin/env bash
# Writes the seed corpora of the fuzz harnesses, one folder a harness, from the
# default settings and the kinds of drive file the tests build.
# Usage: fuzz/make-corpus.sh OUT_DIR [DRAVIK_CLI]
set -euo pipefail
out=${1:?usage: make-corpus.sh OUT_DIR [DRAVIK_CLI]}
cli=${2:-$(dirname "$0")/../build/cli/dravik-cli}

for harness in settings field_layout pasport rom ldr specification report; do
    rm -rf "${out:?}/$harness"
    mkdir -p "$out/$harness"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

defaults="$work/Dravik.ini"
"$cli" default-settings > "$defaults"

# zeros FILE SIZE; put FILE OFFSET BYTES (printf escapes), leaving the rest as it is.
zeros() { head -c "$2" /dev/zero > "$1"; }
put() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }
# The length of a file as the two little-endian bytes of a harness's settings prefix.
length_prefix() {
    local n
    n=$(stat -c %s "$1")
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8)))"
}
# seed HARNESS NAME SETTINGS BODY: SETTINGS is "default", "none" or a file.
seed() {
    local target="$out/$1/$2"
    case "$3" in
        default) printf '\0\0' > "$target" ;;
        none) printf '\xff\xff' > "$target" ;;
        *) { length_prefix "$3"; cat "$3"; } > "$target" ;;
    esac
    cat "$4" >> "$target"
}

# Settings: the defaults, the tests' small files and sections past the
# 16,384-byte listing limit.
cp "$defaults" "$out/settings/default.ini"
printf '[Mod]\r\n2F=Ares 64\r\n[\xcc\xee\xe4]\r\n\xea\xeb\xfe\xf7=\xa8\xe6\r\n' > "$out/settings/cyrillic.ini"
printf '[00] Defaut\nName=S213,25\n[LDR]\nNR=first\nnr=second\n[ldr]\nYH=3\n[00]\nx=1\n' > "$out/settings/duplicates.ini"
printf 'k=before\r\r[S]\ra=1\r\rb=2\r  Model 1 \t=  S200,7  \r;c=3\r[T\rc\r' > "$out/settings/breaks.ini"
{
    printf '[S]\nk='; head -c 2100 /dev/zero | tr '\0' v; printf ' cut\n'
} > "$out/settings/long-value.ini"
# full_section NAME: a section whose 16 keys of 1023 characters fill the
# listing, each with its terminating byte, to the last byte.
full_section() {
    printf '[%s]\r\n' "$1"
    for c in a b c d e f g h i j k l m n o p; do
        head -c 1023 /dev/zero | tr '\0' "$c"; printf '=v\r\n'
    done
}
{ full_section Big; printf 'q=past the limit\r\n[Mod]\r\n2F=Ares 64\r\n'; } > "$out/settings/past-limit.ini"
{ full_section Mod; printf '2F=Ares 64\r\n[2F]\r\nName=S213,10\r\n'; } > "$work/big-mod.ini"
cp "$work/big-mod.ini" "$out/settings/past-limit-mod.ini"

# Field layouts and integers.
n=0
for text in 'S213,10' '#180,4' 'D19,5' 'S0,8' '#174,2' 'S57,4' 'X1,1' 'S213' ',' '' \
    'S213,10 ' 'S 213,10' 'S$D5,x0A' '#0x10,-0' 'D+19,0X5' '$FFFFFFFF' '-2147483648' \
    '2147483648' '-$80000000' 'x100000000' '0x' '  -7' 'S0000000000000000000000000000001,1' \
    'S1234567890123456789012345678901234567890'; do
    printf '%s' "$text" > "$out/field_layout/$((n++))"
done

# Passport modules: 512 bytes marked "Q8", family code at 128 and fields.
pasport="$work/pasport.rpm"
zeros "$pasport" 512
put "$pasport" 0 'ABCD1234'
put "$pasport" 19 '\x67\x03\x0f\x0c\x05'
put "$pasport" 57 'AB\0'
put "$pasport" 128 '2F'
put "$pasport" 130 'Model-14-chars'
put "$pasport" 152 'VAM4019Z'
put "$pasport" 174 '\x34\x12'
put "$pasport" 180 '\xff\xff\xff\xff'
put "$pasport" 213 'NAME-ABCDE'
put "$pasport" 505 'Q8v01'
seed pasport default "$defaults" "$pasport"
seed pasport builtin default "$pasport"
seed pasport none none "$pasport"
seed pasport big-mod "$work/big-mod.ini" "$pasport"
fallback="$work/fallback.rpm"
zeros "$fallback" 512
put "$fallback" 505 'Q8v02'
seed pasport fallback default "$fallback"
printf '[Mod]\r\nAA=Test\r\n[AA]\r\nBad=X1,1\r\nText=S500,40\r\nNum=#510,4\r\nDate=D-1,5\r\nWrong=S1\r\n' > "$work/odd.ini"
odd="$work/odd.rpm"
zeros "$odd" 513
put "$odd" 129 'AA'
seed pasport odd-layouts "$work/odd.ini" "$odd"

# ROM images: a mode byte (bit 0 full size), a 16-bit place (the body's offset
# halved), then the body.
rom="$work/rom"
zeros "$rom.body" 200
put "$rom.body" 0 'DISK'
put "$rom.body" 96 'AV4M10Z9'
{ printf '\x01\0\0'; cat "$rom.body"; } > "$rom"
seed rom code-at-96 default "$rom"
seed rom no-settings none "$rom"
{ printf '\x01\0\x20'; cat "$rom.body"; } > "$rom"
seed rom code-at-16384 default "$rom"
{ printf '\x01\0\x30'; cat "$rom.body"; } > "$rom"
seed rom code-at-24576 default "$rom"
printf '\x01\xff\xffDISK\xcd\xab' > "$rom"
seed rom disk-at-end default "$rom"
printf '\x01\xff\xffDIS\xcd\xab' > "$rom"
seed rom dis-at-end default "$rom"
zeros "$rom.body" 700
put "$rom.body" 96 'BV4M10X9'
put "$rom.body" 608 'BV4M10Z9'
put "$rom.body" 690 'DISK'
{ printf '\x01\0\0'; cat "$rom.body"; } > "$rom"
seed rom code-at-608 default "$rom"
printf '\0\0\0DISK' > "$rom"
seed rom wrong-size default "$rom"

# Loaders: a mode byte (bit 0 long enough for the ROM checksum, bits 1-2 the
# name, bits 3-7 extra bytes), a 16-bit place (the body's offset in fours),
# then the body.
ldr="$work/ldr"
zeros "$ldr.body" 700
put "$ldr.body" 608 'AV4M10Z9'
{ printf '\x01\0\0'; cat "$ldr.body"; } > "$ldr"
seed ldr code-at-608 default "$ldr"
{ printf '\x03\0\0'; cat "$ldr.body"; } > "$ldr"
seed ldr upper-case-name none "$ldr"
{ printf '\x05\0\x10'; cat "$ldr.body"; } > "$ldr"
seed ldr code-at-16896 default "$ldr"
printf '\x19\xff\xff\x2b\x1a\0\x34\x12' > "$ldr"
seed ldr checksums-at-end default "$ldr"
zeros "$ldr.body" 700
put "$ldr.body" 96 'A/4M10Z9'
{ printf '\x01\0\0'; cat "$ldr.body"; } > "$ldr"
seed ldr separator-in-code default "$ldr"
printf '\x04\0\0\x01' > "$ldr"
seed ldr one-byte default "$ldr"

# Specification modules: a mode byte (bit 0 cuts or pads to 2048 bytes), then the body.
module="$work/specification-module"
{ printf '\x01version 1.0 A12'; head -c 49 /dev/zero; } > "$module"
for i in $(seq 1 30); do
    printf 'Name%02d\0\0\0\0\0\0Value%02d-45678901234' "$i" "$i" >> "$module"
done
cp "$module" "$out/specification/module"
printf '\x01versioX' > "$out/specification/not-version"
printf '\x00version 1.0 A12' > "$out/specification/short"

# Report rows: Name and Value texts separated by line feeds.
printf 'Family \nAres 64\nName\nNAME-ABCDE                      \nFamily \nsame name twice\n' > "$out/report/pasport"
printf '%s\n%s\n' 'Exactly25CharactersLong..' 'v' 'ThirtyCharactersLongNameIsCut!' 'v' > "$out/report/widths"
printf 'Status\n\xcd\xe5\xee\xef\xf0\xe5\xe4\xe5\xeb\xb8\xed\n\x98\x00\r\n\xff\xa8\xb8\r\n' > "$out/report/cyrillic"
