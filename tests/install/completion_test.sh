#!/usr/bin/env bash
# Loads dravik-cli's completion from PREFIX as bash-completion finds it there
# and checks what it offers at places of a command line.
# Usage: completion_test.sh PREFIX
set -u
export LC_ALL=C
prefix=$1
for script in /usr/share/bash-completion/bash_completion /etc/bash_completion; do
    [ -f "$script" ] && break
done
# shellcheck source=/dev/null
source "$script"
XDG_DATA_DIRS=$prefix/share __load_completion dravik-cli ||
    { echo "bash-completion does not find dravik-cli's completion in $prefix"; exit 1; }

files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
mkdir "$files/WX31"
touch "$files/a.ldr" "$files/B.LDR" "$files/pasport.rpm"
cd "$files" || exit 1

failed=0
expect() { # OFFERED WORD... : the sorted offers for the last word
    local offered=$1
    shift
    COMP_WORDS=(dravik-cli "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _dravik_cli dravik-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ')
    if [ "$got" != "$offered" ]; then
        echo "dravik-cli $*|: offered '$got', expected '$offered'"
        failed=1
    fi
}
expect "check-ldr check-rom" ch
expect "pasport passport" --format json pa
expect "json text tsv" pasport --format ""
expect "text tsv" pasport --format=t
expect "--format --help --report --settings --version" check-rom --
expect "--help --output --version" default-settings --
expect "WX31" pasport ""
expect "B.LDR WX31 a.ldr" --report r.txt check-ldr ""
expect "B.LDR WX31 a.ldr pasport.rpm" pasport --settings ""
exit "$failed"
