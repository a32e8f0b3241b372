#!/usr/bin/env bash
# Runs the examples of the README as written and compares what they print.
# An example block is a ```console block: "$ " lines are commands, the lines
# after one are what it prints (standard output and error, as a terminal shows
# them; trailing blanks do not count; "…" stands for any text). Each block
# starts at the top of a scratch copy that has the build folder and freshly
# made samples; all blocks run in one shell, so "export" carries over.
# Usage: readme_examples.sh SOURCE-FOLDER BUILD-FOLDER
set -uo pipefail

source=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/top/samples"
ln -s "$build" "$work/top/build"
cp "$source/samples/make-samples.sh" "$source/samples/make-library.sh" "$work/top/samples/"

commands=()
expected=()
starts=()
inBlock=0
while IFS= read -r line || [ -n "$line" ]; do
    if [ $inBlock -eq 0 ]; then
        if [ "$line" = '```console' ]; then
            inBlock=1
            starts+=(${#commands[@]})
        fi
        continue
    fi
    if [ "$line" = '```' ]; then
        inBlock=0
    elif [[ $line == '$ '* ]]; then
        commands+=("${line#'$ '}")
        expected+=("")
    elif [ ${#commands[@]} -gt 0 ]; then
        expected[-1]+="$line"$'\n'
    fi
done <"$source/README.md"
if [ ${#commands[@]} -eq 0 ]; then
    echo "no examples found in $source/README.md"
    exit 1
fi

script=$work/examples.sh
skipped=" "
{
    for i in "${!commands[@]}"; do
        for start in "${starts[@]}"; do
            if [ "$start" -eq "$i" ]; then
                printf 'cd %q\n' "$work/top"
            fi
        done
        if [[ ${commands[i]} == *python3* ]] && ! command -v python3 >/dev/null; then
            skipped+="$i "
            printf ': >%q\n' "$work/actual.$i"
            continue
        fi
        printf '{ %s\n} >%q 2>&1 </dev/null\n' "${commands[i]}" "$work/actual.$i"
    done
} >"$script"
bash "$script"

# The lines of a file or text with trailing blanks removed.
trimmed() {
    sed -e 's/[[:space:]]*$//'
}

failures=0
for i in "${!commands[@]}"; do
    if [[ $skipped == *" $i "* ]]; then
        echo "skipped (no python3): ${commands[i]}"
        continue
    fi
    mapfile -t want < <(printf '%s' "${expected[i]}" | trimmed)
    mapfile -t got < <(trimmed <"$work/actual.$i")
    ok=1
    if [ ${#want[@]} -ne ${#got[@]} ]; then
        ok=0
    else
        for j in "${!want[@]}"; do
            pattern=${want[j]//\\/\\\\}
            pattern=${pattern//\*/\\*}
            pattern=${pattern//\?/\\?}
            pattern=${pattern//\[/\\[}
            pattern=${pattern//…/*}
            # The pattern is unquoted on purpose: "…" matches any text.
            [[ ${got[j]} == $pattern ]] || ok=0
        done
    fi
    if [ $ok -eq 0 ]; then
        failures=$((failures + 1))
        echo "EXAMPLE FAILED: \$ ${commands[i]}"
        diff <(printf '%s\n' "${want[@]}") <(printf '%s\n' "${got[@]}")
    fi
done
echo "${#commands[@]} README examples run, $failures failed"
[ $failures -eq 0 ]
