#!/usr/bin/env bash
# Loads dravik-cli's completion from PREFIX as bash-completion finds it there
# and checks what it offers for the last word of a few command lines.
set -u
export LC_ALL=C
prefix=$1
source /usr/share/bash-completion/bash_completion
XDG_DATA_DIRS=$1/share __load_completion dravik-cli || { echo "no completion in $1"; exit 1; }
cd "$(mktemp -d)" && trap 'rm -rf "$PWD"' EXIT
mkdir WX31 && touch a.ldr B.LDR pasport.rpm Dravik.ini

failed=0
expect() { # OFFERED WORD...
    local offered=$1 got
    shift
    COMP_WORDS=(dravik-cli "$@") COMP_CWORD=$# COMP_LINE="dravik-cli $*" COMPREPLY=()
    COMP_POINT=${#COMP_LINE}
    _dravik_cli dravik-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    [ "$got" = "$offered" ] || { echo "dravik-cli $*|: '$got', not '$offered'"; failed=1; }
}
expect "pasport passport" --format json pa
expect "text tsv" pasport --format=t
expect "--format --help --report --settings --trim --version" check-rom --
expect "--help --output --version" default-settings --
expect "WX31" pasport ""
expect "B.LDR WX31 a.ldr" --report r.txt check-ldr ""
expect "check-settings" check-s
expect "--format --help --version" check-settings --
expect "json text" check-settings --format ""
expect "Dravik.ini WX31" check-settings ""
expect "compare" com
expect "B.LDR WX31 a.ldr pasport.rpm" compare WX31 ""
expect "--command --format --help --only-differences --settings --trim --version" compare --
expect "check-ldr check-rom" compare --command ch
expect "library" lib
expect "add" library --library x.sqlite a
expect "WX31" library --recursive add ""
expect "--format --help --library --match --recursive --settings --trim --version" library --

# fish, where it is installed: each command is offered the options it takes.
fish_expect() { # OFFERED LINE
    local got
    got=$(fish --no-config -c "source '$prefix/share/fish/vendor_completions.d/dravik-cli.fish'
        complete -C '$2'" | cut -f1 | sort | paste -sd ' ')
    [ "$got" = "$1" ] || { echo "fish: $2|: '$got', not '$1'"; failed=1; }
}
if command -v fish >/dev/null; then
    fish_expect "--command --format --help --only-differences --settings --trim --version" \
        "dravik-cli compare --"
    fish_expect "--format --help --report --settings --trim --version" "dravik-cli check-rom --"
    fish_expect "--help --output --version" "dravik-cli default-settings --"
    fish_expect "--format --help --library --match --recursive --settings --trim --version" \
        "dravik-cli library --"
fi
exit "$failed"
